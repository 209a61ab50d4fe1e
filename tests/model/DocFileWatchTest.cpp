#include "model/DocTestSupport.h"
#include "model/Factory.h"
#include "model/FileChangedPrompt.h"
#include "model/FileParts.h"
#include "model/KivFileWatch.h"
#include "model/WindowManager.h"
#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

namespace {

using txtest::PatternBytes;
using txtest::ReadFile;
using txtest::WriteFile;

// Moves a file's last-write time, so a change is seen even within the clock's resolution.
void Touch(const std::filesystem::path& path, long seconds) {
    struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

class CountingWatch : public CKivFileWatch {
public:
    std::vector<WATCHENTRY> changes;

protected:
    void OnFileChanged(const WATCHENTRY& entry) override { changes.push_back(entry); }
};

TEST(KivFileWatch, ReportsEachChangeOnce) {
    txtest::ScratchDir dir;
    std::filesystem::path a = dir / "a.txt";
    WriteFile(a, "one");
    CountingWatch watch;
    EXPECT_FALSE(watch.AddWatch((dir / "missing").string(), 1));
    ASSERT_TRUE(watch.AddWatch(a.string(), 7));
    EXPECT_FALSE(watch.AddWatch(a.string(), 8));
    EXPECT_EQ(watch.FindWatch(a.string())->id, 7);

    watch.CheckWatches();
    EXPECT_TRUE(watch.changes.empty());
    EXPECT_FALSE(watch.IsAnyChanged());

    WriteFile(a, "three");
    Touch(a, 1000000);
    EXPECT_TRUE(watch.IsAnyChanged());
    watch.CheckWatches();
    ASSERT_EQ(watch.changes.size(), 1u);
    EXPECT_EQ(watch.changes[0].size, 5u);
    EXPECT_EQ(watch.changes[0].id, 7);
    EXPECT_FALSE(watch.IsAnyChanged());
    watch.CheckWatches();
    EXPECT_EQ(watch.changes.size(), 1u);

    // A file that went away counts as unchanged.
    std::filesystem::remove(a);
    watch.CheckWatches();
    EXPECT_FALSE(watch.IsAnyChanged());
    EXPECT_EQ(watch.changes.size(), 1u);
}

class ScriptedPrompt : public IFileChangedPrompt {
public:
    bool Ask(const std::string& fileName, int& choice) override {
        names.push_back(fileName);
        preselected.push_back(choice);
        if (cancel)
            return false;
        choice = answer;
        return true;
    }
    int answer = kContinueMonitoring;
    bool cancel = false;
    std::vector<std::string> names;
    std::vector<int> preselected;
};

class DocFileWatch : public txtest::DocFixture {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        ASSERT_TRUE(OpenSample());
        m_doc.SetFileChangedPrompt(&m_prompt);
        m_doc.SetFileChangedAction(&m_action);
        ASSERT_TRUE(m_doc.OpenFileItem(kKeys));
        ASSERT_EQ(m_shell.Calls().size(), 1u);
        m_copy = m_shell.Calls()[0].target;
        EXPECT_EQ(m_copy.filename(), "keys.dat");
        m_original = ReadFile(m_copy);
    }

    // The prompt and the setting live here, so they go before the fixture's base closes.
    void TearDown() override {
        m_doc.CloseContents();
        m_doc.SetFileChangedPrompt(nullptr);
        m_doc.SetFileChangedAction(nullptr);
    }

    void ChangeCopy(const std::string& bytes, long time) {
        WriteFile(m_copy, bytes);
        Touch(m_copy, time);
    }

    std::string Stored(int id) {
        std::filesystem::path out = m_dir / "stored.bin";
        EXPECT_TRUE(CFileParts::SaveFileTo(out.string(), id, m_doc.GetTresorix().Get()));
        return ReadFile(out);
    }

    static constexpr int kKeys = 25;
    CScopedShellRecorder m_shell;
    ScriptedPrompt m_prompt;
    int m_action = 1;
    std::filesystem::path m_copy;
    std::string m_original;
};

TEST_F(DocFileWatch, UploadAndDeleteStoresCopyAndForgetsIt) {
    std::string edited = PatternBytes(600000, 11);
    ChangeCopy(edited, 2000000);
    m_prompt.answer = IFileChangedPrompt::kUploadAndDelete;
    m_doc.CheckWatches();
    ASSERT_EQ(m_prompt.names, (std::vector<std::string>{"keys.dat"}));
    EXPECT_EQ(m_prompt.preselected, (std::vector<int>{1}));
    EXPECT_EQ(m_action, 0);
    EXPECT_EQ(Stored(kKeys), edited);
    EXPECT_FALSE(std::filesystem::exists(m_copy));
    EXPECT_TRUE(m_doc.GetFileWatcher().GetWatches().empty());
}

TEST_F(DocFileWatch, UploadAndMonitorKeepsWatching) {
    ChangeCopy("first edit", 2000000);
    m_prompt.answer = IFileChangedPrompt::kUploadAndMonitor;
    m_doc.CheckWatches();
    EXPECT_EQ(Stored(kKeys), "first edit");
    ChangeCopy("second edit", 2000100);
    m_doc.CheckWatches();
    EXPECT_EQ(Stored(kKeys), "second edit");
    EXPECT_EQ(m_prompt.names.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(m_copy));
}

TEST_F(DocFileWatch, ContinueMonitoringAsksAgainAtNextChange) {
    ChangeCopy("edit", 2000000);
    m_prompt.answer = IFileChangedPrompt::kContinueMonitoring;
    m_doc.CheckWatches();
    m_doc.CheckWatches();
    EXPECT_EQ(m_prompt.names.size(), 1u);
    EXPECT_EQ(Stored(kKeys), m_original);
    ChangeCopy("edit again", 2000100);
    m_prompt.cancel = true;
    m_doc.CheckWatches();
    EXPECT_EQ(m_prompt.names.size(), 2u);
    EXPECT_EQ(m_action, IFileChangedPrompt::kContinueMonitoring);
    EXPECT_EQ(Stored(kKeys), m_original);
}

TEST_F(DocFileWatch, ChangedCopyBlocksLogout) {
    ChangeCopy("unsaved", 2000000);
    EXPECT_FALSE(m_doc.CanClose());
    EXPECT_FALSE(m_doc.Logout());
    EXPECT_TRUE(m_doc.IsAuthorised());
    ASSERT_FALSE(m_messages.Messages().empty());
    EXPECT_EQ(m_messages.Messages().back().text,
              "Please close all opened and unsaved items before exit or logout from Tresorix Pro.");
    m_prompt.answer = IFileChangedPrompt::kUploadAndMonitor;
    m_doc.CheckWatches();
    EXPECT_TRUE(m_doc.Logout());
    EXPECT_FALSE(std::filesystem::exists(m_copy));
}

TEST_F(DocFileWatch, SecondRecordWithSameFileNameTakesTheCopyOver) {
    int twin = m_doc.CopyItem(kKeys);
    ASSERT_GT(twin, 0);
    ASSERT_TRUE(m_doc.GetFileWatcher().FindWatch(m_copy.string()));
    std::string twinBytes = "twin contents";
    WriteFile(m_dir / "twin.bin", twinBytes);
    ASSERT_TRUE(
        CFileParts::StoreFile((m_dir / "twin.bin").string(), twin, m_doc.GetTresorix().Get()));

    m_messages.Script({IDYES});
    ASSERT_TRUE(m_doc.OpenFileItem(twin));
    EXPECT_EQ(ReadFile(m_copy), twinBytes);
    ASSERT_EQ(m_doc.GetFileWatcher().GetWatches().size(), 1u);
    EXPECT_EQ(m_doc.GetFileWatcher().GetWatches()[0].id, twin);

    ChangeCopy("edited twin", 2000000);
    m_prompt.answer = IFileChangedPrompt::kUploadAndMonitor;
    m_doc.CheckWatches();
    EXPECT_EQ(Stored(twin), "edited twin");
    EXPECT_EQ(Stored(kKeys), m_original);
}

} // namespace
