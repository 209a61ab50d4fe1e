#include "AppTestSupport.h"

#include "app/CreationPages.h"
#include "app/CreationWizard.h"
#include "app/MainFrame.h"
#include "app/PasswordDlg.h"
#include "app/StartupDlg.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/StringTable.h"
#include "ui/PasswordEdit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using apptest::CAppHarness;
using apptest::CModalScript;

namespace {

constexpr unsigned kLoginFailed = 61221;
constexpr unsigned kSureToQuit = 61223;
constexpr unsigned kNoUsername = 61231;
constexpr unsigned kMismatch = 61228;
constexpr unsigned kEmptyPassword = 61230;
constexpr unsigned kBadName = 61423;
constexpr unsigned kExists = 61424;
constexpr unsigned kNoFile = 61232;

// Types username and password into the login dialog and presses OK.
void Login(QDialog& dialog, const QString& user, const QString& password) {
    auto& login = dynamic_cast<CPasswordDlg&>(dialog);
    login.UsernameBox()->setText(user);
    login.PasswordBox()->setText(password);
    login.accept();
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void FirstRunCreatesFileThroughTheWizardAndOpensIt();
    void RememberedFileGoesStraightToLogin();
    void WrongPasswordKeepsLoginOpenWithEmptyBox();
    void CancelledLoginReturnsToChoiceAndCancelNoKeepsIt();
    void LoginDialogNeverKeepsTheTypedPassword();
    void MissingConfirmedFileShowsNotice();
};

void StartupTest::FirstRunCreatesFileThroughTheWizardAndOpensIt() {
    CAppHarness h;
    const QString vault = h.dir.filePath(QStringLiteral("first"));
    QFile existing(h.dir.filePath(QStringLiteral("taken.tpx")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    CModalScript script;
    script.Add([](QDialog& dialog) {
        auto& choice = dynamic_cast<CStartupDlg&>(dialog);
        // A first run preselects "create"; the path box is off until "open" is chosen.
        if (!choice.CreateButton()->isChecked() || choice.PathBox()->isEnabled())
            return int(QDialog::Rejected);
        choice.accept();
        return choice.result();
    });
    script.Add([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<CCreationWizard&>(dialog);
        CCreateFilenamePropPage* page = wizard.FileNamePage();
        wizard.next();
        if (wizard.currentId() != CCreationWizard::kFileName)
            return int(QDialog::Rejected);
        // Empty, invalid and existing names keep the page.
        wizard.next();
        page->PathBox()->setText(h.dir.filePath(QStringLiteral("bad|name.tpx")));
        wizard.next();
        page->PathBox()->setText(h.dir.filePath(QStringLiteral("taken.tpx")));
        h.messages.Script({IDNO});
        wizard.next();
        if (wizard.currentId() != CCreationWizard::kFileName)
            return int(QDialog::Rejected);
        page->PathBox()->setText(vault);
        wizard.next();
        if (wizard.currentId() != CCreationWizard::kPassword ||
            !page->PathBox()->text().endsWith(".trx"))
            return int(QDialog::Rejected);
        CCreatePasswordPropPage* pw = wizard.PasswordPage();
        wizard.next(); // no username
        pw->UsernameBox()->setText(QStringLiteral("erin"));
        pw->PasswordBox()->setText(QStringLiteral("one"));
        pw->RetypeBox()->setText(QStringLiteral("two"));
        wizard.next(); // mismatch empties both boxes
        if (!pw->PasswordBox()->text().isEmpty() || !pw->RetypeBox()->text().isEmpty())
            return int(QDialog::Rejected);
        h.messages.Script({IDYES});
        wizard.next(); // empty password: Yes means "let me set one"
        if (wizard.currentId() != CCreationWizard::kPassword)
            return int(QDialog::Rejected);
        pw->PasswordBox()->setText(QStringLiteral("p\xC3\xA4ss"));
        pw->RetypeBox()->setText(QStringLiteral("p\xC3\xA4ss"));
        wizard.next();
        if (wizard.currentId() != CCreationWizard::kPreFill)
            return int(QDialog::Rejected);
        wizard.PreFillPage()->Tree()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        wizard.next();
        if (wizard.currentId() != CCreationWizard::kFinish || !wizard.IsCreated())
            return int(QDialog::Rejected);
        // The passwords are gone from the boxes once the file exists.
        if (!pw->PasswordBox()->text().isEmpty())
            return int(QDialog::Rejected);
        wizard.accept();
        return wizard.result();
    });

    CTresorixApp app(h.Options());
    QVERIFY(app.InitInstance({QStringLiteral("tresorix")}));
    QVERIFY(script.Done());
    QCOMPARE(script.Unexpected(), 0);
    // No login dialog between the wizard and the main window.
    QCOMPARE(script.Shown(), (std::vector<QString>{QStringLiteral("StartupDlg"),
                                                   QStringLiteral("CreationWizard")}));
    QCOMPARE(h.Count(kNoFile), 1);
    QCOMPARE(h.Count(kBadName), 1);
    QCOMPARE(h.Count(kExists), 1);
    QCOMPARE(h.Count(kNoUsername), 1);
    QCOMPARE(h.Count(kMismatch), 1);
    QCOMPARE(h.Count(kEmptyPassword), 1);
    QVERIFY(app.GetDocument()->IsAuthorised());
    QVERIFY(app.GetMainFrame() && app.GetMainFrame()->isVisible());
    QCOMPARE(QString::fromStdString(app.Settings().App_ConnectionString), vault + ".trx");
    QCOMPARE(app.Settings().App_SuccesOnOpen, 1);
    // Root, recycle bin and 13 of the 14 categories.
    TComPtr<ITreeItem> root = app.GetDocument()->GetNode(kRootFolderId);
    int children = 0;
    TComPtr<ITreeIterator> it = root->GetIterator(ITreeItem::kChildren);
    for (TComPtr<ITreeItem> c = it->First(); c; c = it->Next())
        ++children;
    QCOMPARE(children, 14);
    app.ExitInstance();
    QCOMPARE(h.store.GetProfileInt("Settings", "App_SuccesOnOpen", 0), 1);
}

void StartupTest::RememberedFileGoesStraightToLogin() {
    CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty())
        QSKIP("fixtures missing");
    h.store.WriteProfileString("Settings", "App_ConnectionString", vault.toStdString());
    h.store.WriteProfileInt("Settings", "App_SuccesOnOpen", 1);
    CModalScript script;
    script.Add([](QDialog& d) {
        Login(d, QStringLiteral("carol"), QStringLiteral("S3cret!pass"));
        return apptest::Finish(d);
    });
    CTresorixApp app(h.Options());
    QVERIFY(app.InitInstance({QStringLiteral("tresorix")}));
    QCOMPARE(script.Shown(), std::vector<QString>{QStringLiteral("PasswordDlg")});
    QVERIFY(app.GetDocument()->IsAuthorised());
    QCOMPARE(app.Settings().App_LastUsername, std::string("carol"));
}

void StartupTest::WrongPasswordKeepsLoginOpenWithEmptyBox() {
    CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty())
        QSKIP("fixtures missing");
    bool stayedOpen = false, boxEmptied = false;
    CModalScript script;
    script.Add([&](QDialog& d) {
        Login(d, QStringLiteral("carol"), QStringLiteral("wrong"));
        auto& login = dynamic_cast<CPasswordDlg&>(d);
        stayedOpen = d.isVisible();
        boxEmptied = login.PasswordBox()->text().isEmpty() && login.PasswordBox()->hasFocus();
        Login(d, QStringLiteral("carol"), QStringLiteral("S3cret!pass"));
        return apptest::Finish(d);
    });
    CTresorixApp app(h.Options());
    QVERIFY(app.InitInstance({QStringLiteral("tresorix"), vault}));
    QVERIFY(stayedOpen);
    QVERIFY(boxEmptied);
    QCOMPARE(h.Count(kLoginFailed), 1);
    QVERIFY(app.GetDocument()->IsAuthorised());
}

void StartupTest::CancelledLoginReturnsToChoiceAndCancelNoKeepsIt() {
    CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty())
        QSKIP("fixtures missing");
    h.store.WriteProfileString("Settings", "App_ConnectionString", vault.toStdString());
    h.store.WriteProfileInt("Settings", "App_SuccesOnOpen", 1);
    bool keptAfterNo = false;
    CModalScript script;
    script.Add([](QDialog& d) {
        d.reject();
        return apptest::Finish(d);
    });
    script.Add([&](QDialog& d) {
        h.messages.Script({IDNO});
        d.reject();
        keptAfterNo = d.isVisible();
        h.messages.Script({IDYES});
        d.reject();
        return apptest::Finish(d);
    });
    CTresorixApp app(h.Options());
    QVERIFY(!app.InitInstance({QStringLiteral("tresorix")}));
    QCOMPARE(script.Shown(),
             (std::vector<QString>{QStringLiteral("PasswordDlg"), QStringLiteral("StartupDlg")}));
    QVERIFY(keptAfterNo);
    QCOMPARE(h.Count(kSureToQuit), 2);
    QVERIFY(!app.GetMainFrame());
    app.ExitInstance();
    // Settings are written back even after an early end.
    QCOMPARE(h.store.GetProfileInt("Settings", "App_SuccesOnOpen", -1), 0);
}

