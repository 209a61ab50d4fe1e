#include "SampleApp.h"

#include "app/Commands.h"
#include "app/FolderTree.h"
#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/MoveToFolderDlg.h"
#include "app/NewFolderDlg.h"
#include "app/PasswordDlg.h"
#include "app/RightFrame.h"
#include "app/TxListModel.h"
#include "app/TxListView.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItem>

#include <algorithm>
#include <memory>

using apptest::CAppHarness;
using apptest::CModalScript;
using apptest::CSampleApp;

namespace {

bool Selectable(CMoveToFolderDlg& dialog, int id) {
    dialog.Tree()->Select(id);
    return dialog.OkButton()->isEnabled();
}

} // namespace

class FolderCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void MoveToRefusesTheFolderItselfAndItsDescendants();
    void MoveToCancelAndRootStayPut();
    void NewFolderAsksAgainForAnEmptyNameAndTakesAnotherParent();
    void EmptyRecycleBinAsksFirst();
    void DeleteAndDuplicateActOnTheListSelection();
    void CommandsFollowTheLoginAndTheSelection();
};

void FolderCommandsTest::MoveToRefusesTheFolderItselfAndItsDescendants() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(5); // Business > Projekte (8) > Café Crème (9)
    QVERIFY(s.Enabled(cmd::kMoveTo));
    bool checked = false;
    s.script->Add([&](QDialog& d) {
        auto& picker = dynamic_cast<CMoveToFolderDlg&>(d);
        checked = picker.Tree()->SelectedId() == 5 && !picker.OkButton()->isEnabled() &&
                  !Selectable(picker, 8) && !Selectable(picker, 9) && Selectable(picker, 1) &&
                  Selectable(picker, 7);
        // A refused folder is not accepted even if OK is forced.
        picker.Tree()->Select(9);
        picker.accept();
        if (picker.result() == QDialog::Accepted)
            checked = false;
        picker.Tree()->Select(7);
        picker.accept();
        return apptest::Finish(d);
    });
    s.Frame().OnCommand(cmd::kMoveTo);
    QVERIFY(checked);
    QCOMPARE(s.script->Unexpected(), 0);
    QCOMPARE(s.Parent(5), 7);
    QCOMPARE(s.Parent(8), 5);
    QVERIFY(s.Tree().ItemOf(5) != nullptr);
}

void FolderCommandsTest::MoveToCancelAndRootStayPut() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(7);
    QVERIFY(s.SelectRecord(14));
    s.script->Add([](QDialog& d) {
        d.reject();
        return apptest::Finish(d);
    });
    s.Frame().OnCommand(cmd::kMoveTo);
    QCOMPARE(s.Parent(14), 7);
    // A record moves into any folder, including the recycle bin.
    s.script->Add([](QDialog& d) {
        auto& picker = dynamic_cast<CMoveToFolderDlg&>(d);
        picker.Tree()->Select(2);
        picker.accept();
        return apptest::Finish(d);
    });
    QVERIFY(s.SelectRecord(14));
    s.Frame().OnCommand(cmd::kMoveTo);
    QCOMPARE(s.Parent(14), 2);
    QVERIFY(s.script->Done());
    // The root and the recycle bin cannot be moved: no dialog at all.
    s.FocusTree();
    s.Open(1);
    QVERIFY(!s.Enabled(cmd::kMoveTo));
    s.Frame().OnCommand(cmd::kMoveTo);
    s.Open(2);
    QVERIFY(!s.Enabled(cmd::kMoveTo));
    QCOMPARE(s.script->Unexpected(), 0);
}

void FolderCommandsTest::NewFolderAsksAgainForAnEmptyNameAndTakesAnotherParent() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(3);
    int preselected = 0;
    s.script->Add([&](QDialog& d) {
        auto& dialog = dynamic_cast<CNewFolderDlg&>(d);
        preselected = dialog.Tree()->SelectedId();
        dialog.NameBox()->setText(QStringLiteral("   "));
        dialog.accept();
        return apptest::Finish(d);
    });
    s.script->Add([](QDialog& d) {
        auto& dialog = dynamic_cast<CNewFolderDlg&>(d);
        dialog.NameBox()->setText(QStringLiteral("Email Accounts"));
        dialog.Tree()->Select(1);
        dialog.accept();
        return apptest::Finish(d);
    });
    s.Frame().OnCommand(cmd::kNewFolder);
    QCOMPARE(preselected, 3);
    QVERIFY(s.h.Shown(62708)); // "You should type a folder name"
    QVERIFY(s.script->Done());
    // A sibling of the same name is allowed: the name is kept as typed.
    int created = 0;
    TComPtr<ITreeIterator> it = s.Doc().GetNode(1)->GetIterator(ITreeItem::kChildren);
    for (TComPtr<ITreeItem> c = it->First(); c; c = it->Next())
        if (c->GetID() != 3 && s.Doc().GetRecord(c->GetID())->GetName() == "Email Accounts")
            created = c->GetID();
    QVERIFY(created > 0);
    QVERIFY(s.Doc().GetRecord(created)->IsFolder());
    QVERIFY(s.Tree().ItemOf(created) != nullptr);
    // Cancel creates nothing.
    s.script->Add([](QDialog& d) {
        d.reject();
        return apptest::Finish(d);
    });
    const int before = s.Tree().ItemOf(1)->rowCount();
    s.Frame().OnCommand(cmd::kNewFolder);
    QCOMPARE(s.Tree().ItemOf(1)->rowCount(), before);
}

