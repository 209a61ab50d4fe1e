#include "SampleSession.h"

#include "model/Interfaces.h"
#include "platform/TresorixSettings.h"

#include <QHeaderView>
#include <QStandardItem>
#include <QTreeView>

#include <string>

using apptest::CAppHarness;
using apptest::CSampleSession;

namespace {

constexpr std::uint64_t kBaseTime = 133565229000000000ULL; // spring 2024
constexpr std::uint64_t kSecond = 10000000ULL;

struct RECORD {
    const char* name;
    const char* comments;
    int created; // seconds after kBaseTime
};

// Names differ in case so that a case-sensitive comparison shows; comments and creation times
// tie in pairs so that the name tie-break shows. Storing a record stamps its modification
// time, so those follow the order below.
constexpr RECORD kRecords[] = {
    {"Delta", "same", 10},
    {"alpha", "same", 30},
    {"charlie", "", 20},
    {"Bravo", "zulu", 20},
};

// A new folder below the root holding kRecords; the ids in kRecords order.
int MakeSortFolder(CTxDoc& doc, std::vector<int>& ids) {
    const int folder = doc.CreateNewObject(CLSID_Folder, kRootFolderId, "Sorting");
    for (const RECORD& r : kRecords) {
        const int id = doc.CreateNewObject(CLSID_PasswordItem, folder, r.name);
        TComPtr<ICommonProperties> record = doc.GetRecord(id);
        if (!record)
            return 0;
        record->SetComments(r.comments);
        record->SetCreated(kBaseTime + std::uint64_t(r.created) * kSecond);
        doc.GetNode(id)->SetData(record.Get());
        ids.push_back(id);
    }
    doc.Refresh();
    QCoreApplication::processEvents();
    return folder;
}

std::vector<QString> Names(CSampleSession& s) {
    std::vector<QString> names;
    for (int r = 0; r < s.Model().rowCount(); ++r)
        names.push_back(s.Model().Row(r).name);
    return names;
}

std::vector<QString> Q(std::initializer_list<const char*> names) {
    std::vector<QString> out;
    for (const char* n : names)
        out.push_back(QString::fromUtf8(n));
    return out;
}

bool Expanded(CSampleSession& s, int id) {
    QStandardItem* item = s.Tree().ItemOf(id);
    return item && s.Tree().isExpanded(item->index());
}

} // namespace

// The folder tree's expanded state, and what the list shows for a folder and in which order.
class FolderListTest : public QObject {
    Q_OBJECT

private slots:
    void ExpandingAFolderExpandsItsStoredExpandedSubFolders();
    void ExpandedFlagsAreStoredInTheFileAndCollapseTouchesOnlyItsNode();
    void FoldersJoinTheListOnlyWithTheSetting();
    void EachColumnSortsBothWaysWithNameTieBreak();
    void HeaderClicksToggleAndTheSortSurvivesRefills();
};

void FolderListTest::ExpandingAFolderExpandsItsStoredExpandedSubFolders() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    // Deleted (2) is stored expanded, so its sub-folder is on show from the start.
    QVERIFY(Expanded(s, 2));
    QVERIFY(s.Tree().ItemOf(10));
    // Business (5) is stored collapsed but has a sub-folder: it offers the expand button.
    QVERIFY(!Expanded(s, 5));
    QVERIFY(s.Tree().ItemOf(5)->hasChildren());
    s.Tree().expand(s.Tree().ItemOf(5)->index());
    // Projekte (8) is stored expanded and opens with its parent; Café Crème (9) holds
    // records only and gets no button.
    QVERIFY(Expanded(s, 8));
    QVERIFY(s.Tree().ItemOf(9));
    QVERIFY(!s.Tree().ItemOf(9)->hasChildren());
    QVERIFY(!Expanded(s, 9));
    // Records never appear in the tree.
    QVERIFY(!s.Tree().ItemOf(12));
}

void FolderListTest::ExpandedFlagsAreStoredInTheFileAndCollapseTouchesOnlyItsNode() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Tree().expand(s.Tree().ItemOf(5)->index());
    s.Tree().collapse(s.Tree().ItemOf(2)->index());
    QVERIFY(s.Doc().GetNode(5)->IsExpanded());
    QVERIFY(!s.Doc().GetNode(2)->IsExpanded());
    // Collapsing a parent stores its own flag only; the hidden child keeps "expanded".
    s.Tree().collapse(s.Tree().ItemOf(5)->index());
    QVERIFY(!s.Doc().GetNode(5)->IsExpanded());
    QVERIFY(s.Doc().GetNode(8)->IsExpanded());
    s.Tree().expand(s.Tree().ItemOf(5)->index());

    // A new session reads the flags back from the file.
    QVERIFY(s.Relogin());
    QVERIFY(s.Doc().GetNode(5)->IsExpanded());
    QVERIFY(!s.Doc().GetNode(2)->IsExpanded());
    QVERIFY(Expanded(s, 5));
    QVERIFY(Expanded(s, 8));
    QVERIFY(!Expanded(s, 2));
}

