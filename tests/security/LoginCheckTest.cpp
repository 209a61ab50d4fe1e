#include "platform/MessageBox.h"
#include "security/Login.h"
#include "security/LoginTestVault.h"
#include "security/LoginText.h"

#include <gtest/gtest.h>

#include <fstream>

using logintest::CreateVault;
using logintest::ExecuteSql;
using logintest::VAULT;

namespace {

const char kRefused[] = "Did you forget your username or password?\n\nPlease type your username "
                        "and password again.\nBe sure to use the correct uppercase and lowercase "
                        "letters.";

class LoginCheck : public ::testing::Test {
protected:
    std::string Make(const VAULT& vault, const std::string& name = "v.tpx") {
        auto path = m_dir / name;
        CreateVault(path, vault);
        return path.string();
    }

    txtest::ScratchDir m_dir;
    CScopedMessageRecorder m_messages;
};

} // namespace

TEST_F(LoginCheck, RightCredentialsAreAcceptedSilently) {
    VAULT vault;
    vault.username = "Alice";
    vault.password = "correct horse";
    std::string path = Make(vault);
    EXPECT_EQ(CheckLogin(path, "Alice", MakeKeyText("correct horse")), 1);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(LoginCheck, WrongPasswordOrCaseOfUsernameIsRefusedWith61221) {
    VAULT vault;
    vault.username = "Alice";
    std::string path = Make(vault);
    EXPECT_EQ(CheckLogin(path, "Alice", MakeKeyText("PW")), 0);
    EXPECT_EQ(CheckLogin(path, "alice", MakeKeyText("pw")), 0);
    EXPECT_EQ(CheckLogin(path, "Alice ", MakeKeyText("pw")), 0);
    ASSERT_EQ(m_messages.Messages().size(), 3u);
    for (const auto& message : m_messages.Messages()) {
        EXPECT_EQ(message.text, kRefused);
        EXPECT_EQ(message.flags, static_cast<unsigned>(MB_ICONSTOP));
        EXPECT_EQ(message.caption, "Tresorix Pro");
    }
}

TEST_F(LoginCheck, EmptyPasswordIsAPasswordLikeAnyOther) {
    VAULT vault;
    vault.password = "";
    std::string path = Make(vault);
    EXPECT_EQ(MakeKeyText(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(CheckLogin(path, "user", MakeKeyText("")), 1);
    EXPECT_EQ(CheckLogin(path, "user", MakeKeyText(" ")), 0);
}

TEST_F(LoginCheck, HeaderWithoutPasswordRequiredAcceptsNobody) {
    std::string path = Make(VAULT{});
    ExecuteSql(path, "update tresorix_tresorix set password_required = 0 where id = 1");
    EXPECT_EQ(CheckLogin(path, "user", MakeKeyText("pw")), 0);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text, kRefused);
}

TEST_F(LoginCheck, DamagedSealIsRefused) {
    std::string path = Make(VAULT{});
    ExecuteSql(path, "update tresorix_tresorix set data = 'x' where id = 1");
    EXPECT_EQ(CheckLogin(path, "user", MakeKeyText("pw")), 0);
    ExecuteSql(path, "update tresorix_tresorix set data = NULL where id = 1");
    EXPECT_EQ(CheckLogin(path, "user", MakeKeyText("pw")), 0);
    EXPECT_EQ(m_messages.Messages().size(), 2u);
}

TEST_F(LoginCheck, FileThatIsNoDataFileShowsTheDatabaseError) {
    auto empty = m_dir / "empty.tpx";
    ExecuteSql(empty, "create table other (a)");
    EXPECT_EQ(CheckLogin(empty.string(), "user", MakeKeyText("pw")), 0);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_NE(m_messages.Messages()[0].text, kRefused);
    EXPECT_EQ(m_messages.Messages()[0].flags, static_cast<unsigned>(MB_ICONSTOP));

    m_messages.Clear();
    auto junk = m_dir / "junk.tpx";
    std::ofstream(junk) << std::string(4096, 'j');
    EXPECT_EQ(CheckLogin(junk.string(), "user", MakeKeyText("pw")), 0);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_NE(m_messages.Messages()[0].text, kRefused);
}

TEST_F(LoginCheck, MissingFileIsNotCreated) {
    auto missing = m_dir / "missing.tpx";
    EXPECT_EQ(CheckLogin(missing.string(), "user", MakeKeyText("pw")), 0);
    ShowPasswordHint(missing.string());
    EXPECT_FALSE(std::filesystem::exists(missing));
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].text, "Error: Database not found.");
    EXPECT_EQ(m_messages.Messages()[1].flags, static_cast<unsigned>(MB_ICONSTOP));
}

TEST_F(LoginCheck, PasswordHint) {
    VAULT vault;
    vault.hint = "the usual";
    std::string path = Make(vault);
    ShowPasswordHint(path);
    VAULT none;
    std::string other = Make(none, "none.tpx");
    ShowPasswordHint(other);
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].text, "the usual");
    EXPECT_EQ(m_messages.Messages()[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(m_messages.Messages()[1].text, "Password hint not specified.");
}

TEST_F(LoginCheck, WindowsMadeFileOpensWithWhatIsTyped) {
    VAULT vault;
    vault.username = "Jos\xe9";
    vault.password = "Caf\xe9 \x80";
    std::string path = Make(vault);
    LOGIN_MATCH match;
    EXPECT_TRUE(CheckTypedLogin(path, "Jos\xc3\xa9", "Caf\xc3\xa9 \xe2\x82\xac", &match));
    EXPECT_EQ(match.username, "Jos\xe9");
    EXPECT_EQ(match.keyText, MakeKeyText("Caf\xe9 \x80"));
    EXPECT_TRUE(m_messages.Messages().empty()) << "no refusal before the second form is tried";

    EXPECT_FALSE(CheckTypedLogin(path, "Jos\xc3\xa9", "Cafe \xe2\x82\xac", &match));
    EXPECT_EQ(m_messages.Messages().size(), 1u) << "one refusal after every form failed";
}

TEST_F(LoginCheck, FileMadeHereOpensWithTheUtf8BytesFirst) {
    VAULT vault;
    vault.username = "Jos\xc3\xa9";
    vault.password = "Caf\xc3\xa9";
    std::string path = Make(vault);
    LOGIN_MATCH match;
    EXPECT_TRUE(CheckTypedLogin(path, "Jos\xc3\xa9", "Caf\xc3\xa9", &match));
    EXPECT_EQ(match.keyText, MakeKeyText("Caf\xc3\xa9"));
    EXPECT_EQ(match.username, "Jos\xc3\xa9");
}
