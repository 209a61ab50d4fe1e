#include "AppTestSupport.h"
#include "GuardFakes.h"

#include "app/AutoLogoutTray.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/PasswordDlg.h"
#include "platform/Clipboard.h"
#include "platform/SecretClipboard.h"
#include "platform/TresorixSettings.h"
#include "platform/qt/QtSecretClipboard.h"
#include "ui/PasswordEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>

namespace {

QString ClipboardText() {
    return QGuiApplication::clipboard()->text();
}

bool IsMarkedSecret() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->data(QString::fromLatin1(CQtSecretClipboard::kHintFormat)) == "secret";
}

// The desktop clipboard behind the program's clipboard functions for one test.
class CScopedDesktopClipboard : public CQtSecretClipboard {
public:
    CScopedDesktopClipboard() : m_previous(SetClipboard(this)) {
        QGuiApplication::clipboard()->clear();
    }
    ~CScopedDesktopClipboard() override { SetClipboard(m_previous); }
    CScopedDesktopClipboard(const CScopedDesktopClipboard&) = delete;
    CScopedDesktopClipboard& operator=(const CScopedDesktopClipboard&) = delete;

private:
    IClipboard* m_previous;
};

struct CMinimiseRig {
    CMinimiseRig() : tray(settings, icon, {}) {}
    CTresorixSettings settings;
    CFakeTrayIcon icon;
    CAutoLogoutTray tray;
};

} // namespace

class ClipboardTest : public QObject {
    Q_OBJECT

private slots:
    void SecretCopiesCarryTheManagerHint();
    void ClearingEmptiesOnlyOurLastCopy();
    void MinimiseAndHidingClearWhenConfigured();
    void ExitAndCommandClear();
};

void ClipboardTest::SecretCopiesCarryTheManagerHint() {
    CScopedDesktopClipboard clipboard;
    QVERIFY(CopySecretTextToClipboard("p\xC3\xA4ss"));
    QCOMPARE(ClipboardText(), QString::fromUtf8("p\xC3\xA4ss"));
    QVERIFY(IsMarkedSecret());

    QVERIFY(CopyTextToClipboard("https://example.org/"));
    QCOMPARE(ClipboardText(), QStringLiteral("https://example.org/"));
    QVERIFY(!IsMarkedSecret());

    // An empty copy leaves the clipboard alone.
    QVERIFY(CopySecretTextToClipboard(""));
    QCOMPARE(ClipboardText(), QStringLiteral("https://example.org/"));
}

void ClipboardTest::ClearingEmptiesOnlyOurLastCopy() {
    CScopedDesktopClipboard clipboard;
    QVERIFY(CopySecretTextToClipboard("secret-1"));
    QVERIFY(clipboard.HoldsOurCopy());
    QVERIFY(ClearClipboard());
    QVERIFY(ClipboardText().isEmpty());
    QVERIFY(!clipboard.HoldsOurCopy());

    // Something copied elsewhere since our copy survives.
    QVERIFY(CopySecretTextToClipboard("secret-2"));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's own"));
    QVERIFY(!clipboard.HoldsOurCopy());
    QVERIFY(ClearClipboard());
    QCOMPARE(ClipboardText(), QStringLiteral("the user's own"));

    // Our older copy put back by someone else is not our last one.
    QVERIFY(CopyTextToClipboard("first"));
    auto* older = new QMimeData;
    const QMimeData* current = QGuiApplication::clipboard()->mimeData();
    for (const QString& format : current->formats())
        older->setData(format, current->data(format));
    QVERIFY(CopyTextToClipboard("second"));
    QGuiApplication::clipboard()->setMimeData(older);
    QVERIFY(ClearClipboard());
    QCOMPARE(ClipboardText(), QStringLiteral("first"));
}

void ClipboardTest::MinimiseAndHidingClearWhenConfigured() {
    CScopedDesktopClipboard clipboard;
    CMinimiseRig rig;
    rig.settings.App_ClearClipboardOnMinimize = 0;
    rig.settings.Tray_HideMinimize = 1;
    CopySecretTextToClipboard("kept");
    QVERIFY(rig.tray.OnSysMinimize());
    QCOMPARE(ClipboardText(), QStringLiteral("kept"));
    rig.tray.RestoreFromTray();

    rig.settings.App_ClearClipboardOnMinimize = 1;
    rig.settings.Tray_HideMinimize = 0;
    QVERIFY(!rig.tray.OnSysMinimize());
    QVERIFY(ClipboardText().isEmpty());

    // Closing clears only when it hides; a real close goes on to the exit.
    CopySecretTextToClipboard("closing");
    rig.settings.Tray_HideClose = 0;
    QVERIFY(!rig.tray.OnSysClose());
    QCOMPARE(ClipboardText(), QStringLiteral("closing"));
    rig.settings.Tray_HideClose = 1;
    QVERIFY(rig.tray.OnSysClose());
    QVERIFY(ClipboardText().isEmpty());
}

void ClipboardTest::ExitAndCommandClear() {
    // The program itself: command 32825 of the main window, then its exit step.
    apptest::CAppHarness harness;
    const QString vault = apptest::CopyVault(harness.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty())
        QSKIP("fixtures missing");
    apptest::CModalScript script;
    script.Add([](QDialog& dialog) {
        auto& login = dynamic_cast<CPasswordDlg&>(dialog);
        login.UsernameBox()->setText(QStringLiteral("carol"));
        login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
        login.accept();
        return apptest::Finish(dialog);
    });
    CTresorixApp app(harness.Options());
    QVERIFY(app.InitInstance({QStringLiteral("tresorix"), vault}));
    QVERIFY(app.GetMainFrame());
    QVERIFY(harness.clipboard.SetText("by command"));
    app.GetMainFrame()->OnCommand(cmd::kClearClipboard);
    QVERIFY(!harness.clipboard.HasText());

    app.Settings().App_ClearClipboardOnExit = 1;
    QVERIFY(harness.clipboard.SetText("at exit"));
    app.ExitInstance();
    QVERIFY(!harness.clipboard.HasText());
    CTresorixSettings keep;
    keep.App_ClearClipboardOnExit = 0;
    QVERIFY(harness.clipboard.SetText("stays"));
    QVERIFY(CAutoLogoutTray::OnExit(keep));
    QVERIFY(harness.clipboard.HasText());
}

TX_APP_TEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
