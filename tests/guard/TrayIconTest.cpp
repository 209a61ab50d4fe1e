#include "AppTestSupport.h"

#include "app/Commands.h"
#include "app/TxTrayIcon.h"

#include <QAction>
#include <QMenu>

#include <vector>

namespace {

struct CIconRig {
    CIconRig()
        : icon(QIcon(), CTxTrayIcon::HOOKS{[this](int id) { commands.push_back(id); },
                                           [this] { return loggedIn; },
                                           {}}) {}
    QAction* Action(int command) {
        for (QAction* action : icon.Menu()->actions())
            if (!action->isSeparator() && action->data().toInt() == command)
                return action;
        return nullptr;
    }
    std::vector<int> commands;
    bool loggedIn = true;
    CTxTrayIcon icon;
};

} // namespace

class TrayIconTest : public QObject {
    Q_OBJECT

private slots:
    void MenuHoldsTheCommandsWithRestoreAsDefault();
    void DoubleClickRestoresWithoutTheMenu();
    void ActivationAndMenuCommandsArePosted();
};

void TrayIconTest::MenuHoldsTheCommandsWithRestoreAsDefault() {
    CIconRig rig;
    std::vector<int> commands;
    for (QAction* action : rig.icon.Menu()->actions())
        commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
    QCOMPARE(commands, (std::vector<int>{cmd::kRestoreFromTray, cmd::kAbout, 0, cmd::kLogin,
                                         cmd::kLogout, 0, cmd::kExit}));
    QCOMPARE(rig.icon.Menu()->defaultAction(), rig.Action(cmd::kRestoreFromTray));
    rig.loggedIn = false;
    emit rig.icon.Menu()->aboutToShow();
    QVERIFY(rig.Action(cmd::kLogin)->isEnabled());
    QVERIFY(!rig.Action(cmd::kLogout)->isEnabled());
}

void TrayIconTest::DoubleClickRestoresWithoutTheMenu() {
    CIconRig rig;
    rig.icon.OnActivated(QSystemTrayIcon::Trigger);
    QVERIFY(rig.icon.IsClickTimerRunning());
    rig.icon.OnActivated(QSystemTrayIcon::DoubleClick);
    rig.icon.OnClickTimer();
    QVERIFY(!rig.icon.Menu()->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(rig.commands, std::vector<int>{cmd::kRestoreFromTray});

    // The double click is forgotten once its timer ran: a single click shows the menu.
    rig.icon.OnActivated(QSystemTrayIcon::Trigger);
    QVERIFY(!rig.icon.Menu()->isVisible());
    rig.icon.OnClickTimer();
    QVERIFY(rig.icon.Menu()->isVisible());
    rig.icon.Menu()->hide();
}

void TrayIconTest::ActivationAndMenuCommandsArePosted() {
    CIconRig rig;
    rig.icon.OnActivate();
    rig.Action(cmd::kLogout)->trigger();
    rig.Action(cmd::kExit)->trigger();
    // Queued: nothing runs inside the icon's own handlers.
    QVERIFY(rig.commands.empty());
    QCoreApplication::processEvents();
    QCOMPARE(rig.commands, (std::vector<int>{cmd::kRestoreFromTray, cmd::kLogout, cmd::kExit}));
    // Offscreen there is no notification area, and no icon is made.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        rig.icon.AddIcon();
        QVERIFY(!rig.icon.IsShown());
    }
}

TX_APP_TEST_MAIN(TrayIconTest)
#include "TrayIconTest.moc"
