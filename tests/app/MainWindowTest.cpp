#include "AppTestSupport.h"

#include "app/AutoLogoutTray.h"
#include "app/FolderPropertiesDlg.h"
#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/PasswordDlg.h"
#include "app/PreviewPanels.h"
#include "app/RightFrame.h"
#include "app/TxListModel.h"
#include "app/TxListView.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "ui/KivSplitter.h"
#include "ui/PasswordEdit.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStandardItemModel>
#include <QTreeView>

#include <memory>

using apptest::CAppHarness;
using apptest::CModalScript;

namespace {

// The sample vault, logged in, with the main window shown.
struct CSampleApp {
    explicit CSampleApp(CAppHarness& harness, bool copy = true) : h(harness) {
        if (copy)
            vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
        else
            vault = h.dir.filePath(QStringLiteral("sample.tpx"));
    }
    bool Start() {
        if (vault.isEmpty())
            return false;
        script = std::make_unique<CModalScript>();
        script->Add([](QDialog& d) {
            auto& login = dynamic_cast<CPasswordDlg&>(d);
            login.UsernameBox()->setText(QStringLiteral("carol"));
            login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
            login.accept();
            return apptest::Finish(d);
        });
        app = std::make_unique<CTresorixApp>(h.Options());
        if (!app->InitInstance({QStringLiteral("tresorix"), vault}))
            return false;
        QCoreApplication::processEvents();
        return true;
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CMainTreeView& Tree() { return *Frame().Left()->Tree(); }
    CTxListView& List() { return *Frame().Right()->List(); }
    CTxDoc& Doc() { return *app->GetDocument(); }
    // Selects folder id in the tree, as a click does, and lets the refresh run.
    void Open(int id) {
        Tree().SelectFolder(id, true);
        QCoreApplication::processEvents();
    }
    std::vector<QString> Names() {
        std::vector<QString> names;
        for (int r = 0; r < List().Model().rowCount(); ++r)
            names.push_back(List().Model().Row(r).name);
        return names;
    }

    CAppHarness& h;
    QString vault;
    std::unique_ptr<CModalScript> script;
    std::unique_ptr<CTresorixApp> app;
};

std::vector<int> ChildIds(QStandardItem* item) {
    std::vector<int> ids;
    for (int r = 0; r < item->rowCount(); ++r)
        ids.push_back(item->child(r)->data(CMainTreeView::kIdRole).toInt());
    return ids;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void TreeShowsFoldersOnlyAndFollowsExpandedFlags();
    void SelectingAFolderFillsTheList();
    void SortingByEachColumnTiesByName();
    void PreviewShowsThePanelOfTheRecordType();
    void RenameRefusesEmptyNamesAndMakesNamesUnique();
    void DropOntoOwnDescendantIsRefused();
    void LayoutSurvivesARestart();
    void ColumnsStringOfWrongLengthIsIgnored();
    void LogoutEmptiesViewsAndLoginComesBack();
    void WindowIsNeverHiddenWithoutNotificationArea();
    void ContextMenusFollowTheFolder();
    void PanelCommandsSwitchTheLeftView();
};

void MainWindowTest::TreeShowsFoldersOnlyAndFollowsExpandedFlags() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QStandardItemModel* model = s.Tree().Model();
    QCOMPARE(model->rowCount(), 1);
    QStandardItem* root = model->item(0);
    QCOMPARE(root->text(), QStringLiteral("My Passwords"));
    // Children of the root in storage order: the bin and five folders, no records.
    QCOMPARE(ChildIds(root), (std::vector<int>{2, 3, 4, 5, 6, 7}));
    QVERIFY(s.Tree().isExpanded(root->index()));
    // "Business" (5) is stored collapsed; "Deleted" (2) expanded.
    QVERIFY(!s.Tree().isExpanded(s.Tree().ItemOf(5)->index()));
    QVERIFY(s.Tree().isExpanded(s.Tree().ItemOf(2)->index()));
    // Folders without sub-folders have no expand button.
    QVERIFY(!s.Tree().ItemOf(3)->hasChildren());
    // Expanding stores the flag.
    s.Tree().expand(s.Tree().ItemOf(5)->index());
    QVERIFY(s.Doc().GetNode(5)->IsExpanded());
    QCOMPARE(ChildIds(s.Tree().ItemOf(5)), std::vector<int>{8});
    s.Tree().collapse(s.Tree().ItemOf(5)->index());
    QVERIFY(!s.Doc().GetNode(5)->IsExpanded());
}

void MainWindowTest::SelectingAFolderFillsTheList() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(7);
    QCOMPARE(s.Doc().GetCurrentFolder(), 7);
    QCOMPARE(s.Names(),
             (std::vector<QString>{QStringLiteral("Example docs"), QStringLiteral("Router admin"),
                                   QStringLiteral("Wi-Fi")}));
    // Folder 5 holds a record and a sub-folder: the folder shows only when asked for.
    s.Open(5);
    QCOMPARE(s.Names(), std::vector<QString>{QStringLiteral("Work VPN")});
    s.app->Settings().View_ShowFoldersInListView = 1;
    s.List().RefillFolder();
    QCOMPARE(s.List().Model().rowCount(), 2);
    QCOMPARE(s.Frame().Right()->IsRefreshPending(), true);
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), QStringLiteral("Business"));
    // Icons come from the records' image index.
    QVERIFY(!s.List()
                 .Model()
                 .data(s.List().Model().index(0, 0), Qt::DecorationRole)
                 .value<QIcon>()
                 .isNull());
}

