#include "GuardedSession.h"

#include "app/ChangePaswordDlg.h"
#include "app/Commands.h"
#include "app/DatabaseManagerDlg.h"
#include "app/EditPanel.h"
#include "app/EditorFrame.h"
#include "app/EditorFrames.h"
#include "app/EditorManager.h"
#include "app/FileEditPanel.h"
#include "app/FileRecordDlg.h"
#include "app/PasswordEditPanel.h"
#include "app/TxTrayIcon.h"
#include "platform/IdleTime.h"
#include "platform/ScreenLock.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWizard>

#include <functional>

using apptest::CAppHarness;
using apptest::CModalScript;
using apptest::CSampleSession;

namespace {

constexpr unsigned kIdCloseAllItems = 61325;
constexpr int kFolder = 3;
constexpr int kRecord = 11; // a password record of folder 3
constexpr int kFileRecord = 24;

constexpr auto Set = apptest::SetProfileInt;

// The guarded session with auto-logout after five idle minutes.
struct CGuardedSession : apptest::CGuardedSession {
    using apptest::CGuardedSession::CGuardedSession;

    bool Start() {
        Set(h, "ALogout_Enable", 1);
        Set(h, "ALogout_Time", 5);
        Set(h, "ALogout_OnScreenSaver", 1);
        return apptest::CGuardedSession::Start();
    }
    // A tick of timer 105 past the limit and the Logout command it posts (after a tick with
    // input, so that an earlier refusal does not hold it back).
    void IdleTick() {
        idle.SetIdleSeconds(0);
        Frame().AutoLogout().OnTimer();
        idle.SetIdleSeconds(300);
        Frame().AutoLogout().OnTimer();
        Pump();
        idle.SetIdleSeconds(0);
    }
    int StopBoxes() const {
        int n = 0;
        for (const auto& m : h.messages.Messages())
            n += (m.flags & MB_ICONSTOP) ? 1 : 0;
        return n;
    }
    int Children(int folder) {
        int n = 0;
        TComPtr<ITreeIterator> it = Doc().GetNode(folder)->GetIterator(ITreeItem::kChildren);
        for (TComPtr<ITreeItem> c = it->First(); c; c = it->Next())
            ++n;
        return n;
    }
};

std::string PasswordOf(CTxDoc& doc, int id) {
    TComPtr<IPasswordProperties> p = doc.GetRecord(id).As<IPasswordProperties>();
    return p ? p->GetPassword() : std::string();
}

// Runs step on the dialog shown application-modal, as exec() shows it.
CModalScript::STEP AsModal(CModalScript::STEP step) {
    return [step](QDialog& d) {
        d.hide();
        d.setWindowModality(Qt::ApplicationModal);
        d.show();
        QCoreApplication::processEvents();
        return step(d);
    };
}

// What the user does next when the dialog is still there: Next up to the end, then Finish
// or OK.
void ContinueFlow(QDialog& d) {
    if (auto* wizard = qobject_cast<QWizard*>(&d)) {
        for (int i = 0; i < 8 && wizard->isVisible(); ++i) {
            if (wizard->currentPage() && wizard->currentPage()->isFinalPage())
                wizard->button(QWizard::FinishButton)->click();
            else
                wizard->next();
            QCoreApplication::processEvents();
        }
        return;
    }
    d.accept();
}

// Which dialog ran, and whether it was still open after the logout.
struct SEEN {
    QString className;
    bool openAfterLogout = true;
    int result = -1;
};

// The logout comes (through trigger) while the dialog opened by command runs; the user
// then goes on with it if it is still there.
CModalScript::STEP LogoutInside(CGuardedSession& s, SEEN& seen,
                                std::function<void()> trigger = {}) {
    return AsModal([&s, &seen, trigger](QDialog& d) {
        seen.className = QString::fromLatin1(d.metaObject()->className());
        if (trigger)
            trigger();
        else
            s.IdleTick();
        seen.openAfterLogout = d.isVisible();
        if (d.isVisible())
            ContinueFlow(d);
        seen.result = apptest::Finish(d);
        return seen.result;
    });
}

} // namespace

