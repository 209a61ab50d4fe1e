#include "AppTestSupport.h"

#include "app/MainFrame.h"
#include "app/PasswordDlg.h"
#include "app/StartupDlg.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "ui/PasswordEdit.h"

#include <QLineEdit>
#include <QRadioButton>

using apptest::CAppHarness;
using apptest::CModalScript;

namespace {

constexpr unsigned kSureToQuit = 61223;
constexpr unsigned kFileNotExists = 61336;

int LoginAsCarol(QDialog& d) {
    auto& login = dynamic_cast<CPasswordDlg&>(d);
    login.UsernameBox()->setText(QStringLiteral("carol"));
    login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
    login.accept();
    return apptest::Finish(d);
}

// Chooses "open" with path on the choice dialog and presses OK.
int OpenFromChoice(QDialog& d, const QString& path) {
    auto& choice = dynamic_cast<CStartupDlg&>(d);
    choice.OpenButton()->setChecked(true);
    choice.PathBox()->setText(path);
    choice.accept();
    return apptest::Finish(d);
}

} // namespace

// Which dialog comes first at start-up, and how the choice dialog answers Cancel.
class StartChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void RememberedSuccessGoesToLoginBeforeAnyOtherDialog();
    void RememberedFailureShowsTheChoiceWithOpenPreselected();
    void VanishedRememberedFileFallsBackToTheChoiceSilently();
    void CancelThenNoKeepsTheChoiceAndItStillWorks();
    void CancelThenYesEndsWithoutAMainWindow();
    void MoreMenuCommandsReturnToTheChoice();
};

void StartChoiceTest::RememberedSuccessGoesToLoginBeforeAnyOtherDialog() {
    CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty())
        QSKIP("fixtures missing");
    h.store.WriteProfileString("Settings", "App_ConnectionString", vault.toStdString());
    h.store.WriteProfileInt("Settings", "App_SuccesOnOpen", 1);
    // A stored "create" choice must not win over the remembered success.
    h.store.WriteProfileInt("Settings", "App_StartupOptionsSelected", 1);
    bool mainWindowYet = true;
    QString checkedPath;
    CTresorixApp app(h.Options());
    CModalScript script;
    script.Add([&](QDialog& d) {
        mainWindowYet = app.GetMainFrame() != nullptr;
        checkedPath = QString::fromStdString(dynamic_cast<CPasswordDlg&>(d).GetPath());
        return LoginAsCarol(d);
    });
    QVERIFY(app.InitInstance({QStringLiteral("tresorix")}));
    QCOMPARE(script.Shown(), std::vector<QString>{QStringLiteral("PasswordDlg")});
    QCOMPARE(script.Unexpected(), 0);
    QVERIFY(!mainWindowYet);
    QCOMPARE(checkedPath, vault);
    QVERIFY(app.GetMainFrame() && app.GetMainFrame()->isVisible());
    app.ExitInstance();
    QCOMPARE(h.store.GetProfileInt("Settings", "App_SuccesOnOpen", 0), 1);
    QCOMPARE(
        QString::fromStdString(h.store.GetProfileString("Settings", "App_ConnectionString", "")),
        vault);
}

void StartChoiceTest::RememberedFailureShowsTheChoiceWithOpenPreselected() {
    CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty())
        QSKIP("fixtures missing");
    h.store.WriteProfileString("Settings", "App_ConnectionString", vault.toStdString());
    h.store.WriteProfileString("Settings", "App_ExistedDatafile", vault.toStdString());
    h.store.WriteProfileInt("Settings", "App_SuccesOnOpen", 0);
    h.store.WriteProfileInt("Settings", "App_StartupOptionsSelected", 2);
    bool openPreselected = false;
    QString shownPath;
    CModalScript script;
    script.Add([&](QDialog& d) {
        auto& choice = dynamic_cast<CStartupDlg&>(d);
        openPreselected = choice.OpenButton()->isChecked() && choice.PathBox()->isEnabled();
        shownPath = choice.PathBox()->text();
        choice.accept();
        return apptest::Finish(d);
    });
    script.Add(LoginAsCarol);
    CTresorixApp app(h.Options());
    QVERIFY(app.InitInstance({QStringLiteral("tresorix")}));
    QCOMPARE(script.Shown(),
             (std::vector<QString>{QStringLiteral("StartupDlg"), QStringLiteral("PasswordDlg")}));
    QVERIFY(openPreselected);
    QCOMPARE(shownPath, vault);
    QCOMPARE(app.Settings().App_SuccesOnOpen, 1);
}

