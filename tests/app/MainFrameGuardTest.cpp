#include "GuardedSession.h"

#include "app/AutoLogoutTray.h"
#include "app/Commands.h"
#include "app/CreditCardEditPanel.h"
#include "app/EditPanel.h"
#include "app/EditorFrame.h"
#include "app/EditorFrames.h"
#include "app/EditorManager.h"
#include "app/Messages.h"
#include "app/PasswordEditPanel.h"
#include "app/PreviewPanels.h"
#include "app/ProgressDlg.h"
#include "platform/IdleTime.h"
#include "platform/ScreenLock.h"
#include "platform/SecretClipboard.h"
#include "platform/StringTable.h"
#include "platform/qt/QtSecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QToolButton>

#include "ui/CopyButton.h"

using apptest::CAppHarness;
using apptest::CModalScript;
using apptest::CSampleSession;

namespace {

constexpr unsigned kIdCloseAllItems = 61325;
constexpr int kRecord = 11; // a password record of folder 3

struct CGuardedSession : apptest::CGuardedSession {
    using apptest::CGuardedSession::CGuardedSession;
    void Minimize() {
        Frame().showMinimized();
        Pump();
    }
};

constexpr auto Set = apptest::SetProfileInt;

// The desktop's clipboard with the program's stamps, installed for one test.
struct CScopedSecretClipboard {
    CScopedSecretClipboard() : previous(SetClipboard(&clipboard)) {}
    ~CScopedSecretClipboard() { SetClipboard(previous); }
    QString Text() const { return QGuiApplication::clipboard()->text(); }
    bool IsMarkedSecret() const {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data && data->hasFormat(QString::fromLatin1(CQtSecretClipboard::kHintFormat));
    }

    CQtSecretClipboard clipboard;
    IClipboard* previous;
};

} // namespace

class MainFrameGuardTest : public QObject {
    Q_OBJECT

private slots:
    void IdleTimeLogsOutAtTheFirstTickPastTheLimit();
    void ScreenSaverAloneLogsOutWhenIdleTimeIsOff();
    void OptionChangesRestartTheTimerAndTheIcon();
    void HidingLogsOutWhenSoConfiguredAndRestoringAsksForLogin();
    void LoginFromTheTrayRestoresTheWindow();
    void ActivationFromASecondCopyRestoresTheWindow();
    void LogoutIsRefusedWhileAnEditorHoldsChanges();
    void LogoutWaitsForAProgressWindow();
    void ClipboardIsClearedOnlyWhileItHoldsOurCopy();
    void ClipboardIsClearedAtExitWhenConfigured();
    void CloseHidesButExitReallyExits();
    void MaskedBoxesGiveNothingToCopyOrCut();
    void PreviewCopiesThePasswordAsASecretAndReportsFailures();
    void EditorCopiesThePasswordAsASecret();
    void CardEditorCopiesCodeAndPinAsSecrets();
};

void MainFrameGuardTest::IdleTimeLogsOutAtTheFirstTickPastTheLimit() {
    CAppHarness h;
    Set(h, "ALogout_Enable", 1);
    Set(h, "ALogout_Time", 5);
    Set(h, "ALogout_OnScreenSaver", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(s.TimerRunning());
    s.Tick(299);
    QVERIFY(s.Doc().IsAuthorised());
    QVERIFY(s.TimerRunning());
    s.Tick(300);
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(!s.TimerRunning());
    QVERIFY(s.Frame().isVisible());
    // The next login starts the timer again (message 1137).
    CModalScript script;
    script.Add(apptest::LoginAsCarol);
    s.Frame().OnCommand(cmd::kLogin);
    QCoreApplication::processEvents();
    QVERIFY(s.Doc().IsAuthorised());
    QVERIFY(s.TimerRunning());
    s.Tick(0);
    QVERIFY(s.Doc().IsAuthorised());
}

void MainFrameGuardTest::ScreenSaverAloneLogsOutWhenIdleTimeIsOff() {
    CAppHarness h;
    Set(h, "ALogout_Enable", 0);
    Set(h, "ALogout_Time", 1);
    Set(h, "ALogout_OnScreenSaver", 1);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(s.TimerRunning());
    s.Tick(100000);
    QVERIFY(s.Doc().IsAuthorised());
    s.lock.SetRunning(true);
    s.Tick(0);
    QVERIFY(!s.Doc().IsAuthorised());

    s.lock.SetRunning(false);
    QVERIFY(s.Relogin());
    // The saver starting (or the session locking) logs out at once, without a tick.
    s.lock.EmitLock();
    s.Pump();
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(!s.TimerRunning());
}

void MainFrameGuardTest::OptionChangesRestartTheTimerAndTheIcon() {
    CAppHarness h;
    Set(h, "ALogout_Enable", 0);
    Set(h, "ALogout_OnScreenSaver", 0);
    Set(h, "Tray_Enable", 1);
    Set(h, "Tray_Apearance", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    // Neither option: no timer, and a lock does nothing.
    QVERIFY(!s.TimerRunning());
    s.lock.EmitLock();
    s.Pump();
    QVERIFY(s.Doc().IsAuthorised());
    QVERIFY(s.tray.shown);

    CTresorixSettings& settings = s.app->Settings();
    settings.ALogout_Enable = 1;
    settings.ALogout_Time = 5;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeAutoLogout);
    QVERIFY(s.TimerRunning());
    settings.Tray_Apearance = 1;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeTray);
    QVERIFY(!s.tray.shown);
    settings.Tray_Apearance = 0;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeTray);
    QVERIFY(s.tray.shown);
    settings.Tray_Enable = 0;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeTray);
    QVERIFY(!s.tray.shown);

    // Logging out stops the timer (message 1138), and option changes while logged out do
    // not start it.
    s.Frame().OnCommand(cmd::kLogout);
    QCoreApplication::processEvents();
    QVERIFY(!s.TimerRunning());
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeAutoLogout);
    QVERIFY(!s.TimerRunning());
}