void FolderListTest::FoldersJoinTheListOnlyWithTheSetting() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QCOMPARE(TresorixSettings().View_ShowFoldersInListView, 0);
    s.Open(5); // Work VPN (12) and the folder Projekte (8)
    QCOMPARE(s.Ids(), std::vector<int>{12});
    s.Open(kRootFolderId); // folders only
    QCOMPARE(s.Model().rowCount(), 0);

    TresorixSettings().View_ShowFoldersInListView = 1;
    s.Open(5);
    QCOMPARE(s.Ids(), (std::vector<int>{8, 12})); // by name: Projekte, Work VPN
    QVERIFY(s.Model().Row(0).isFolder);
    QVERIFY(!s.Model().Row(1).isFolder);
    s.Open(kRootFolderId);
    QCOMPARE(s.Model().rowCount(), 6); // the bin and five folders

    TresorixSettings().View_ShowFoldersInListView = 0;
    s.Open(5);
    QCOMPARE(s.Ids(), std::vector<int>{12});
}

void FolderListTest::EachColumnSortsBothWaysWithNameTieBreak() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    std::vector<int> ids;
    const int folder = MakeSortFolder(s.Doc(), ids);
    QVERIFY(folder > 0);
    s.Open(folder);
    QCOMPARE(s.Model().rowCount(), 4);

    struct CASE {
        int column;
        Qt::SortOrder order;
        std::vector<QString> names;
    } cases[] = {
        {CTxListModel::kName, Qt::AscendingOrder, Q({"alpha", "Bravo", "charlie", "Delta"})},
        {CTxListModel::kName, Qt::DescendingOrder, Q({"Delta", "charlie", "Bravo", "alpha"})},
        {CTxListModel::kComments, Qt::AscendingOrder, Q({"charlie", "alpha", "Delta", "Bravo"})},
        {CTxListModel::kComments, Qt::DescendingOrder, Q({"Bravo", "Delta", "alpha", "charlie"})},
        {CTxListModel::kModified, Qt::AscendingOrder, Q({"Delta", "alpha", "charlie", "Bravo"})},
        {CTxListModel::kModified, Qt::DescendingOrder, Q({"Bravo", "charlie", "alpha", "Delta"})},
        {CTxListModel::kCreated, Qt::AscendingOrder, Q({"Delta", "Bravo", "charlie", "alpha"})},
        {CTxListModel::kCreated, Qt::DescendingOrder, Q({"alpha", "charlie", "Bravo", "Delta"})},
    };
    for (const CASE& c : cases) {
        s.Model().sort(c.column, c.order);
        QCOMPARE(Names(s), c.names);
    }
    // The texts the columns show match the stored values.
    s.Model().sort(CTxListModel::kName, Qt::AscendingOrder);
    const QModelIndex comments = s.Model().index(0, CTxListModel::kComments);
    QCOMPARE(comments.data().toString(), QStringLiteral("same"));
    QVERIFY(!s.Model().index(0, CTxListModel::kModified).data().toString().isEmpty());
    QCOMPARE(s.Model().Row(0).created, kBaseTime + 30 * kSecond);
}

void FolderListTest::HeaderClicksToggleAndTheSortSurvivesRefills() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    std::vector<int> ids;
    const int folder = MakeSortFolder(s.Doc(), ids);
    QVERIFY(folder > 0);
    s.Open(folder);
    QHeaderView* header = s.List().Details()->header();
    s.List().OnHeaderClicked(CTxListModel::kCreated);
    QCOMPARE(s.Model().SortOrder(), Qt::AscendingOrder);
    QCOMPARE(header->sortIndicatorSection(), int(CTxListModel::kCreated));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    s.List().OnHeaderClicked(CTxListModel::kCreated);
    QCOMPARE(s.Model().SortOrder(), Qt::DescendingOrder);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // A click on another column starts ascending again.
    s.List().OnHeaderClicked(CTxListModel::kModified);
    QCOMPARE(s.Model().SortOrder(), Qt::AscendingOrder);
    s.List().OnHeaderClicked(CTxListModel::kCreated);
    s.List().OnHeaderClicked(CTxListModel::kCreated);
    const std::vector<QString> sorted = Q({"alpha", "charlie", "Bravo", "Delta"});
    QCOMPARE(Names(s), sorted);

    // Leaving and coming back, and a reload of everything, keep the sort.
    s.Open(7);
    QCOMPARE(s.Model().SortColumn(), int(CTxListModel::kCreated));
    s.Open(folder);
    QCOMPARE(Names(s), sorted);
    s.Doc().Refresh();
    QCoreApplication::processEvents();
    QCOMPARE(Names(s), sorted);
    // A changed record is re-sorted on the refill its change causes.
    TComPtr<ICommonProperties> delta = s.Doc().GetRecord(ids[0]);
    delta->SetCreated(kBaseTime + 40 * kSecond);
    s.Doc().GetNode(ids[0])->SetData(delta.Get());
    s.Doc().UpdateAllViews(nullptr, CTxDoc::kHintRecordsChanged);
    QCOMPARE(Names(s), Q({"Delta", "alpha", "charlie", "Bravo"}));
}

TX_APP_TEST_MAIN(FolderListTest)
#include "FolderListTest.moc"
