#include "model/DocTestSupport.h"
#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/TxDocHost.h"
#include "model/TxDragDrop.h"

#include <gtest/gtest.h>

namespace {

using txtest::PatternBytes;
using txtest::ReadFile;
using txtest::WriteFile;

class FolderChoice : public ITxDocHost {
public:
    bool SelectFolder(const std::vector<int>& selection, int& target) override {
        offered = selection;
        target = answer;
        return answer != 0;
    }
    int answer = 0;
    std::vector<int> offered;
};

class DocTree : public txtest::DocFixture {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        m_doc.SetHost(&m_host);
        ASSERT_TRUE(OpenSample());
        m_before = txtest::ReadParents(m_doc);
    }
    void TearDown() override {
        m_doc.CloseContents();
        m_doc.SetHost(nullptr);
    }

    int Parent(int id) { return txtest::ReadParents(m_doc)[id]; }
    std::string NameOf(int id) {
        TComPtr<ICommonProperties> record = m_doc.GetRecord(id);
        return record ? record->GetName() : "<none>";
    }
    std::string Stored(int id) {
        std::filesystem::path out = m_dir / "stored.bin";
        EXPECT_TRUE(CFileParts::SaveFileTo(out.string(), id, m_doc.GetTresorix().Get()));
        return ReadFile(out);
    }

    FolderChoice m_host;
    std::map<int, int> m_before;
};

TEST_F(DocTree, MoveTellsViewsOldAndNewParent) {
    ASSERT_TRUE(m_doc.MoveItem(11, 7));
    EXPECT_EQ(Parent(11), 7);
    ASSERT_EQ(m_view.Count(1066), 1);
    EXPECT_EQ(m_view.hints.back().data.id, 11);
    EXPECT_EQ(m_view.hints.back().data.oldParent, 3);
    EXPECT_EQ(m_view.hints.back().data.newParent, 7);
    // Moving a folder with its branch keeps the branch below it.
    ASSERT_TRUE(m_doc.MoveItem(8, 4));
    EXPECT_EQ(Parent(8), 4);
    EXPECT_EQ(Parent(9), 8);
    txtest::ExpectTree(txtest::ReadParents(m_doc));
}

TEST_F(DocTree, MoveIntoOwnBranchOrNonFolderIsRefused) {
    EXPECT_FALSE(m_doc.MoveItem(5, 9));
    EXPECT_FALSE(m_doc.MoveItem(5, 5));
    EXPECT_FALSE(m_doc.MoveItem(12, 11));
    EXPECT_FALSE(m_doc.MoveItem(1, 2));
    EXPECT_FALSE(m_doc.MoveItem(2, 3));
    EXPECT_FALSE(m_doc.MoveItem(11, 4242));
    EXPECT_EQ(txtest::ReadParents(m_doc), m_before);
    EXPECT_EQ(m_view.Count(1066), 0);
}

TEST_F(DocTree, MoveToChecksEverySelectedNode) {
    // The dialog's own check looks at the first node only; folder 5 is second here.
    m_host.answer = 9;
    EXPECT_FALSE(m_doc.IsValidMoveTarget({11, 5}, 9));
    EXPECT_FALSE(m_doc.MoveItems({11, 5}));
    EXPECT_EQ(m_host.offered, (std::vector<int>{11, 5}));
    EXPECT_EQ(txtest::ReadParents(m_doc), m_before);

    m_host.answer = 7;
    EXPECT_TRUE(m_doc.MoveItems({11, 5}));
    EXPECT_EQ(Parent(11), 7);
    EXPECT_EQ(Parent(5), 7);
    m_host.answer = 0;
    EXPECT_FALSE(m_doc.MoveItems({11}));
    EXPECT_FALSE(m_doc.CanMoveItems({11, 2}));
    EXPECT_FALSE(m_doc.CanDeleteItems({1}));
    EXPECT_TRUE(m_doc.CanDeleteItems({11, 5}));
}

TEST_F(DocTree, DeleteMovesIntoRecycleBin) {
    EXPECT_TRUE(m_doc.DeleteItems({11, 8}));
    EXPECT_EQ(Parent(11), 2);
    EXPECT_EQ(Parent(8), 2);
    EXPECT_EQ(Parent(9), 8);
    EXPECT_FALSE(m_doc.DeleteItems({1}));
    EXPECT_FALSE(m_doc.DeleteItems({2}));
    // A record already inside the bin stays inside it.
    EXPECT_TRUE(m_doc.DeleteItems({23}));
    EXPECT_EQ(Parent(23), 2);
    EXPECT_FALSE(m_doc.IsRecycleBinEmpty());
}