void MainWindowTest::SortingByEachColumnTiesByName() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(6); // Sparkasse Online, Shopping list, Passport scan
    CTxListModel& model = s.List().Model();
    QCOMPARE(s.Names(),
             (std::vector<QString>{QStringLiteral("Passport scan"), QStringLiteral("Shopping list"),
                                   QStringLiteral("Sparkasse Online")}));
    s.List().OnHeaderClicked(CTxListModel::kName);
    QCOMPARE(model.SortOrder(), Qt::DescendingOrder);
    QCOMPARE(s.Names().front(), QStringLiteral("Sparkasse Online"));
    for (int column : {CTxListModel::kComments, CTxListModel::kModified, CTxListModel::kCreated}) {
        s.List().OnHeaderClicked(column);
        QCOMPARE(model.SortColumn(), column);
        QCOMPARE(model.SortOrder(), Qt::AscendingOrder);
        for (int r = 0; r + 1 < model.rowCount(); ++r)
            QVERIFY(!model.Less(model.Row(r + 1), model.Row(r)));
    }
    // Equal keys fall back to the names, in the same direction.
    CTxListModel::ROW a, b;
    a.name = QStringLiteral("alpha");
    b.name = QStringLiteral("Beta");
    model.sort(CTxListModel::kComments, Qt::AscendingOrder);
    QVERIFY(model.Less(a, b));
    model.sort(CTxListModel::kModified, Qt::DescendingOrder);
    QVERIFY(model.Less(b, a));
    b.modified = 5;
    QVERIFY(model.Less(b, a));
    model.sort(CTxListModel::kModified, Qt::AscendingOrder);
    QVERIFY(model.Less(a, b));
    QCOMPARE(CTxListModel::FlatComments(QStringLiteral("a\r\nb\tc")), QStringLiteral("a  b c"));
}

void MainWindowTest::PreviewShowsThePanelOfTheRecordType() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    struct CASE {
        int folder, id;
        CPreviewContainer::PANEL panel;
    } cases[] = {{3, 11, CPreviewContainer::kPassword},
                 {4, 19, CPreviewContainer::kCreditCard},
                 {6, 24, CPreviewContainer::kFile},
                 {6, 21, CPreviewContainer::kNote},
                 {7, 17, CPreviewContainer::kUrl}};
    for (const CASE& c : cases) {
        s.Open(c.folder);
        s.List().SelectId(c.id);
        s.Frame().Right()->RefreshHeaderAndPreview();
        QCOMPARE(s.Frame().Right()->Preview()->Current(), c.panel);
    }
    s.Open(3);
    s.List().SelectId(11);
    s.Frame().Right()->RefreshHeaderAndPreview();
    auto* panel = static_cast<CPasswordPreview*>(
        s.Frame().Right()->Preview()->Panel(CPreviewContainer::kPassword));
    QVERIFY(!panel->PasswordBox()->IsShowingPassword());
    QVERIFY(!panel->PasswordBox()->text().isEmpty());
    // Two selected rows: nothing is previewed, and the secret leaves the hidden panel.
    s.List().SelectAll();
    s.Frame().Right()->RefreshHeaderAndPreview();
    if (s.List().SelectedIds().size() > 1) {
        QCOMPARE(s.Frame().Right()->Preview()->Current(), CPreviewContainer::kNone);
        QVERIFY(panel->PasswordBox()->text().isEmpty());
    }
}

void MainWindowTest::RenameRefusesEmptyNamesAndMakesNamesUnique() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(!s.Tree().RenameFolder(3, QString()));
    QCOMPARE(s.Tree().ItemOf(3)->text(), QStringLiteral("Email Accounts"));
    QVERIFY(s.Tree().RenameFolder(3, QStringLiteral("private")));
    const std::string stored = s.Doc().GetRecord(3)->GetName();
    QVERIFY(stored != "private"); // "Private" (6) is a sibling
    QCOMPARE(s.Tree().ItemOf(3)->text(), QString::fromStdString(stored));
    // Renaming through the label goes the same way.
    s.Tree().ItemOf(4)->setText(QStringLiteral("Cards"));
    QCOMPARE(s.Doc().GetRecord(4)->GetName(), std::string("Cards"));
    s.Tree().ItemOf(4)->setText(QString());
    QCOMPARE(s.Tree().ItemOf(4)->text(), QStringLiteral("Cards"));
}