void StartChoiceTest::VanishedRememberedFileFallsBackToTheChoiceSilently() {
    CAppHarness h;
    const QString gone = h.dir.filePath(QStringLiteral("gone.tpx"));
    h.store.WriteProfileString("Settings", "App_ConnectionString", gone.toStdString());
    h.store.WriteProfileInt("Settings", "App_SuccesOnOpen", 1);
    CModalScript script;
    script.Add([&](QDialog& d) {
        h.messages.Script({IDYES});
        d.reject();
        return apptest::Finish(d);
    });
    CTresorixApp app(h.Options());
    QVERIFY(!app.InitInstance({QStringLiteral("tresorix")}));
    QCOMPARE(script.Shown(), std::vector<QString>{QStringLiteral("StartupDlg")});
    QVERIFY(!h.Shown(kFileNotExists));
    QVERIFY(!app.GetMainFrame());
    app.ExitInstance();
    QCOMPARE(h.store.GetProfileInt("Settings", "App_SuccesOnOpen", -1), 0);
}

void StartChoiceTest::CancelThenNoKeepsTheChoiceAndItStillWorks() {
    CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty())
        QSKIP("fixtures missing");
    bool keptOpen = false, stillResponds = false;
    CModalScript script;
    script.Add([&](QDialog& d) {
        auto& choice = dynamic_cast<CStartupDlg&>(d);
        for (int i = 0; i < 2; ++i) {
            h.messages.Script({IDNO});
            d.reject();
        }
        keptOpen = d.isVisible() && apptest::Finish(d) == -1;
        // The dialog is still usable: the path box follows the radio buttons.
        choice.OpenButton()->setChecked(true);
        stillResponds = choice.PathBox()->isEnabled();
        return OpenFromChoice(d, vault);
    });
    script.Add(LoginAsCarol);
    CTresorixApp app(h.Options());
    QVERIFY(app.InitInstance({QStringLiteral("tresorix")}));
    QVERIFY(keptOpen);
    QVERIFY(stillResponds);
    QCOMPARE(h.Count(kSureToQuit), 2);
    QVERIFY(app.GetDocument()->IsAuthorised());
    QCOMPARE(app.Settings().App_StartupOptionsSelected, 2);
    QCOMPARE(QString::fromStdString(app.Settings().App_ConnectionString), vault);
}

void StartChoiceTest::CancelThenYesEndsWithoutAMainWindow() {
    CAppHarness h;
    h.store.WriteProfileInt("Settings", "App_StartupOptionsSelected", 1);
    CModalScript script;
    script.Add([&](QDialog& d) {
        h.messages.Script({IDYES});
        d.reject();
        return apptest::Finish(d);
    });
    CTresorixApp app(h.Options());
    QVERIFY(!app.InitInstance({QStringLiteral("tresorix")}));
    QCOMPARE(script.Shown(), std::vector<QString>{QStringLiteral("StartupDlg")});
    QCOMPARE(h.Count(kSureToQuit), 1);
    QVERIFY(!app.GetMainFrame());
    QVERIFY(!app.GetDocument()->IsAuthorised());
    app.ExitInstance();
    // The settings are written back even so.
    QCOMPARE(h.store.GetProfileInt("Settings", "App_StartupOptionsSelected", 0), 1);
    QCOMPARE(h.store.GetProfileInt("Settings", "App_SuccesOnOpen", -1), 0);
}

void StartChoiceTest::MoreMenuCommandsReturnToTheChoice() {
    for (int command : {32808, 32809}) {
        CAppHarness h;
        const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
        if (vault.isEmpty())
            QSKIP("fixtures missing");
        h.store.WriteProfileString("Settings", "App_ConnectionString", vault.toStdString());
        h.store.WriteProfileInt("Settings", "App_SuccesOnOpen", 1);
        CModalScript script;
        script.Add([command](QDialog& d) {
            dynamic_cast<CPasswordDlg&>(d).OnMoreCommand(command);
            return apptest::Finish(d);
        });
        script.Add([&](QDialog& d) { return OpenFromChoice(d, vault); });
        script.Add(LoginAsCarol);
        CTresorixApp app(h.Options());
        QVERIFY(app.InitInstance({QStringLiteral("tresorix")}));
        QCOMPARE(script.Shown(),
                 (std::vector<QString>{QStringLiteral("PasswordDlg"), QStringLiteral("StartupDlg"),
                                       QStringLiteral("PasswordDlg")}));
        QCOMPARE(script.Unexpected(), 0);
        QVERIFY(app.GetDocument()->IsAuthorised());
    }
}

TX_APP_TEST_MAIN(StartChoiceTest)
#include "StartChoiceTest.moc"