TEST_F(DocTree, EmptyRecycleBinRemovesBranchesPartsAndFavorites) {
    ASSERT_TRUE(m_doc.DeleteItems({8, 11}));
    m_doc.AddFavorite(23);
    m_doc.AddFavorite(15);
    const std::vector<int> gone{10, 16, 23, 8, 9, 15, 18, 25, 11};

    m_messages.Script({IDNO});
    EXPECT_FALSE(m_doc.EmptyRecycleBin());
    EXPECT_FALSE(m_doc.IsRecycleBinEmpty());
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].flags, MB_YESNO | MB_ICONQUESTION | 0x100u);

    m_messages.Script({IDYES});
    ASSERT_TRUE(m_doc.EmptyRecycleBin());
    EXPECT_TRUE(m_doc.IsRecycleBinEmpty());
    std::map<int, int> after = txtest::ReadParents(m_doc);
    for (int id : gone) {
        EXPECT_EQ(after.count(id), 0u) << id;
        EXPECT_EQ(m_doc.GetFavorites().Find(id), -1) << id;
    }
    EXPECT_EQ(after.size(), m_before.size() - gone.size());
    EXPECT_EQ(CFileParts::CountParts(25, *m_doc.GetDatabase()), 0);
    EXPECT_EQ(m_doc.GetFavorites().GetEntries(), (std::vector<int>{19, 21}));
    EXPECT_EQ(m_view.Count(1065), 4);
    txtest::ExpectTree(after);
}

TEST_F(DocTree, IdentifierReusedAfterEmptyingShowsTheNewRecord) {
    int last = m_doc.CreateNewObject(CLSID_Note, 3, "Short-lived");
    ASSERT_GT(last, 0);
    ASSERT_EQ(NameOf(last), "Short-lived");
    ASSERT_TRUE(m_doc.DeleteItems({last}));
    m_messages.SetDefaultAnswer(IDYES);
    ASSERT_TRUE(m_doc.EmptyRecycleBin());
    int reused = m_doc.CreateNewObject(CLSID_PasswordItem, 3, "Newcomer");
    ASSERT_GT(reused, 0);
    EXPECT_EQ(NameOf(reused), "Newcomer");
    CLSID clsid;
    m_doc.GetRecord(reused)->GetClassID(clsid);
    EXPECT_TRUE(clsid == CLSID_PasswordItem);
}

TEST_F(DocTree, CopiesGetNumberedNamesAndAllFields) {
    int first = m_doc.CopyItem(11);
    int second = m_doc.CopyItem(11);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(NameOf(first), "Gmail (2)");
    EXPECT_EQ(NameOf(second), "Gmail (3)");
    EXPECT_EQ(NameOf(11), "Gmail");
    EXPECT_EQ(Parent(first), 3);
    TComPtr<IPasswordProperties> source = GetPasswordProperties(m_doc.GetNode(11)->GetData());
    TComPtr<IPasswordProperties> copy = GetPasswordProperties(m_doc.GetNode(first)->GetData());
    ASSERT_TRUE(source && copy);
    EXPECT_EQ(copy->GetLogin(), source->GetLogin());
    EXPECT_EQ(copy->GetPassword(), source->GetPassword());
    FILETIME64 sourceCreated = 0, copyCreated = 0;
    m_doc.GetRecord(11)->GetCreated(sourceCreated);
    m_doc.GetRecord(first)->GetCreated(copyCreated);
    EXPECT_EQ(copyCreated, sourceCreated);
    EXPECT_GE(m_view.Count(1), 2);
}

TEST_F(DocTree, CopyOfFileRecordCarriesItsContents) {
    std::string original = Stored(25);
    ASSERT_EQ(original.size(), 700000u);
    int copy = m_doc.CopyItem(25);
    ASSERT_GT(copy, 0);
    EXPECT_EQ(Stored(copy), original);
    EXPECT_EQ(CFileParts::CountParts(copy, *m_doc.GetDatabase()), 2);
    // The copies are independent: replacing one leaves the other.
    WriteFile(m_dir / "new.bin", "replaced");
    ASSERT_TRUE(
        CFileParts::StoreFile((m_dir / "new.bin").string(), copy, m_doc.GetTresorix().Get()));
    EXPECT_EQ(Stored(25), original);
    EXPECT_EQ(Stored(copy), "replaced");
}

TEST_F(DocTree, DragDropRules) {
    CTxDragDrop drag(m_doc);
    drag.BeginDrag({5});
    EXPECT_FALSE(drag.CanDrop(5));
    EXPECT_FALSE(drag.CanDrop(9));
    EXPECT_FALSE(drag.CanDrop(12));
    EXPECT_FALSE(drag.CanDrop(0));
    EXPECT_FALSE(drag.Drop(8));
    EXPECT_FALSE(drag.CanDropOnFavorites());
    EXPECT_TRUE(drag.Drop(4));
    EXPECT_EQ(Parent(5), 4);

    drag.BeginDrag({13, 11, 21});
    m_doc.Push(7);
    EXPECT_EQ(drag.ListTarget(0), 7);
    EXPECT_EQ(drag.ListTarget(3), 3);
    EXPECT_TRUE(drag.Drop(drag.ListTarget(0)));
    EXPECT_EQ(Parent(13), 7);
    int hintsBefore = m_view.Count(5);
    ASSERT_TRUE(drag.DropOnFavorites());
    EXPECT_EQ(m_doc.GetFavorites().GetEntries(), (std::vector<int>{19, 11, 25, 21, 13}));
    EXPECT_EQ(m_view.Count(5), hintsBefore + 1);
    drag.EndDrag();
    EXPECT_FALSE(drag.Drop(7));
}

} // namespace