void StartupTest::LoginDialogNeverKeepsTheTypedPassword() {
    CAppHarness h;
    std::vector<std::string> seenKeys;
    std::string seenPath;
    CPasswordDlg dialog;
    dialog.SetPath("/some/file.tpx");
    dialog.SetCheck(
        [&](const std::string& path, const std::string&, const std::vector<std::string>& keys) {
            seenPath = path;
            seenKeys = keys;
            return true;
        });
    dialog.show();
    dialog.UsernameBox()->setText(QStringLiteral("carol"));
    QTest::keyClicks(dialog.PasswordBox(), QStringLiteral("S3cret!pass"));
    dialog.accept();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // Only the key text left: the digest, never the text itself.
    QCOMPARE(seenPath, std::string("/some/file.tpx"));
    QVERIFY(!seenKeys.empty());
    for (const std::string& key : seenKeys) {
        QCOMPARE(key.size(), std::size_t(32));
        QVERIFY(key.find("S3cret") == std::string::npos);
    }
    QCOMPARE(dialog.GetKeyText(), seenKeys.front());
    QVERIFY(dialog.PasswordBox()->text().isEmpty());
    QVERIFY(!dialog.PasswordBox()->isUndoAvailable());
    QCOMPARE(TresorixSettings().App_LastUsername, std::string("carol"));

    // Cancelling wipes too.
    CPasswordDlg cancelled;
    cancelled.show();
    cancelled.PasswordBox()->setText(QStringLiteral("typed"));
    cancelled.reject();
    QVERIFY(cancelled.PasswordBox()->text().isEmpty());
    QVERIFY(cancelled.GetKeyText().empty());
}

void StartupTest::MissingConfirmedFileShowsNotice() {
    CAppHarness h;
    CModalScript script;
    script.Add([&](QDialog& d) {
        auto& choice = dynamic_cast<CStartupDlg&>(d);
        choice.OpenButton()->setChecked(true);
        if (!choice.PathBox()->isEnabled())
            return int(QDialog::Rejected);
        choice.PathBox()->setText(h.dir.filePath(QStringLiteral("gone.tpx")));
        choice.accept();
        return apptest::Finish(d);
    });
    script.Add([&](QDialog& d) {
        h.messages.Script({IDYES});
        d.reject();
        return apptest::Finish(d);
    });
    CTresorixApp app(h.Options());
    QVERIFY(!app.InitInstance({QStringLiteral("tresorix")}));
    QVERIFY(h.Shown(61336));
    QCOMPARE(app.Settings().App_StartupOptionsSelected, 2);
}

TX_APP_TEST_MAIN(StartupTest)
#include "StartupTest.moc"