class ModalLogoutTest : public QObject {
    Q_OBJECT

private slots:
    void MainWindowDialogsCloseBeforeTheAutoLogout();
    void NestedDialogsCloseInnermostFirst();
    void LockTrayLogoutAndExitCloseTheDialogToo();
    void EditorDialogClosesWithItsEditor();
    void UnsavedEditorKeepsTheDialogAndTheSession();
    void FileRecordDialogClosesUnlessChanged();
    void RealModalLoopEndsBeforeTheLogout();
    void LoginDialogIsLeftOpen();
};

void ModalLogoutTest::MainWindowDialogsCloseBeforeTheAutoLogout() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const int folders = s.Children(1);
    const int records = s.Children(kFolder);
    const struct {
        int command;
        const char* dialog;
    } cases[] = {
        {cmd::kExport, "CExportWizard"},
        {cmd::kImportCsv, "CCsvImportWizard"},
        {cmd::kPasswordGenerator, "CPasGenDlg"},
        {cmd::kOptions, "COptionsSheet"},
        {cmd::kDatabaseManagement, "CDatabaseManagerDlg"},
        {cmd::kNewFolder, "CNewFolderDlg"},
        {cmd::kFolderProperties, "CFolderPropertiesDlg"},
        {cmd::kMoveTo, "CMoveToFolderDlg"},
    };
    for (const auto& c : cases) {
        s.Open(kFolder);
        s.Tree().setFocus();
        QCoreApplication::processEvents();
        SEEN seen;
        {
            CModalScript script;
            script.Add(LogoutInside(s, seen));
            s.Frame().OnCommand(c.command);
            s.Pump();
            QCOMPARE(script.Unexpected(), 0);
            QVERIFY2(script.Done(), c.dialog);
        }
        QCOMPARE(seen.className, QString::fromLatin1(c.dialog));
        QTRY_VERIFY2(!s.Doc().IsAuthorised(), c.dialog);
        QVERIFY2(!seen.openAfterLogout, c.dialog);
        QVERIFY2(seen.result != QDialog::Accepted, c.dialog);
        QCOMPARE(s.StopBoxes(), 0);
        QCOMPARE(h.Count(kIdCloseAllItems), 0);
        QVERIFY2(s.Relogin(), c.dialog);
        // Nothing the dialog would have done reached the file.
        QCOMPARE(s.Children(1), folders);
        QCOMPARE(s.Children(kFolder), records);
        QCOMPARE(s.Doc().GetNode(kFolder)->GetParentID(), 1);
    }
}

void ModalLogoutTest::NestedDialogsCloseInnermostFirst() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    SEEN inner;
    bool managerOpenAfter = true;
    int managerResult = -1;
    {
        CModalScript script;
        script.Add(AsModal([&](QDialog& d) {
            script.Add(LogoutInside(s, inner, [&] {
                auto& change = dynamic_cast<CChangePaswordDlg&>(*QApplication::activeModalWidget());
                change.CurrentBox()->setText(QStringLiteral("S3cret!pass"));
                change.NewBox()->setText(QStringLiteral("n3w!"));
                change.AgainBox()->setText(QStringLiteral("n3w!"));
                s.IdleTick();
            }));
            d.findChild<QPushButton*>(QStringLiteral("ChangePassword"))->click();
            managerOpenAfter = d.isVisible();
            if (d.isVisible())
                d.reject();
            managerResult = apptest::Finish(d);
            return managerResult;
        }));
        s.Frame().OnCommand(cmd::kDatabaseManagement);
        s.Pump();
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(script.Done());
    }
    QCOMPARE(inner.className, QStringLiteral("CChangePaswordDlg"));
    QVERIFY(!inner.openAfterLogout);
    QVERIFY(!managerOpenAfter);
    QCOMPARE(managerResult, int(CDatabaseManagerDlg::kNothing));
    QTRY_VERIFY(!s.Doc().IsAuthorised());
    QCOMPARE(s.StopBoxes(), 0);
    // The password was not changed: the old one still opens the file.
    QVERIFY(s.Relogin());
}

