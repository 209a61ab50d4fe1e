#include "tools/SearchMachine.h"
#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "tools/SearchImportFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

using namespace txtest;

namespace {

class CEndCounter : public ISearchNotify {
public:
    void OnSearchEnded() override { ++ends; }
    int ends = 0;
};

CSearchMachine::OPTIONS Everything() {
    return {true, true, true, true, true, true, true, true};
}

class SearchMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine.SetDocument(&m_vault.doc);
        m_machine.SetNotifyWindow(&m_ends);
        m_machine.SetWakeCallback([this] { ++m_wakes; });
        m_machine.SetOptions(Everything());
    }

    void OpenVault() {
        if (FixturesDir().empty())
            GTEST_SKIP() << "shared fixtures folder not found";
        ASSERT_TRUE(m_vault.Open());
        m_messages.Clear();
    }

    std::vector<int> Finish() {
        m_machine.Wait();
        m_machine.DeliverPending();
        return m_vault.doc.GetSearchResults();
    }

    // Makes the data file's last write look long past.
    void AgeDataFile() {
        std::filesystem::last_write_time(
            m_vault.Path(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }

    CScopedMessageRecorder m_messages;
    ScratchDir m_dir;
    CVaultDocument m_vault{m_dir, "sample", "carol", "S3cret!pass"};
    CEndCounter m_ends;
    std::atomic<int> m_wakes{0};
    CSearchMachine m_machine;
};

TEST_F(SearchMachineTest, WithoutALoginTheUserIsToldAndTheEndFollows) {
    m_machine.Start();
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text, "You are not logged in...");
    EXPECT_EQ(m_messages.Messages()[0].caption, "Search");
    EXPECT_FALSE(m_machine.IsRunning());
    EXPECT_EQ(m_ends.ends, 0) << "the end is queued, not called";
    EXPECT_EQ(m_wakes, 1);
    m_machine.DeliverPending();
    EXPECT_EQ(m_ends.ends, 1);
    m_machine.DeliverPending();
    EXPECT_EQ(m_ends.ends, 1);
}

TEST_F(SearchMachineTest, ADataFileThatCannotBeOpenedEndsTheSearchWithTwoBoxes) {
    OpenVault();
    // The document keeps its open file; the path now names something else.
    std::filesystem::rename(m_vault.Path(), m_dir / "moved.tpx");
    WriteTextFile(m_vault.Path(), std::string(4096, 'x'));

    m_machine.Start();
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].flags & 0xF0, unsigned(MB_ICONSTOP));
    EXPECT_EQ(m_messages.Messages()[1].text,
              "Cannot open data file for search.\nPlease restart Tresorix Pro and try again.\nWe "
              "are sorry for the inconvenience.");
    EXPECT_EQ(m_messages.Messages()[1].caption, "Connection error");
    EXPECT_FALSE(m_machine.IsConnectionOpen());
    EXPECT_TRUE(Finish().empty());
    EXPECT_EQ(m_ends.ends, 1);

    std::filesystem::remove(m_vault.Path());
    std::filesystem::rename(m_dir / "moved.tpx", m_vault.Path());
}

TEST_F(SearchMachineTest, BeginSearchNeedsAFieldOptionAndEmptiesTheResultsFirst) {
    OpenVault();
    CSearchMachine::OPTIONS onlySubfolders;
    onlySubfolders.subfolders = true;
    m_machine.SetOptions(onlySubfolders);
    EXPECT_FALSE(m_machine.HasFieldOption());
    EXPECT_FALSE(m_machine.BeginSearch());
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text, "You should select at least one search option.");
    EXPECT_EQ(m_messages.Messages()[0].caption, AppCaption());
    m_machine.DeliverPending();
    EXPECT_EQ(m_ends.ends, 0) << "nothing started";

    m_vault.doc.SetSearchResults({3, 4});
    m_vault.view.hints.clear();
    m_machine.SetOptions(Everything());
    m_machine.SetPattern("gmail");
    EXPECT_TRUE(m_machine.BeginSearch());
    EXPECT_TRUE(m_vault.doc.GetSearchResults().empty());
    EXPECT_EQ(m_vault.view.Count(CTxDoc::kHintSearchResults), 1);
    EXPECT_EQ(Finish(), (std::vector<int>{11}));
    EXPECT_EQ(m_vault.view.Count(CTxDoc::kHintSearchResults), 2);
    EXPECT_EQ(m_ends.ends, 1);
    m_messages.Clear();
    CSearchMachine::ReportSearchEnded(m_vault.doc);
    EXPECT_TRUE(m_messages.Messages().empty()) << "there are results";

    m_machine.SetPattern("nothing-like-this");
    EXPECT_TRUE(m_machine.BeginSearch());
    EXPECT_TRUE(Finish().empty());
    CSearchMachine::ReportSearchEnded(m_vault.doc);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text,
              "Search is complete. There are no results to display.");
    EXPECT_EQ(m_messages.Messages()[0].caption, "Search Results...");
}

