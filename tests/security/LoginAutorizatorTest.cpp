#include "platform/MessageBox.h"
#include "security/Autorizator.h"
#include "security/LoginTestVault.h"
#include "security/LoginText.h"

#include <gtest/gtest.h>

namespace {

// Types the scripted attempts in turn, as a user retrying after each refusal; cancels when
// the script runs out.
class CScriptedLogin : public ILoginDialog {
public:
    struct ATTEMPT {
        std::string path, username, password;
    };

    bool DoModal(const std::string& path, const CHECK& check, void*) override {
        shownPaths.push_back(path);
        while (m_next < attempts.size()) {
            const ATTEMPT& attempt = attempts[m_next++];
            std::vector<std::string> keys = PasswordKeyTexts(attempt.password);
            if (check(attempt.path.empty() ? path : attempt.path, attempt.username, keys))
                return true;
        }
        return false;
    }

    std::vector<ATTEMPT> attempts;
    std::vector<std::string> shownPaths;

private:
    std::size_t m_next = 0;
};

class Autorizator : public ::testing::Test {
protected:
    void SetUp() override {
        logintest::VAULT vault;
        vault.username = "Jos\xe9";
        vault.password = "s\xe9same";
        m_path = (m_dir / "a.tpx").string();
        logintest::CreateVault(m_path, vault);
        m_autorizator.SetLoginDialog(&m_dialog);
        m_autorizator.SetFilename(m_path);
    }

    txtest::ScratchDir m_dir;
    std::string m_path;
    CScriptedLogin m_dialog;
    CAutorizator m_autorizator;
    CScopedMessageRecorder m_messages;
};

} // namespace

TEST_F(Autorizator, LoginAfterARefusalKeepsTheAcceptedForms) {
    m_dialog.attempts = {{"", "Jos\xc3\xa9", "wrong"}, {"", "Jos\xc3\xa9", "s\xc3\xa9same"}};
    std::string key;
    EXPECT_EQ(m_autorizator.GetKey(key), 0);
    EXPECT_EQ(key, MakeKeyText("s\xe9same"));
    EXPECT_EQ(m_messages.Messages().size(), 1u);
    std::string username, path;
    EXPECT_EQ(m_autorizator.GetUsername(username), 1);
    EXPECT_EQ(username, "Jos\xe9");
    EXPECT_EQ(m_autorizator.GetFilename(path), 1);
    EXPECT_EQ(path, m_path);
    EXPECT_EQ(m_dialog.shownPaths, std::vector<std::string>{m_path});
}

TEST_F(Autorizator, CancelledLoginLeavesEverythingEmpty) {
    m_dialog.attempts = {{"", "Jos\xe9", "wrong"}};
    std::string key = "stale";
    EXPECT_EQ(m_autorizator.GetKey(key), -1);
    EXPECT_EQ(key, "");
    std::string username;
    EXPECT_EQ(m_autorizator.GetUsername(username), -1);
    EXPECT_EQ(m_dialog.shownPaths.size(), 2u);
}

TEST_F(Autorizator, DialogMayPickAnotherFile) {
    logintest::VAULT other;
    other.username = "bob";
    other.password = "";
    std::string otherPath = (m_dir / "b.tpx").string();
    logintest::CreateVault(otherPath, other);
    m_dialog.attempts = {{otherPath, "bob", ""}};
    EXPECT_EQ(m_autorizator.Login(), 0);
    std::string path, key;
    m_autorizator.GetFilename(path);
    m_autorizator.GetKey(key);
    EXPECT_EQ(path, otherPath);
    EXPECT_EQ(key, MakeKeyText(""));
}

TEST_F(Autorizator, ResetAndDirectCredentials) {
    m_autorizator.SetUsername("new");
    m_autorizator.SetKey("k");
    std::string value;
    EXPECT_EQ(m_autorizator.GetKey(value), 1);
    EXPECT_EQ(value, "k");
    m_autorizator.Reset();
    m_autorizator.SetLoginDialog(nullptr);
    EXPECT_EQ(m_autorizator.GetFilename(value), -1);
    EXPECT_EQ(value, "");
    EXPECT_EQ(m_autorizator.GetKey(value), -1);
    EXPECT_TRUE(m_dialog.shownPaths.empty());
}