void ModalLogoutTest::LockTrayLogoutAndExitCloseTheDialogToo() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const std::function<void()> triggers[] = {
        // Exit from the tray menu: the wizard closes, then the program.
        [&] {
            QMetaObject::invokeMethod(
                &s.Frame(), [&] { s.Frame().OnCommand(cmd::kExit); }, Qt::QueuedConnection);
            s.Pump();
        },
        [&] {
            s.lock.EmitLock();
            s.Pump();
        },
        // The tray menu's Logout reaches the window while the dialog blocks it.
        [&] {
            QMetaObject::invokeMethod(
                &s.Frame(), [&] { s.Frame().OnCommand(cmd::kLogout); }, Qt::QueuedConnection);
            s.Pump();
        },
    };
    for (const auto& trigger : triggers) {
        SEEN seen;
        {
            CModalScript script;
            script.Add(LogoutInside(s, seen, trigger));
            s.Frame().OnCommand(cmd::kExport);
            s.Pump();
            QCOMPARE(script.Unexpected(), 0);
        }
        QCOMPARE(seen.className, QStringLiteral("CExportWizard"));
        QVERIFY(!seen.openAfterLogout);
        QTRY_VERIFY(!s.Doc().IsAuthorised());
        QCOMPARE(s.StopBoxes(), 0);
        if (&trigger == &triggers[0]) {
            QTRY_VERIFY(!s.Frame().isVisible());
            s.Frame().show();
        }
        QVERIFY(s.Relogin());
    }
}

void ModalLogoutTest::EditorDialogClosesWithItsEditor() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const std::string password = PasswordOf(s.Doc(), kRecord);
    s.Doc().OpenItem(kRecord);
    auto* editor = dynamic_cast<CPasswordFrame*>(s.app->Editors().Find(kRecord));
    QVERIFY(editor);
    QPointer<CPasswordFrame> alive(editor);
    SEEN seen;
    {
        CModalScript script;
        script.Add(LogoutInside(s, seen));
        editor->Fields()->GenerateButton()->click();
        s.Pump();
        QCOMPARE(script.Unexpected(), 0);
    }
    QCOMPARE(seen.className, QStringLiteral("CPasGenDlg"));
    QVERIFY(!seen.openAfterLogout);
    QTRY_VERIFY(!s.Doc().IsAuthorised());
    QVERIFY(!s.app->Editors().Find(kRecord));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    QCOMPARE(s.StopBoxes(), 0);
    QVERIFY(s.Relogin());
    QCOMPARE(PasswordOf(s.Doc(), kRecord), password);
}

void ModalLogoutTest::UnsavedEditorKeepsTheDialogAndTheSession() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Doc().OpenItem(kRecord);
    auto* editor = dynamic_cast<CPasswordFrame*>(s.app->Editors().Find(kRecord));
    QVERIFY(editor);
    editor->Panel()->NameBox()->setText(QStringLiteral("Changed, not saved"));
    QVERIFY(editor->IsModified());
    SEEN seen;
    {
        CModalScript script;
        script.Add(LogoutInside(s, seen));
        editor->Fields()->GenerateButton()->click();
        s.Pump();
    }
    // Refused as ever (61325), and the generator stayed with its OK.
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(h.Count(kIdCloseAllItems), 1);
    QVERIFY(seen.openAfterLogout);
    QCOMPARE(seen.result, int(QDialog::Accepted));
    QCOMPARE(s.app->Editors().Find(kRecord), editor);
    QCOMPARE(editor->Panel()->NameBox()->text(), QStringLiteral("Changed, not saved"));
    QVERIFY(!editor->Fields()->PasswordBox()->text().isEmpty());
    QVERIFY(s.Frame().AutoLogout().IsTimerRunning());
}

