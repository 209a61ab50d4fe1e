#include "model/Tresorix.h"
#include "model/Factory.h"
#include "model/Interface.h"
#include "model/ModelTestUtil.h"
#include "platform/MessageBox.h"
#include "platform/TresorixSettings.h"
#include "security/LoginText.h"
#include "storage/SQLiteDatabase.h"

#include <gtest/gtest.h>

#include <thread>

using namespace txtest;

namespace {

class CScopedOptions {
public:
    CScopedOptions(int cacheLoaded, int invalidate)
        : m_cacheLoaded(TresorixSettings().Cache_CacheLoadedItems),
          m_invalidate(TresorixSettings().Cache_InvalidateCache) {
        TresorixSettings().Cache_CacheLoadedItems = cacheLoaded;
        TresorixSettings().Cache_InvalidateCache = invalidate;
    }
    ~CScopedOptions() {
        TresorixSettings().Cache_CacheLoadedItems = m_cacheLoaded;
        TresorixSettings().Cache_InvalidateCache = m_invalidate;
    }

private:
    int m_cacheLoaded;
    int m_invalidate;
};

class CCountedRecord : public CInterface, public IUnknown {
public:
    explicit CCountedRecord(int* destroyed) : m_destroyed(destroyed) {}
    ~CCountedRecord() override { ++*m_destroyed; }
    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override {
        *out = iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }

private:
    int* m_destroyed;
};

class TresorixTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir / "cache.tpx";
        CreateVault(m_path, "user", "pw");
        m_tresorix = OpenTresorix(m_path, MakeKeyText("pw"));
        ASSERT_TRUE(m_tresorix);
    }

    ScratchDir m_dir;
    std::filesystem::path m_path;
    TComPtr<ITresorix> m_tresorix;
    CScopedMessageRecorder m_messages;
};

} // namespace

TEST_F(TresorixTest, CachingTheSameIdentifierTwiceKeepsTheSecond) {
    CScopedOptions options(1, 1);
    int destroyed = 0;
    TComPtr<IUnknown> first(new CCountedRecord(&destroyed));
    TComPtr<IUnknown> second(new CCountedRecord(&destroyed));
    m_tresorix->CacheItem(7, first.Get());
    m_tresorix->CacheItem(7, second.Get());
    first = nullptr;
    EXPECT_EQ(destroyed, 1) << "the cache let go of the first record";
    EXPECT_EQ(m_tresorix->FindCachedItem(7).Get(), second.Get());
    m_tresorix->RemoveCachedItem(7);
    m_tresorix->RemoveCachedItem(7);
    EXPECT_FALSE(m_tresorix->FindCachedItem(7));
    second = nullptr;
    EXPECT_EQ(destroyed, 2);
}

TEST_F(TresorixTest, WithCachingOffNothingIsKept) {
    CScopedOptions options(0, 1);
    auto record = NewRecord(CLSID_Note);
    m_tresorix->CacheItem(kRootFolderId, record.Get());
    EXPECT_FALSE(m_tresorix->FindCachedItem(kRootFolderId));
    auto first = MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData();
    auto second = MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Get(), second.Get());
}

TEST_F(TresorixTest, RepeatedReadsShareTheCachedRecord) {
    CScopedOptions options(1, 1);
    auto first = MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData();
    auto second = MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData();
    EXPECT_EQ(first.Get(), second.Get());
    // Writes through the tree stamp the file time, so the cache stays valid.
    MakeTreeItem(m_tresorix.Get(), kDeletedFolderId)->SetExpanded(false);
    EXPECT_EQ(MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData().Get(), first.Get());
}

TEST_F(TresorixTest, ChangeByAnotherConnectionClearsTheCacheWhenValidating) {
    auto cached = MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData();
    ASSERT_TRUE(cached);
    {
        CScopedOptions options(1, 0);
        ExecuteSql(m_path, "update tresorix_main set expanded = '0' where id = 2");
        EXPECT_EQ(m_tresorix->FindCachedItem(kRootFolderId).Get(), cached.Get());
    }
    {
        CScopedOptions options(1, 1);
        EXPECT_FALSE(m_tresorix->FindCachedItem(kRootFolderId));
        cached = MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData();
        EXPECT_EQ(m_tresorix->FindCachedItem(kRootFolderId).Get(), cached.Get());
        ExecuteSql(m_path, "update tresorix_main set expanded = '1' where id = 2");
        EXPECT_FALSE(m_tresorix->FindCachedItem(kRootFolderId));
    }
}

TEST_F(TresorixTest, CloseForgetsAuthorisationCacheAndConnection) {
    ASSERT_TRUE(MakeTreeItem(m_tresorix.Get(), kRootFolderId)->GetData());
    EXPECT_TRUE(m_tresorix->IsAuthorised());
    EXPECT_TRUE(m_tresorix->Close());
    EXPECT_FALSE(m_tresorix->IsAuthorised());
    EXPECT_FALSE(m_tresorix->GetDatabase());
    EXPECT_EQ(static_cast<CTresorix*>(m_tresorix.Get())->GetCachedCount(), 0u);
    EXPECT_EQ(m_tresorix->GetFileName(), m_path.string());
    EXPECT_EQ(m_tresorix->GetPassword(), MakeKeyText("pw"));
}

TEST_F(TresorixTest, OpenFailureShowsTheDatabaseMessage) {
    auto tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    std::filesystem::create_directory(m_dir / "folder");
    EXPECT_FALSE(tresorix->Open((m_dir / "folder").string()));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].flags, static_cast<unsigned>(MB_ICONSTOP));
    EXPECT_TRUE(tresorix->Close());
}

TEST_F(TresorixTest, StampFollowsTheFilesWriteTime) {
    auto* tresorix = static_cast<CTresorix*>(m_tresorix.Get());
    m_tresorix->StampFileTime();
    FILETIME64 before = tresorix->GetStampedFileTime();
    EXPECT_NE(before, 0u);
    ExecuteSql(m_path, "update tresorix_main set expanded = '0' where id = 2");
    m_tresorix->StampFileTime();
    EXPECT_NE(tresorix->GetStampedFileTime(), before);
}

TEST_F(TresorixTest, AttachedConnectionIsNotClosedByTheObject) {
    CSQLiteDatabase db;
    db.Open(m_path.string());
    m_tresorix->AttachDatabase(&db);
    EXPECT_EQ(m_tresorix->GetDatabase(), &db);
    m_tresorix->Close();
    EXPECT_TRUE(db.IsOpen());
    EXPECT_FALSE(m_tresorix->GetDatabase());
}

TEST_F(TresorixTest, CacheIsSafeFromSeveralThreads) {
    CScopedOptions options(1, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 500; ++i) {
                int id = (i * 7 + t) % 16;
                TComPtr<ICommonProperties> record = NewRecord(CLSID_Note);
                m_tresorix->CacheItem(id, record.Get());
                m_tresorix->FindCachedItem((id + 3) % 16);
                if (i % 5 == 0)
                    m_tresorix->RemoveCachedItem(id);
                if (i % 97 == 0)
                    m_tresorix->ClearCache();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_LE(static_cast<CTresorix*>(m_tresorix.Get())->GetCachedCount(), 16u);
}
