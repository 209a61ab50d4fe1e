#include "model/Factory.h"
#include "model/ModelTestUtil.h"
#include "model/TransactionScope.h"
#include "platform/MessageBox.h"
#include "platform/TresorixSettings.h"
#include "security/LoginText.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace txtest;

namespace {

class TreeItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir / "tree.tpx";
        CreateVault(m_path, "user", "pw");
        m_tresorix = OpenTresorix(m_path, MakeKeyText("pw"));
        ASSERT_TRUE(m_tresorix);
    }

    TComPtr<ITreeItem> Node(int id) { return MakeTreeItem(m_tresorix.Get(), id); }
    std::vector<int> Ids(ITreeIterator* iterator) {
        std::vector<int> ids;
        for (auto node = iterator->First(); node; node = iterator->Next())
            ids.push_back(node->GetID());
        return ids;
    }
    int Add(int parent, const CLSID& clsid, const std::string& name) {
        return AddNode(m_tresorix.Get(), parent, clsid, name);
    }
    int Count(const std::string& where) {
        return std::stoi(QueryColumn(m_path, "select count(*) from tresorix_main " + where)[0]);
    }

    ScratchDir m_dir;
    std::filesystem::path m_path;
    TComPtr<ITresorix> m_tresorix;
    CScopedMessageRecorder m_messages;
};

// Sets the two cache options for one test.
class CScopedCacheOptions {
public:
    CScopedCacheOptions(int cacheLoaded, int invalidate)
        : m_cacheLoaded(TresorixSettings().Cache_CacheLoadedItems),
          m_invalidate(TresorixSettings().Cache_InvalidateCache) {
        TresorixSettings().Cache_CacheLoadedItems = cacheLoaded;
        TresorixSettings().Cache_InvalidateCache = invalidate;
    }
    ~CScopedCacheOptions() {
        TresorixSettings().Cache_CacheLoadedItems = m_cacheLoaded;
        TresorixSettings().Cache_InvalidateCache = m_invalidate;
    }

private:
    int m_cacheLoaded;
    int m_invalidate;
};

} // namespace

TEST_F(TreeItemTest, FixedNodesAndParents) {
    EXPECT_EQ(Node(kRootFolderId)->GetParentID(), 0);
    EXPECT_EQ(Node(kDeletedFolderId)->GetParentID(), kRootFolderId);
    EXPECT_EQ(Node(999)->GetParentID(), 0);
    auto parent = Node(kRootFolderId)->GetIterator(ITreeItem::kParent);
    EXPECT_EQ(Ids(parent.Get()), std::vector<int>{0});
    EXPECT_TRUE(GetCommonProperties(Node(kRootFolderId)->GetData())->IsFolder());
    EXPECT_FALSE(GetCommonProperties(Node(kDeletedFolderId)->GetData())->CanDelete());
    EXPECT_EQ(Ids(Node(5)->GetIterator(7).Get()), std::vector<int>{});
}

TEST_F(TreeItemTest, IteratorsOverChildrenAndSiblings) {
    int a = Add(kRootFolderId, CLSID_Folder, "A");
    int b = Add(kRootFolderId, CLSID_Note, "B");
    int c = Add(a, CLSID_PasswordItem, "C");
    auto children = Node(kRootFolderId)->GetIterator(ITreeItem::kChildren);
    auto ids = Ids(children.Get());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int>{kDeletedFolderId, a, b}));
    EXPECT_TRUE(children->IsDone());
    EXPECT_FALSE(children->Next());

    auto siblings = Ids(Node(b)->GetIterator(ITreeItem::kSiblings).Get());
    EXPECT_NE(std::find(siblings.begin(), siblings.end(), b), siblings.end());
    EXPECT_EQ(siblings.size(), 3u);
    EXPECT_EQ(Ids(Node(c)->GetIterator(ITreeItem::kSiblings).Get()), std::vector<int>{c});

    auto empty = Node(c)->GetIterator(ITreeItem::kChildren);
    EXPECT_TRUE(empty->IsDone());
    EXPECT_FALSE(empty->First());
    EXPECT_TRUE(Node(a)->HasChildren());
    EXPECT_FALSE(Node(c)->HasChildren());
}

TEST_F(TreeItemTest, InsertedNodeHasNoParentAndIsExpanded) {
    auto node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, m_tresorix.Get());
    ASSERT_TRUE(node->Insert());
    int id = node->GetID();
    EXPECT_GT(id, kDeletedFolderId);
    EXPECT_EQ(node->GetParentID(), 0);
    EXPECT_EQ(
        QueryColumn(m_path, "select expanded from tresorix_main where id=" + std::to_string(id))[0],
        "1");
    EXPECT_TRUE(node->IsExpanded());
    EXPECT_FALSE(node->GetData()) << "no record stored yet";
    Node(kRootFolderId)->AddChild(node.Get());
    EXPECT_EQ(node->GetParentID(), kRootFolderId);
}