void MainWindowTest::DropOntoOwnDescendantIsRefused() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    // 5 Business > 8 Projekte > 9 Café Crème
    QVERIFY(!s.Tree().CanDropIds({5}, 9));
    QVERIFY(!s.Tree().DropIds({5}, 8));
    QVERIFY(!s.Tree().DropIds({5}, 5));
    QCOMPARE(s.Doc().GetNode(5)->GetParentID(), 1);
    // Onto a record is refused as well; onto another folder it moves.
    s.Open(7);
    QVERIFY(!s.List().CanDropIds({8}, 14));
    QVERIFY(s.Tree().DropIds({8}, 7));
    QCOMPARE(s.Doc().GetNode(8)->GetParentID(), 7);
    QVERIFY(s.Tree().ItemOf(7)->hasChildren());
    // Empty list space means the folder shown now.
    s.Open(3);
    QVERIFY(s.List().DropIds({12}, 0));
    QCOMPARE(s.Doc().GetNode(12)->GetParentID(), 3);
}

void MainWindowTest::LayoutSurvivesARestart() {
    CAppHarness h;
    {
        CSampleApp s(h);
        if (s.vault.isEmpty())
            QSKIP("fixtures missing");
        QVERIFY(s.Start());
        s.Frame().resize(1000, 700);
        QCoreApplication::processEvents();
        s.Frame().Splitter()->SetFirstPaneSize(300);
        s.Frame().Right()->Splitter()->SetFirstPaneSize(200);
        s.List().Details()->header()->resizeSection(1, 123);
        s.List().OnHeaderClicked(CTxListModel::kModified);
        s.List().SetViewStyle(CTxListView::kList);
        QCoreApplication::processEvents();
        s.Frame().close();
        s.app->ExitInstance();
    }
    QCOMPARE(h.store.GetProfileInt("Settings", "WndM_SplitterWidth", 0), 300);
    QCOMPARE(h.store.GetProfileInt("Settings", "WndM_SplitterHeight", 0), 200);
    CSampleApp again(h, false);
    QVERIFY(again.Start());
    QCoreApplication::processEvents();
    QCOMPARE(again.List().GetViewStyle(), int(CTxListView::kList));
    QCOMPARE(again.List().Details()->header()->sectionSize(1), 123);
    QCOMPARE(again.List().Model().SortColumn(), int(CTxListModel::kModified));
    QCOMPARE(again.Frame().Splitter()->FirstPaneSize(), 300);
    QCOMPARE(again.Frame().Right()->Splitter()->FirstPaneSize(), 200);
    QCOMPARE(again.Frame().size(), QSize(1000, 700));
}

void MainWindowTest::ColumnsStringOfWrongLengthIsIgnored() {
    CAppHarness h;
    h.store.WriteProfileString("MainListView", "Columns",
                               "0050 0060 0070 0080 0003 0002 0001 0000 0001 0000 ");
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QHeaderView* header = s.List().Details()->header();
    QCOMPARE(header->sectionSize(0), 250);
    QCOMPARE(header->sectionSize(2), 100);
    QCOMPARE(header->logicalIndex(0), 0);
    QCOMPARE(s.List().Model().SortColumn(), int(CTxListModel::kName));
}

void MainWindowTest::LogoutEmptiesViewsAndLoginComesBack() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.app->Settings().View_AdvancedCaption = 1;
    s.Frame().UpdateTitle();
    QCOMPARE(s.Frame().windowTitle(), QStringLiteral("Tresorix Pro - ") + s.vault);
    s.Open(7);
    QVERIFY(s.List().Model().rowCount() > 0);
    QVERIFY(s.Frame().Action(32817)->isEnabled());
    QVERIFY(!s.Frame().Action(32818)->isEnabled());
    s.Frame().OnCommand(32817);
    QCoreApplication::processEvents();
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(s.Frame().isVisible());
    QCOMPARE(s.List().Model().rowCount(), 0);
    QCOMPARE(s.Tree().Model()->rowCount(), 1);
    QCOMPARE(s.Tree().Model()->item(0)->text(), QStringLiteral("Please login..."));
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), QStringLiteral("You are not logged in..."));
    QCOMPARE(s.Frame().windowTitle(), QStringLiteral("Tresorix Pro - You are not logged in..."));
    QVERIFY(!s.Frame().Action(32817)->isEnabled());
    QVERIFY(s.Frame().Action(32818)->isEnabled());

    CModalScript script;
    script.Add([](QDialog& d) {
        auto& login = dynamic_cast<CPasswordDlg&>(d);
        login.UsernameBox()->setText(QStringLiteral("carol"));
        login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
        login.accept();
        return apptest::Finish(d);
    });
    s.Frame().OnCommand(32818);
    QCoreApplication::processEvents();
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(s.Tree().Model()->item(0)->text(), QStringLiteral("My Passwords"));
    s.app->Settings().View_AdvancedCaption = 0;
    s.Frame().UpdateTitle();
    QCOMPARE(s.Frame().windowTitle(), QStringLiteral("Tresorix Pro"));
}