void ModalLogoutTest::FileRecordDialogClosesUnlessChanged() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    // Changed: the dialog is an editor with unsaved changes, the logout is refused.
    SEEN changed;
    {
        CModalScript script;
        script.Add(AsModal([&](QDialog& d) {
            dynamic_cast<CFileRecordDlg&>(d).Panel()->NameBox()->setText(QStringLiteral("Renewed"));
            changed.className = QString::fromLatin1(d.metaObject()->className());
            s.IdleTick();
            changed.openAfterLogout = d.isVisible();
            h.messages.Script({IDNO});
            d.reject();
            return apptest::Finish(d);
        }));
        s.Doc().OpenItem(kFileRecord);
        s.Pump();
        QVERIFY(script.Done());
    }
    QCOMPARE(changed.className, QStringLiteral("CFileRecordDlg"));
    QVERIFY(changed.openAfterLogout);
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(h.Count(kIdCloseAllItems), 1);
    QVERIFY(s.Doc().GetRecord(kFileRecord)->GetName() != "Renewed");

    SEEN unchanged;
    {
        CModalScript script;
        script.Add(LogoutInside(s, unchanged));
        s.Doc().OpenItem(kFileRecord);
        s.Pump();
        QCOMPARE(script.Unexpected(), 0);
    }
    QVERIFY(!unchanged.openAfterLogout);
    QTRY_VERIFY(!s.Doc().IsAuthorised());
    QVERIFY(s.Doc().GetWindowManager().GetEntries().empty());
    QCOMPARE(s.StopBoxes(), 0);
}

void ModalLogoutTest::RealModalLoopEndsBeforeTheLogout() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Doc().OpenItem(kRecord);
    auto* editor = dynamic_cast<CPasswordFrame*>(s.app->Editors().Find(kRecord));
    QVERIFY(editor);
    QPointer<CPasswordFrame> alive(editor);
    QString seen;
    QObject scope;
    // Inside the generator's own exec(): the tick, as timer 105 brings it.
    QTimer::singleShot(0, &scope, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            seen = QString::fromLatin1(modal->metaObject()->className());
        s.idle.SetIdleSeconds(300);
        s.Frame().AutoLogout().OnTimer();
    });
    // Should the dialog stay, the run must still end.
    QTimer::singleShot(5000, &scope, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    QVERIFY(!editor->Fields()->GeneratePassword());
    QCOMPARE(seen, QStringLiteral("CPasGenDlg"));
    QTRY_VERIFY(!s.Doc().IsAuthorised());
    QTRY_VERIFY(!alive);
    QCOMPARE(s.StopBoxes(), 0);
}

void ModalLogoutTest::LoginDialogIsLeftOpen() {
    CAppHarness h;
    CGuardedSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Frame().OnCommand(cmd::kLogout);
    s.Pump();
    QVERIFY(!s.Doc().IsAuthorised());
    // A tray Logout (or a lock) while the login dialog asks leaves it to the user.
    bool openAfter = false;
    {
        CModalScript script;
        script.Add(AsModal([&](QDialog& d) {
            QMetaObject::invokeMethod(
                &s.Frame(), [&] { s.Frame().OnCommand(cmd::kLogout); }, Qt::QueuedConnection);
            s.lock.EmitLock();
            // The tray's Login and Main Window only bring the asking dialog forward.
            for (QAction* action : s.Frame().TrayIcon().Menu()->actions())
                if (action->data().toInt() == cmd::kLogin ||
                    action->data().toInt() == cmd::kRestoreFromTray)
                    action->trigger();
            s.Pump();
            openAfter = d.isVisible();
            return apptest::LoginAsCarol(d);
        }));
        s.Frame().OnCommand(cmd::kLogin);
        s.Pump();
        QVERIFY(script.Done());
        QCOMPARE(script.Unexpected(), 0);
    }
    QVERIFY(openAfter);
    QVERIFY(s.Doc().IsAuthorised());
    QVERIFY(s.Frame().AutoLogout().IsTimerRunning());
}

TX_APP_TEST_MAIN(ModalLogoutTest)
#include "ModalLogoutTest.moc"