void FolderCommandsTest::EmptyRecycleBinAsksFirst() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(s.Enabled(cmd::kEmptyRecycleBin));
    s.h.messages.Script({IDNO});
    s.Frame().OnCommand(cmd::kEmptyRecycleBin);
    QVERIFY(s.h.Shown(61326));
    QVERIFY(s.Doc().GetNode(16) != nullptr && s.Doc().GetRecord(23));
    QVERIFY(!s.Doc().IsRecycleBinEmpty());
    s.h.messages.Script({IDYES});
    s.Frame().OnCommand(cmd::kEmptyRecycleBin);
    QVERIFY(s.Doc().IsRecycleBinEmpty());
    QVERIFY(!s.Doc().GetRecord(23)); // inside "Old stuff"
    QVERIFY(!s.Enabled(cmd::kEmptyRecycleBin));
}

void FolderCommandsTest::DeleteAndDuplicateActOnTheListSelection() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(7);
    QVERIFY(s.SelectRecord(14));
    QVERIFY(s.Enabled(cmd::kDuplicate));
    s.Frame().OnCommand(cmd::kDuplicate);
    QVERIFY(s.SelectRecord(14));
    s.Frame().OnCommand(cmd::kDuplicate);
    std::vector<std::string> names;
    TComPtr<ITreeIterator> it = s.Doc().GetNode(7)->GetIterator(ITreeItem::kChildren);
    for (TComPtr<ITreeItem> c = it->First(); c; c = it->Next())
        names.push_back(s.Doc().GetRecord(c->GetID())->GetName());
    QVERIFY(std::count(names.begin(), names.end(), "Router admin (2)") == 1);
    QVERIFY(std::count(names.begin(), names.end(), "Router admin (3)") == 1);
    QVERIFY(s.SelectRecord(14));
    QVERIFY(s.Enabled(cmd::kDelete));
    s.Frame().OnCommand(cmd::kDelete);
    QCOMPARE(s.Parent(14), 2);
    QVERIFY(s.h.messages.Messages().empty()); // deleting asks nothing
}

void FolderCommandsTest::CommandsFollowTheLoginAndTheSelection() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const std::vector<int> always = {
        cmd::kShowTree,          cmd::kShowFavorites, cmd::kShowSearch,
        cmd::kOptions,           cmd::kLayout,        cmd::kExit,
        cmd::kPasswordGenerator, cmd::kHelpTopics,    cmd::kDatabaseManagement,
        cmd::kClearClipboard};
    const std::vector<int> folderOnly = {
        cmd::kLogout,        cmd::kDelete,           cmd::kMoveTo,    cmd::kEmptyRecycleBin,
        cmd::kRefresh,       cmd::kBackupOptions,    cmd::kNewFolder, cmd::kNewPassword,
        cmd::kNewCreditCard, cmd::kNewNote,          cmd::kNewUrl,    cmd::kAddFile,
        cmd::kRename,        cmd::kFolderProperties, cmd::kSelectAll, cmd::kImportCsv,
        cmd::kExport};
    const std::vector<int> recordOnly = {cmd::kDuplicate, cmd::kAddToFavorites, cmd::kOpenItem};
    auto expect = [&](const std::vector<int>& ids, bool on) {
        for (int id : ids)
            if (s.Enabled(id) != on)
                return id;
        return 0;
    };

    s.Open(3);
    s.FocusTree();
    QCOMPARE(expect(always, true), 0);
    QCOMPARE(expect(folderOnly, true), 0);
    QCOMPARE(expect(recordOnly, false), 0);
    QVERIFY(!s.Enabled(cmd::kLogin));
    QVERIFY(s.SelectRecord(11));
    QCOMPARE(expect(recordOnly, true), 0);
    // The root folder can be neither deleted nor moved.
    s.Open(1);
    s.FocusTree();
    QVERIFY(!s.Enabled(cmd::kDelete));
    QVERIFY(!s.Enabled(cmd::kMoveTo));

    s.Frame().OnCommand(cmd::kLogout);
    QCoreApplication::processEvents();
    QVERIFY(!s.Doc().IsAuthorised());
    QCOMPARE(expect(always, true), 0);
    QCOMPARE(expect(folderOnly, false), 0);
    QCOMPARE(expect(recordOnly, false), 0);
    QVERIFY(s.Enabled(cmd::kLogin));
    QVERIFY(!s.Enabled(cmd::kBack));
    QVERIFY(!s.Enabled(cmd::kForward));
}

TX_APP_TEST_MAIN(FolderCommandsTest)
#include "FolderCommandsTest.moc"