void MainWindowTest::WindowIsNeverHiddenWithoutNotificationArea() {
    CAppHarness h;
    h.store.WriteProfileInt("Settings", "Tray_HideMinimize", 1);
    h.store.WriteProfileInt("Settings", "Tray_HideClose", 1);
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(!s.Frame().Tray().HideToTray(CAutoLogoutTray::kSysMinimize));
    QVERIFY(s.Frame().isVisible());
    s.Frame().showMinimized();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QVERIFY(!s.Frame().isHidden());
    QVERIFY(!s.Frame().IsHiddenToTray());
    // Close really closes (after logging out) instead of hiding.
    s.Frame().close();
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(!s.Frame().IsHiddenToTray());
}

void MainWindowTest::ContextMenusFollowTheFolder() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    auto has = [](QMenu* menu, int id) {
        for (QAction* a : menu->actions())
            if (a->data().toInt() == id)
                return true;
        return false;
    };
    std::unique_ptr<QMenu> root(s.Frame().BuildFolderMenu(1));
    QVERIFY(!has(root.get(), 32779) && !has(root.get(), 32799) && !has(root.get(), 32780));
    std::unique_ptr<QMenu> bin(s.Frame().BuildFolderMenu(2));
    QVERIFY(!has(bin.get(), 32779) && has(bin.get(), 32799));
    QCOMPARE(bin->defaultAction()->data().toInt(), 32799);
    std::unique_ptr<QMenu> folder(s.Frame().BuildFolderMenu(3));
    QVERIFY(has(folder.get(), 32779) && !has(folder.get(), 32799));
    QCOMPARE(folder->defaultAction()->data().toInt(), 32806);
    // Properties shows the selected folder's record.
    s.Open(5);
    QVERIFY(s.Frame().Action(32806)->isEnabled());
    CModalScript properties;
    QString shownName;
    properties.Add([&shownName](QDialog& d) {
        shownName = dynamic_cast<CFolderPropertiesDlg&>(d).NameBox()->text();
        d.accept();
        return apptest::Finish(d);
    });
    s.Frame().OnCommand(32806);
    QVERIFY(properties.Done());
    QCOMPARE(shownName, QStringLiteral("Business"));
    // The new-item commands need a current folder and a login.
    s.Open(3);
    s.Open(4);
    for (int id : {32781, 32778, 32782, 32822, 32834, 32816})
        QVERIFY(s.Frame().Action(id)->isEnabled());
    QVERIFY(s.Frame().Action(32774)->isEnabled());
    s.Frame().OnCommand(32817);
    QCoreApplication::processEvents();
    for (int id : {32781, 32778, 32782, 32822, 32834, 32816, 32774, 32775, 32836})
        QVERIFY2(!s.Frame().Action(id)->isEnabled(), QByteArray::number(id));
    // Help, the tip of the day and the database management need no login.
    for (int id : {57667, 32800, 32797})
        QVERIFY2(s.Frame().Action(id)->isEnabled(), QByteArray::number(id));
}

void MainWindowTest::PanelCommandsSwitchTheLeftView() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    struct CASE {
        int command, view;
        bool viewStyles;
    } cases[] = {{32772, CLeftFrame::kSearch, true},
                 {32773, CLeftFrame::kFavorites, false},
                 {32771, CLeftFrame::kTree, true}};
    for (const CASE& c : cases) {
        s.Frame().OnCommand(c.command);
        QCOMPARE(s.Frame().Left()->CurrentView(), c.view);
        for (int id : {32771, 32772, 32773})
            QCOMPARE(s.Frame().Action(id)->isChecked(), id == c.command);
        QCOMPARE(s.Frame().Action(32810)->isEnabled(), c.viewStyles);
    }
    // The search keys reach the command.
    const QList<QKeySequence> keys = s.Frame().Action(32772)->shortcuts();
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_E),
                                    QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::Key_F3)})
        QVERIFY(keys.contains(key));
}

TX_APP_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