void MainFrameGuardTest::HidingLogsOutWhenSoConfiguredAndRestoringAsksForLogin() {
    CAppHarness h;
    Set(h, "Tray_Enable", 1);
    Set(h, "Tray_Apearance", 1);
    Set(h, "Tray_HideMinimize", 1);
    Set(h, "ALogout_OnTray", 1);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(!s.tray.shown);
    s.Minimize();
    QVERIFY(s.Frame().IsHiddenToTray());
    QVERIFY(!s.Frame().isVisible());
    QVERIFY(s.tray.shown);
    QVERIFY(!s.Doc().IsAuthorised());

    CModalScript script;
    script.Add(apptest::LoginAsCarol);
    s.Frame().OnCommand(cmd::kRestoreFromTray);
    QCoreApplication::processEvents();
    QVERIFY(script.Done());
    QCOMPARE(script.Unexpected(), 0);
    QVERIFY(s.Doc().IsAuthorised());
    QVERIFY(s.Frame().isVisible());
    QVERIFY(!s.Frame().IsHiddenToTray());
    // "Only if minimized": the icon goes with the restore.
    QVERIFY(!s.tray.shown);
}

void MainFrameGuardTest::LoginFromTheTrayRestoresTheWindow() {
    CAppHarness h;
    Set(h, "Tray_Enable", 1);
    Set(h, "Tray_HideMinimize", 1);
    Set(h, "ALogout_OnTray", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Minimize();
    QVERIFY(s.Frame().IsHiddenToTray());
    QVERIFY(s.Doc().IsAuthorised());
    // The tray menu's Logout, then its Login.
    s.Frame().OnCommand(cmd::kLogout);
    QCoreApplication::processEvents();
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(s.Frame().IsHiddenToTray());
    CModalScript script;
    script.Add(apptest::LoginAsCarol);
    s.Frame().OnCommand(cmd::kLogin);
    QCoreApplication::processEvents();
    QVERIFY(s.Doc().IsAuthorised());
    QVERIFY(!s.Frame().IsHiddenToTray());
    QVERIFY(s.Frame().isVisible());
}

void MainFrameGuardTest::ActivationFromASecondCopyRestoresTheWindow() {
    CAppHarness h;
    Set(h, "Tray_Enable", 1);
    Set(h, "Tray_HideMinimize", 1);
    Set(h, "ALogout_OnTray", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Minimize();
    QVERIFY(!s.Frame().isVisible());
    // 1144 goes through the icon, which posts 32819.
    s.Frame().OnMessage(msg::kActivate);
    QVERIFY(s.Frame().IsHiddenToTray());
    QCoreApplication::processEvents();
    QVERIFY(!s.Frame().IsHiddenToTray());
    QVERIFY(s.Frame().isVisible());
    QVERIFY(!s.Frame().isMinimized());
    QVERIFY(s.Doc().IsAuthorised());
}

void MainFrameGuardTest::LogoutIsRefusedWhileAnEditorHoldsChanges() {
    CAppHarness h;
    Set(h, "ALogout_Enable", 1);
    Set(h, "ALogout_Time", 5);
    Set(h, "Tray_Enable", 1);
    Set(h, "Tray_HideClose", 1);
    Set(h, "ALogout_OnTray", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Doc().OpenItem(kRecord);
    CEditorFrame* editor = s.app->Editors().Find(kRecord);
    QVERIFY(editor);
    editor->Panel()->NameBox()->setText(QStringLiteral("Changed, not saved"));
    QVERIFY(editor->IsModified());

    s.Tick(300);
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(h.Count(kIdCloseAllItems), 1);
    QCOMPARE(s.app->Editors().Find(kRecord), editor);
    QCOMPARE(editor->Panel()->NameBox()->text(), QStringLiteral("Changed, not saved"));
    QVERIFY(s.TimerRunning());
    // Still away: the refusal is not repeated every ten seconds; back and away again, it is.
    s.Tick(310);
    QCOMPARE(h.Count(kIdCloseAllItems), 1);
    s.Tick(2);
    s.Tick(300);
    QCOMPARE(h.Count(kIdCloseAllItems), 2);
    QVERIFY(s.TimerRunning());

    // The menu's Logout is refused the same way and leaves the timer alone.
    s.Frame().OnCommand(cmd::kLogout);
    QCoreApplication::processEvents();
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(h.Count(kIdCloseAllItems), 3);
    QVERIFY(s.TimerRunning());
    QVERIFY(editor->IsModified());
    // Exit is refused too, also from the tray menu while the window is hidden.
    s.Frame().OnCommand(cmd::kExit);
    QCoreApplication::processEvents();
    QVERIFY(s.Doc().IsAuthorised());
    QVERIFY(s.Frame().isVisible());
    QCOMPARE(h.Count(kIdCloseAllItems), 4);
    QVERIFY(!s.Frame().close());
    QVERIFY(s.Frame().IsHiddenToTray());
    s.Frame().OnCommand(cmd::kExit);
    QCoreApplication::processEvents();
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(h.Count(kIdCloseAllItems), 5);
    QCOMPARE(s.app->Editors().Find(kRecord), editor);
    QCOMPARE(editor->Panel()->NameBox()->text(), QStringLiteral("Changed, not saved"));
    // Nor may the desktop session end: the main window says why (1124).
    QVERIFY(!s.app->QueryEndSession());
    s.Pump();
    QCOMPARE(h.Count(61324), 1);
    QVERIFY(s.Doc().IsAuthorised());

    // Once the change is saved the next auto-logout goes through.
    editor->OnCommand(cmd::kSave);
    QVERIFY(!editor->IsModified());
    {
        // Not while long work runs, though.
        CProgressDlg progress(QStringLiteral("Work"), QStringLiteral("..."), false);
        progress.Begin();
        QVERIFY(!s.app->QueryEndSession());
        progress.End();
    }
    QVERIFY(s.app->QueryEndSession());
    s.Tick(0);
    s.Tick(300);
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(s.app->Editors().Editors().empty());
}

void MainFrameGuardTest::LogoutWaitsForAProgressWindow() {
    CAppHarness h;
    Set(h, "ALogout_Enable", 1);
    Set(h, "ALogout_Time", 5);
    Set(h, "Tray_HideClose", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    {
        CProgressDlg progress(QStringLiteral("Please wait"), QStringLiteral("Storing"), false,
                              &s.Frame());
        progress.Begin();
        QVERIFY(CProgressDlg::IsAnyActive());
        s.Tick(300);
        QVERIFY(s.Doc().IsAuthorised());
        QVERIFY(s.TimerRunning());
        s.Frame().OnCommand(cmd::kLogout);
        QVERIFY(!s.Frame().close());
        QVERIFY(s.Doc().IsAuthorised());
        progress.End();
    }
    // The command asked for comes once the work is done.
    QTRY_VERIFY(!s.Doc().IsAuthorised());
    QCOMPARE(h.Count(kIdCloseAllItems), 0);
}

void MainFrameGuardTest::ClipboardIsClearedOnlyWhileItHoldsOurCopy() {
    CAppHarness h;
    Set(h, "App_ClearClipboardOnMinimize", 1);
    Set(h, "Tray_HideMinimize", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    CScopedSecretClipboard clipboard;

    QVERIFY(CopySecretTextToClipboard("S3cret!pass"));
    QCOMPARE(clipboard.Text(), QStringLiteral("S3cret!pass"));
    s.Minimize();
    QVERIFY(s.Frame().isMinimized());
    QVERIFY(clipboard.Text().isEmpty());

    s.Frame().showNormal();
    QCoreApplication::processEvents();
    QVERIFY(CopySecretTextToClipboard("S3cret!pass"));
    QGuiApplication::clipboard()->setText(QStringLiteral("copied elsewhere"));
    s.Minimize();
    QCOMPARE(clipboard.Text(), QStringLiteral("copied elsewhere"));

    s.Frame().showNormal();
    QCoreApplication::processEvents();
    QVERIFY(CopySecretTextToClipboard("S3cret!pass"));
    s.Frame().OnCommand(cmd::kClearClipboard);
    QVERIFY(clipboard.Text().isEmpty());
    QGuiApplication::clipboard()->setText(QStringLiteral("copied elsewhere"));
    s.Frame().OnCommand(cmd::kClearClipboard);
    QCOMPARE(clipboard.Text(), QStringLiteral("copied elsewhere"));

    // Without the option minimising leaves the clipboard alone.
    s.app->Settings().App_ClearClipboardOnMinimize = 0;
    s.Frame().showNormal();
    QCoreApplication::processEvents();
    QVERIFY(CopySecretTextToClipboard("S3cret!pass"));
    s.Minimize();
    QCOMPARE(clipboard.Text(), QStringLiteral("S3cret!pass"));
    s.Frame().OnCommand(cmd::kClearClipboard);
}

void MainFrameGuardTest::ClipboardIsClearedAtExitWhenConfigured() {
    for (int option : {1, 0}) {
        CAppHarness h;
        Set(h, "App_ClearClipboardOnExit", option);
        CGuardedSession s(h);
        if (s.vault.isEmpty())
            QSKIP("fixtures missing");
        QVERIFY(s.Start());
        CScopedSecretClipboard clipboard;
        QVERIFY(CopySecretTextToClipboard("S3cret!pass"));
        s.Frame().OnCommand(cmd::kExit);
        s.app->ExitInstance();
        QCOMPARE(clipboard.Text().isEmpty(), option == 1);
        if (!option)
            clipboard.clipboard.Clear();
    }
}

void MainFrameGuardTest::CloseHidesButExitReallyExits() {
    CAppHarness h;
    Set(h, "Tray_Enable", 1);
    Set(h, "Tray_HideClose", 1);
    Set(h, "ALogout_OnTray", 0);
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    // The window's close button hides it and keeps the session.
    QVERIFY(!s.Frame().close());
    QVERIFY(s.Frame().IsHiddenToTray());
    QVERIFY(!s.Frame().isVisible());
    QVERIFY(s.Doc().IsAuthorised());
    // Exit (from the tray menu) logs out and closes, hidden or not.
    s.Frame().OnCommand(cmd::kExit);
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(!s.Frame().isVisible());
    QCOMPARE(h.store.GetProfileString(CMainFrame::kSection, "Position", "").empty(), false);

    // Without a notification area close closes even with the option set.
    CAppHarness h2;
    Set(h2, "Tray_Enable", 1);
    Set(h2, "Tray_HideClose", 1);
    CGuardedSession s2(h2);
    s2.tray.available = false;
    QVERIFY(s2.Start());
    QVERIFY(s2.Frame().close());
    QVERIFY(!s2.Frame().IsHiddenToTray());
    QVERIFY(!s2.Doc().IsAuthorised());
}

void MainFrameGuardTest::MaskedBoxesGiveNothingToCopyOrCut() {
    CAppHarness h;
    CScopedSecretClipboard clipboard;
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    TresorixSettings().App_ShowPasswords = 0;
    CKivPasswordEdit box;
    QVERIFY(!box.IsShowingPassword());
    box.setText(QStringLiteral("S3cret!pass"));
    box.selectAll();
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(clipboard.Text(), QStringLiteral("before"));
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(box.text(), QStringLiteral("S3cret!pass"));
    QCOMPARE(clipboard.Text(), QStringLiteral("before"));

    // Shown, the selection is copied, but as a secret; cut removes it.
    box.SetShowPassword(1);
    box.selectAll();
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard.Text(), QStringLiteral("S3cret!pass"));
    QVERIFY(clipboard.IsMarkedSecret());
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(box.text().isEmpty());
    QVERIFY(clipboard.IsMarkedSecret());

    TresorixSettings().App_ShowPasswords = 1;
    box.SetShowPassword(CKivPasswordEdit::kFromSettings);
    QVERIFY(box.IsShowingPassword());
    TresorixSettings().App_ShowPasswords = 0;
    box.SetShowPassword(CKivPasswordEdit::kFromSettings);
    QVERIFY(!box.IsShowingPassword());
    clipboard.clipboard.Clear();
}

void MainFrameGuardTest::PreviewCopiesThePasswordAsASecretAndReportsFailures() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(3);
    s.List().SelectId(kRecord);
    s.Frame().Right()->RefreshHeaderAndPreview();
    auto* panel = static_cast<CPasswordPreview*>(
        s.Frame().Right()->Preview()->Panel(CPreviewContainer::kPassword));
    const QString password = panel->PasswordBox()->text();
    QVERIFY(!password.isEmpty());
    const QList<CCopyButton*> buttons = panel->findChildren<CCopyButton*>();
    QVERIFY(buttons.size() >= 2);
    int secrets = 0;
    CCopyButton* passwordButton = nullptr;
    {
        CScopedSecretClipboard clipboard;
        for (CCopyButton* button : buttons) {
            QGuiApplication::clipboard()->clear();
            button->click();
            if (clipboard.Text() == password) {
                QVERIFY(clipboard.IsMarkedSecret());
                passwordButton = button;
                ++secrets;
            } else {
                QVERIFY(!clipboard.IsMarkedSecret());
            }
        }
        clipboard.clipboard.Clear();
    }
    QCOMPARE(secrets, 1);
    // The appearance page's change (code 6) re-applies the masking to the shown boxes.
    QVERIFY(!panel->PasswordBox()->IsShowingPassword());
    s.app->Settings().App_ShowPasswords = 1;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeAppearance);
    QVERIFY(panel->PasswordBox()->IsShowingPassword());
    s.app->Settings().App_ShowPasswords = 0;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeAppearance);
    QVERIFY(!panel->PasswordBox()->IsShowingPassword());
    QCOMPARE(h.Count(61272), 0);
    // A clipboard that refuses: the click says so.
    h.clipboard.SetFails(true);
    passwordButton->click();
    QCOMPARE(h.Count(61272), 1);
}

void MainFrameGuardTest::EditorCopiesThePasswordAsASecret() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Doc().OpenItem(kRecord);
    auto* editor = dynamic_cast<CPasswordFrame*>(s.app->Editors().Find(kRecord));
    QVERIFY(editor);
    const QString password = editor->Fields()->PasswordBox()->text();
    QVERIFY(!password.isEmpty());
    const QString tip = QString::fromStdString(LoadString(61267));
    int copies = 0, secrets = 0;
    {
        CScopedSecretClipboard clipboard;
        for (QToolButton* button : editor->findChildren<QToolButton*>()) {
            if (button->toolTip() != tip)
                continue;
            ++copies;
            QGuiApplication::clipboard()->clear();
            button->click();
            const bool isPassword = clipboard.Text() == password;
            QCOMPARE(clipboard.IsMarkedSecret(), isPassword);
            secrets += isPassword ? 1 : 0;
        }
        clipboard.clipboard.Clear();
    }
    QVERIFY(copies >= 2);
    QCOMPARE(secrets, 1);
}