TEST_F(SearchMachineTest, AStopRequestEndsTheWorkerAtItsNextPoll) {
    OpenVault();
    // The first result asks for the stop from the worker itself, so the point is exact.
    m_machine.SetWakeCallback([this] { m_machine.Stop(); });
    m_machine.SetPattern("");
    m_machine.Start();
    const std::vector<int> results = Finish();
    // The first record in pre-order lies in the recycle bin: 2, 10, 23.
    EXPECT_EQ(results, (std::vector<int>{23}));
    EXPECT_EQ(m_ends.ends, 1);
    EXPECT_FALSE(m_machine.IsRunning());

    // The stop stays seen by every later poll, and a new start clears it.
    EXPECT_TRUE(m_machine.IsStopRequested());
    EXPECT_TRUE(m_machine.IsStopRequested());
    m_machine.SetWakeCallback({});
    m_vault.doc.SetSearchResults({});
    m_machine.Start();
    EXPECT_GT(Finish().size(), 10u);
}

TEST_F(SearchMachineTest, ANewStartSupersedesARunningSearchAndDropsWhatItLeft) {
    OpenVault();
    std::mutex mutex;
    std::condition_variable changed;
    bool blocked = false;
    bool release = false;
    bool first = true;
    // The first search's worker waits inside its first report until the test lets it go.
    m_machine.SetWakeCallback([&] {
        std::unique_lock lock(mutex);
        if (!first)
            return;
        first = false;
        blocked = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    });
    m_machine.SetPattern("");
    m_machine.Start();
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return blocked; });
    }
    m_machine.SetPattern("gmail");
    std::thread restart([&] { m_machine.Start(); });
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    restart.join();
    EXPECT_EQ(Finish(), (std::vector<int>{11}));
    EXPECT_EQ(m_ends.ends, 1) << "only the second search's end is passed on";
}

TEST_F(SearchMachineTest, TheConnectionIsReusedUntilTheDataFileChanges) {
    OpenVault();
    AgeDataFile();
    CSearchMachine::OPTIONS names;
    names.name = true;
    m_machine.SetOptions(names);
    m_machine.SetStartFolder(3);
    m_machine.SetPattern("gmail");
    m_machine.Start();
    EXPECT_EQ(Finish(), (std::vector<int>{11}));
    EXPECT_TRUE(m_machine.IsConnectionOpen());
    EXPECT_EQ(m_machine.GetConnectionOpens(), 1);

    m_vault.doc.SetSearchResults({});
    m_machine.Start();
    EXPECT_EQ(Finish(), (std::vector<int>{11}));
    EXPECT_EQ(m_machine.GetConnectionOpens(), 1);

    // A change through the document is seen by the next search, not an old cached record.
    TComPtr<ICommonProperties> record = m_vault.doc.GetRecord(11);
    ASSERT_TRUE(record);
    record->SetName("Mailbox");
    m_vault.doc.GetNode(11)->SetData(record.Get());
    m_vault.doc.SetSearchResults({});
    m_machine.Start();
    EXPECT_TRUE(Finish().empty());
    EXPECT_EQ(m_machine.GetConnectionOpens(), 2);
    m_machine.SetPattern("mailbox");
    m_vault.doc.SetSearchResults({});
    m_machine.Start();
    EXPECT_EQ(Finish(), (std::vector<int>{11}));

    // Logging out ends the connection and its credentials.
    EXPECT_TRUE(m_vault.doc.Logout());
    EXPECT_FALSE(m_machine.IsConnectionOpen());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(SearchMachineTest, AFreshlyWrittenFileIsNotTrustedToShowTheNextWrite) {
    OpenVault();
    // As if written a moment ago: a write in the same clock tick could go unseen.
    std::filesystem::last_write_time(m_vault.Path(), std::filesystem::file_time_type::clock::now() +
                                                         std::chrono::hours(1));
    m_machine.SetPattern("gmail");
    m_machine.Start();
    Finish();
    m_machine.Start();
    Finish();
    EXPECT_EQ(m_machine.GetConnectionOpens(), 2);
}

TEST(AutoResetEventTest, OneWaitTakesTheSignal) {
    CAutoResetEvent event;
    event.Set();
    event.Set();
    EXPECT_TRUE(event.Wait(std::chrono::milliseconds(0)));
    EXPECT_FALSE(event.Wait(std::chrono::milliseconds(0)));
    std::thread waiter([&] { event.Wait(); });
    event.Set();
    waiter.join();
    EXPECT_FALSE(event.Wait(std::chrono::milliseconds(0)));
}

} // namespace

TEST_F(SearchMachineTest, FindsNotYetDeliveredAtALogoutAreDropped) {
    OpenVault();
    m_machine.SetPattern("gmail");
    m_machine.Start();
    m_machine.Wait();
    m_vault.doc.Logout();
    m_machine.DeliverPending();
    EXPECT_TRUE(m_vault.doc.GetSearchResults().empty());

    // Nor do they turn up in the next session.
    ASSERT_TRUE(m_vault.Open());
    m_machine.DeliverPending();
    EXPECT_TRUE(m_vault.doc.GetSearchResults().empty());
}