TEST_F(TreeItemTest, AddChildIgnoresTheNodeItself) {
    int a = Add(kRootFolderId, CLSID_Folder, "A");
    auto node = Node(a);
    node->AddChild(node.Get());
    node->AddChild(Node(a).Get());
    EXPECT_EQ(Node(a)->GetParentID(), kRootFolderId);
    node->InsertChild(Node(kDeletedFolderId).Get());
    EXPECT_EQ(Node(kDeletedFolderId)->GetParentID(), a);
}

TEST_F(TreeItemTest, ExpandedStateOnlyForTheTextOne) {
    int a = Add(kRootFolderId, CLSID_Folder, "A");
    Node(a)->SetExpanded(false);
    EXPECT_FALSE(Node(a)->IsExpanded());
    EXPECT_EQ(
        QueryColumn(m_path, "select expanded from tresorix_main where id=" + std::to_string(a))[0],
        "0");
    Node(a)->SetExpanded(true);
    EXPECT_TRUE(Node(a)->IsExpanded());
    for (const char* text : {"'11'", "'yes'", "NULL", "' 1'"}) {
        ExecuteSql(m_path, std::string("update tresorix_main set expanded = ") + text +
                               " where id = " + std::to_string(a));
        EXPECT_FALSE(Node(a)->IsExpanded()) << text;
    }
}

TEST_F(TreeItemTest, SetDataStampsTheModificationTimeAndReadsBack) {
    int a = Add(kRootFolderId, CLSID_PasswordItem, "Mail");
    auto record = GetCommonProperties(Node(a)->GetData());
    ASSERT_TRUE(record);
    FILETIME64 modified = 0;
    record->GetModified(modified);
    EXPECT_GT(modified, 130000000000000000ULL);
    record.As<IPasswordProperties>()->SetPassword("hunter2");
    record->SetModified(0);
    EXPECT_TRUE(Node(a)->SetData(record.Get()));
    record->GetModified(modified);
    EXPECT_NE(modified, 0u);

    m_tresorix->ClearCache();
    auto again = GetPasswordProperties(Node(a)->GetData());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetPassword(), "hunter2");
}

TEST_F(TreeItemTest, SetDataSetsTheTimeEvenWhenTheUpdateFails) {
    int a = Add(kRootFolderId, CLSID_Note, "N");
    auto record = GetCommonProperties(Node(a)->GetData());
    record->SetModified(0);
    m_tresorix->Close();
    EXPECT_FALSE(Node(a)->SetData(record.Get()));
    FILETIME64 modified = 0;
    record->GetModified(modified);
    EXPECT_NE(modified, 0u);
    ASSERT_FALSE(m_messages.Messages().empty());
    EXPECT_EQ(m_messages.Messages().back().text, "Database not open");
    EXPECT_EQ(m_messages.Messages().back().flags, static_cast<unsigned>(MB_ICONSTOP));
}

TEST_F(TreeItemTest, DeleteRemovesTheSubtreeChildrenFirst) {
    int a = Add(kRootFolderId, CLSID_Folder, "A");
    int b = Add(a, CLSID_Folder, "B");
    Add(b, CLSID_Note, "C");
    Add(a, CLSID_PasswordItem, "D");
    int keep = Add(kRootFolderId, CLSID_Note, "E");
    ASSERT_EQ(Count(""), 7);
    Node(a)->Delete();
    EXPECT_EQ(Count(""), 3);
    EXPECT_EQ(Count("where id = " + std::to_string(keep)), 1);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(TreeItemTest, DeleteEndsOnATreeWhoseParentsFormACycle) {
    int a = Add(kRootFolderId, CLSID_Folder, "A");
    int b = Add(a, CLSID_Folder, "B");
    int self = Add(kRootFolderId, CLSID_Folder, "S");
    ExecuteSql(m_path, "update tresorix_main set id_parent = " + std::to_string(b) +
                           " where id = " + std::to_string(a));
    ExecuteSql(m_path, "update tresorix_main set id_parent = " + std::to_string(self) +
                           " where id = " + std::to_string(self));
    Node(a)->Delete();
    Node(self)->Delete();
    EXPECT_EQ(Count(""), 2);
}

TEST_F(TreeItemTest, ReusedIdentifierNeverGetsTheDeletedRecord) {
    CScopedCacheOptions options(1, 0);
    int a = Add(kRootFolderId, CLSID_PasswordItem, "Old secret");
    ASSERT_TRUE(GetCommonProperties(Node(a)->GetData())); // now cached
    Node(a)->Delete();
    // The engine hands the highest identifier out again.
    auto node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, m_tresorix.Get());
    ASSERT_TRUE(node->Insert());
    if (node->GetID() != a)
        GTEST_SKIP() << "the engine did not reuse the identifier";
    EXPECT_FALSE(node->GetData());

    // An entry left for the identifier by anyone is dropped when a new row takes it.
    node->Delete();
    m_tresorix->CacheItem(a, NewRecord(CLSID_Note).Get());
    ASSERT_TRUE(node->Insert());
    ASSERT_EQ(node->GetID(), a);
    EXPECT_FALSE(node->GetData());
}