void MainFrameGuardTest::CardEditorCopiesCodeAndPinAsSecrets() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    constexpr int kVisaGold = 19;
    s.Doc().OpenItem(kVisaGold);
    auto* editor = dynamic_cast<CCreditCardFrame*>(s.app->Editors().Find(kVisaGold));
    QVERIFY(editor);
    const QString code = editor->Fields()->Box(CCreditCardEditPanel::kSecurityCode)->text();
    const QString pin = editor->Fields()->Box(CCreditCardEditPanel::kPin)->text();
    QVERIFY(!code.isEmpty() && !pin.isEmpty());
    const QString tip = QString::fromStdString(LoadString(61267));
    int secrets = 0;
    {
        CScopedSecretClipboard clipboard;
        for (QToolButton* button : editor->findChildren<QToolButton*>()) {
            if (button->toolTip() != tip)
                continue;
            QGuiApplication::clipboard()->clear();
            button->click();
            const bool isSecret = clipboard.Text() == code || clipboard.Text() == pin;
            QCOMPARE(clipboard.IsMarkedSecret(), isSecret);
            secrets += isSecret ? 1 : 0;
        }
        clipboard.clipboard.Clear();
    }
    QCOMPARE(secrets, 2);
}

TX_APP_TEST_MAIN(MainFrameGuardTest)
#include "MainFrameGuardTest.moc"
