#include "AppTestSupport.h"

#include "app/AutoLogoutTray.h"
#include "app/Commands.h"
#include "app/TxTrayIcon.h"
#include "platform/TresorixSettings.h"

#include <QAction>
#include <QMenu>

#include <vector>

namespace {

struct CIconRig {
    CIconRig()
        : icon(QIcon(),
               CTxTrayIcon::HOOKS{[this](int id) { commands.push_back(id); },
                                  [this] { return loggedIn; }, [this] { ++activations; }}) {}
    std::vector<int> commands;
    bool loggedIn = true;
    int activations = 0;
    CTxTrayIcon icon;
};

QAction* ActionFor(QMenu& menu, int command) {
    for (QAction* action : menu.actions())
        if (!action->isSeparator() && action->data().toInt() == command)
            return action;
    return nullptr;
}

} // namespace

class TrayIconTest : public QObject {
    Q_OBJECT

private slots:
    void MenuHoldsTheCommandsWithRestoreAsDefault();
    void MenuEnablesLoginOrLogout();
    void DoubleClickRestoresWithoutTheMenu();
    void SingleClickShowsTheMenuAfterTheClickTime();
    void ActivationAndMenuCommandsArePosted();
    void WithoutNotificationAreaTheWindowNeverHides();
};

void TrayIconTest::MenuHoldsTheCommandsWithRestoreAsDefault() {
    CIconRig rig;
    QMenu& menu = *rig.icon.Menu();
    std::vector<int> commands;
    std::vector<QString> texts;
    for (QAction* action : menu.actions()) {
        commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
        texts.push_back(action->text());
    }
    QCOMPARE(commands, (std::vector<int>{cmd::kRestoreFromTray, cmd::kAbout, 0, cmd::kLogin,
                                         cmd::kLogout, 0, cmd::kExit}));
    QCOMPARE(texts[0], QStringLiteral("&Main Window"));
    QCOMPARE(texts[4], QStringLiteral("Log&out"));
    QCOMPARE(menu.defaultAction(), ActionFor(menu, cmd::kRestoreFromTray));
    QCOMPARE(rig.icon.GetTooltipText(), QStringLiteral("Tresorix Pro"));
}

void TrayIconTest::MenuEnablesLoginOrLogout() {
    CIconRig rig;
    QMenu& menu = *rig.icon.Menu();
    rig.loggedIn = false;
    emit menu.aboutToShow();
    QVERIFY(ActionFor(menu, cmd::kLogin)->isEnabled());
    QVERIFY(!ActionFor(menu, cmd::kLogout)->isEnabled());
    rig.loggedIn = true;
    emit menu.aboutToShow();
    QVERIFY(!ActionFor(menu, cmd::kLogin)->isEnabled());
    QVERIFY(ActionFor(menu, cmd::kLogout)->isEnabled());
}

void TrayIconTest::DoubleClickRestoresWithoutTheMenu() {
    CIconRig rig;
    QCOMPARE(CTxTrayIcon::kClickTimerMs, 500);
    rig.icon.OnActivated(QSystemTrayIcon::Trigger);
    QVERIFY(rig.icon.IsClickTimerRunning());
    rig.icon.OnActivated(QSystemTrayIcon::DoubleClick);
    QCoreApplication::processEvents();
    QCOMPARE(rig.commands, std::vector<int>{cmd::kRestoreFromTray});
    rig.icon.OnClickTimer();
    QVERIFY(!rig.icon.IsClickTimerRunning());
    QVERIFY(!rig.icon.Menu()->isVisible());
    QCOMPARE(rig.activations, 0);

    // The double click is forgotten once its timer ran: the next click shows the menu.
    rig.icon.OnActivated(QSystemTrayIcon::Trigger);
    rig.icon.OnClickTimer();
    QVERIFY(rig.icon.Menu()->isVisible());
    rig.icon.Menu()->hide();
}

void TrayIconTest::SingleClickShowsTheMenuAfterTheClickTime() {
    CIconRig rig;
    rig.icon.OnActivated(QSystemTrayIcon::Trigger);
    QVERIFY(!rig.icon.Menu()->isVisible());
    rig.icon.OnClickTimer();
    QVERIFY(rig.icon.Menu()->isVisible());
    QCOMPARE(rig.activations, 1);
    rig.icon.Menu()->hide();
    QVERIFY(rig.commands.empty());
}

void TrayIconTest::ActivationAndMenuCommandsArePosted() {
    CIconRig rig;
    rig.icon.OnActivate();
    ActionFor(*rig.icon.Menu(), cmd::kLogout)->trigger();
    ActionFor(*rig.icon.Menu(), cmd::kExit)->trigger();
    // Queued: nothing runs inside the icon's own handlers.
    QVERIFY(rig.commands.empty());
    QCoreApplication::processEvents();
    QCOMPARE(rig.commands, (std::vector<int>{cmd::kRestoreFromTray, cmd::kLogout, cmd::kExit}));
}

void TrayIconTest::WithoutNotificationAreaTheWindowNeverHides() {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("this desktop has a notification area");
    CIconRig rig;
    rig.icon.AddIcon();
    QVERIFY(!rig.icon.IsShown());

    CTresorixSettings settings;
    settings.Tray_HideMinimize = 1;
    settings.Tray_HideClose = 1;
    settings.ALogout_OnTray = 1;
    int hides = 0;
    int logouts = 0;
    CAutoLogoutTray tray(settings, rig.icon,
                         {[&] { ++hides; }, {}, [] { return true; }, [&] { ++logouts; }, {}});
    QVERIFY(!tray.OnSysMinimize());
    QVERIFY(!tray.OnSysClose());
    QCOMPARE(hides, 0);
    QCOMPARE(logouts, 0);
}

TX_APP_TEST_MAIN(TrayIconTest)
#include "TrayIconTest.moc"