TEST_F(TreeItemTest, DeleteDropsTheCacheEntryEvenWithoutInvalidation) {
    CScopedCacheOptions options(1, 0);
    int a = Add(kRootFolderId, CLSID_Note, "N");
    ASSERT_TRUE(Node(a)->GetData());
    Node(a)->Delete();
    EXPECT_FALSE(m_tresorix->FindCachedItem(a));
}

TEST_F(TreeItemTest, RecordOfADamagedRowIsNone) {
    int a = Add(kRootFolderId, CLSID_Note, "N");
    m_tresorix->ClearCache();
    ExecuteSql(m_path, "update tresorix_main set data = 'x' where id = " + std::to_string(a));
    EXPECT_FALSE(Node(a)->GetData());
    ExecuteSql(m_path, "update tresorix_main set data = NULL where id = " + std::to_string(a));
    EXPECT_FALSE(Node(a)->GetData());
    // Under another key the record is noise.
    int b = Add(kRootFolderId, CLSID_Note, "M");
    m_tresorix->ClearCache();
    m_tresorix->SetPassword(MakeKeyText("other"));
    EXPECT_FALSE(Node(b)->GetData());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(TreeItemTest, NodesOfAClosedFileFailWithTheirFailureValues) {
    int a = Add(kRootFolderId, CLSID_Folder, "A");
    m_tresorix->Close();
    EXPECT_EQ(Node(a)->GetParentID(), 0);
    EXPECT_FALSE(Node(a)->HasChildren());
    EXPECT_FALSE(Node(a)->IsExpanded());
    EXPECT_FALSE(Node(a)->GetData());
    EXPECT_FALSE(Node(a)->GetIterator(ITreeItem::kChildren));
    auto node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, m_tresorix.Get());
    EXPECT_FALSE(node->Insert());
    EXPECT_EQ(m_messages.Messages().size(), 6u);
    auto orphan = CreateObjectAs<ITreeItem>(CLSID_TreeItem);
    EXPECT_FALSE(orphan->GetIterator(ITreeItem::kChildren));
    EXPECT_FALSE(orphan->GetData());
}

TEST_F(TreeItemTest, WritingAnotherObjectReplacesTheCachedOne) {
    int a = Add(kRootFolderId, CLSID_Note, "first");
    auto cached = GetCommonProperties(Node(a)->GetData());
    ASSERT_TRUE(cached);
    auto replacement = NewRecord(CLSID_Note);
    replacement->SetName("second");
    Node(a)->SetData(replacement.Get());
    auto read = GetCommonProperties(Node(a)->GetData());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->GetName(), "second");

    // Writing the cached object itself keeps it cached.
    read->SetName("third");
    Node(a)->SetData(read.Get());
    EXPECT_EQ(GetCommonProperties(Node(a)->GetData()).Get(), read.Get());
}

TEST_F(TreeItemTest, ARecordTheFileRefusesIsReportedAndNotServedFromTheCache) {
    int a = Add(kRootFolderId, CLSID_Note, "small");
    auto record = GetCommonProperties(Node(a)->GetData());
    ASSERT_TRUE(record);
    // Beyond the engine's row limit once encrypted.
    record->SetComments(std::string(2 * 1024 * 1024, 'x'));
    EXPECT_FALSE(Node(a)->SetData(record.Get()));
    EXPECT_FALSE(m_messages.Messages().empty());

    auto read = GetCommonProperties(Node(a)->GetData());
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->GetComments().empty());
}

TEST_F(TreeItemTest, OwnWritesInATransactionKeepTheCache) {
    CScopedCacheOptions options(1, 1);
    int a = Add(kRootFolderId, CLSID_Note, "written");
    int b = Add(kRootFolderId, CLSID_Note, "kept");
    auto kept = GetCommonProperties(Node(b)->GetData());
    ASSERT_TRUE(kept);
    {
        CTransactionScope transaction(*m_tresorix->GetDatabase());
        auto record = GetCommonProperties(Node(a)->GetData());
        record->SetName("written again");
        ASSERT_TRUE(Node(a)->SetData(record.Get()));
        ASSERT_TRUE(transaction.Commit());
    }
    // The commit's write is ours: the cache still answers for the other record.
    EXPECT_EQ(GetCommonProperties(Node(b)->GetData()).Get(), kept.Get());
    EXPECT_EQ(GetCommonProperties(Node(a)->GetData())->GetName(), "written again");
}
