#include "platform/MessageBox.h"
#include "security/Autorizator.h"
#include "security/Login.h"
#include "security/LoginTestVault.h"
#include "security/LoginText.h"
#include "security/PasswordChange.h"

#include <gtest/gtest.h>

using logintest::DecryptAll;
using logintest::QueryText;

namespace {

class PasswordChange : public ::testing::Test {
protected:
    PASSWORD_CHANGE_CHECK Validate(const PASSWORD_CHANGE_VALUES& values) {
        m_autorizator.SetKey(MakeKeyText("old \xe9"));
        return ValidatePasswordChange(m_autorizator, values);
    }
    static PASSWORD_CHANGE_VALUES Values() {
        PASSWORD_CHANGE_VALUES values;
        values.currentPassword = "old \xc3\xa9";
        values.newUsername = "someone";
        values.newPassword = "new";
        values.newPasswordAgain = "new";
        return values;
    }

    txtest::ScratchDir m_dir;
    CAutorizator m_autorizator;
    CScopedMessageRecorder m_messages;
};

} // namespace

TEST_F(PasswordChange, ValidationPassesWithTheKeysOfBothPasswords) {
    PASSWORD_CHANGE_CHECK check = Validate(Values());
    EXPECT_TRUE(check.passed);
    EXPECT_EQ(check.oldKeyText, MakeKeyText("old \xe9"));
    EXPECT_EQ(check.newKeyText, MakeKeyText("new"));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(PasswordChange, WrongCurrentPasswordComesFirst) {
    PASSWORD_CHANGE_VALUES values = Values();
    values.currentPassword = "old e";
    values.newUsername = "";
    PASSWORD_CHANGE_CHECK check = Validate(values);
    EXPECT_FALSE(check.passed);
    EXPECT_EQ(check.focus, PASSWORD_CHANGE_CHECK::kCurrentPassword);
    EXPECT_TRUE(check.clearCurrentPassword);
    EXPECT_TRUE(check.clearNewPasswords);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text,
              "The old password you typed is incorrect. Please retype the old password.");
    EXPECT_EQ(m_messages.Messages()[0].flags, static_cast<unsigned>(MB_ICONEXCLAMATION));
}

TEST_F(PasswordChange, EmptyUsernameThenDifferingPasswords) {
    PASSWORD_CHANGE_VALUES values = Values();
    values.newUsername = "";
    values.newPasswordAgain = "other";
    PASSWORD_CHANGE_CHECK check = Validate(values);
    EXPECT_EQ(check.focus, PASSWORD_CHANGE_CHECK::kUsername);
    EXPECT_FALSE(check.clearCurrentPassword);
    EXPECT_TRUE(check.clearNewPasswords);
    values.newUsername = "u";
    check = Validate(values);
    EXPECT_FALSE(check.passed);
    EXPECT_EQ(check.focus, PASSWORD_CHANGE_CHECK::kNewPassword);
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].text, "You should type a username.");
    EXPECT_EQ(m_messages.Messages()[1].text, "The new password you typed do not match. Please "
                                             "retype the new password in both boxes.");
}

TEST_F(PasswordChange, EmptyNewPasswordIsAskedFor) {
    PASSWORD_CHANGE_VALUES values = Values();
    values.newPassword = values.newPasswordAgain = "";
    m_messages.Script({IDYES, IDNO});
    PASSWORD_CHANGE_CHECK yes = Validate(values);
    EXPECT_FALSE(yes.passed);
    EXPECT_EQ(yes.focus, PASSWORD_CHANGE_CHECK::kNewPassword);
    PASSWORD_CHANGE_CHECK no = Validate(values);
    EXPECT_TRUE(no.passed);
    EXPECT_EQ(no.newKeyText, MakeKeyText(""));
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].flags, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
}

TEST_F(PasswordChange, AppliedChangeKeepsEveryPayload) {
    TX_REQUIRE_FIXTURES();
    auto path = logintest::CopyVault("sample", m_dir);
    const std::string oldKey = MakeKeyText("S3cret!pass");
    const std::string newKey = MakeKeyText("n\xc3\xa9w");
    auto before = DecryptAll(path, oldKey);
    ASSERT_GT(before.size(), 25u);

    ASSERT_TRUE(ApplyPasswordChange(path.string(), oldKey, newKey, "carol2", "new hint"));
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_EQ(DecryptAll(path, newKey), before);
    EXPECT_EQ(CheckLogin(path.string(), "carol2", oldKey), 0);
    EXPECT_EQ(CheckLogin(path.string(), "carol", newKey), 0);
    EXPECT_EQ(CheckLogin(path.string(), "carol2", newKey), 1);
    EXPECT_EQ(QueryText(path, "select secret_word from tresorix_tresorix"), "new hint");
    EXPECT_EQ(QueryText(path, "select password_required from tresorix_tresorix"), "1");
}

TEST_F(PasswordChange, RowsWithoutPayloadStayEmpty) {
    logintest::VAULT vault;
    vault.treePayloads = {"record", "<null>", ""};
    vault.partPayloads = {std::string(600, 'p')};
    auto path = m_dir / "v.tpx";
    logintest::CreateVault(path, vault);
    auto before = DecryptAll(path, MakeKeyText("pw"));
    ASSERT_TRUE(
        ApplyPasswordChange(path.string(), MakeKeyText("pw"), MakeKeyText("x"), "user", ""));
    auto after = DecryptAll(path, MakeKeyText("x"));
    EXPECT_EQ(after, before);
    EXPECT_EQ(after.at({"tresorix_main", 2}), "<null>");
}

TEST_F(PasswordChange, FailurePartWayLeavesTheFileAsItWas) {
    logintest::VAULT vault;
    vault.favorites = {3, 4};
    vault.treePayloads = {"one", "two"};
    auto path = m_dir / "v.tpx";
    logintest::CreateVault(path, vault);
    const std::string oldKey = MakeKeyText("pw");
    auto before = DecryptAll(path, oldKey);
    // The file parts go last; without their table the change fails after the header and the
    // tree were already re-encrypted.
    logintest::ExecuteSql(path, "drop table tresorix_data");

    EXPECT_FALSE(ApplyPasswordChange(path.string(), oldKey, MakeKeyText("new"), "other", "h"));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].flags, static_cast<unsigned>(MB_ICONSTOP));

    EXPECT_EQ(CheckLogin(path.string(), "user", oldKey), 1);
    EXPECT_EQ(QueryText(path, "select username from tresorix_tresorix"), "user");
    EXPECT_EQ(DecryptAll(path, oldKey), before);
}

TEST_F(PasswordChange, MissingFileIsNotCreated) {
    auto missing = m_dir / "missing.tpx";
    EXPECT_FALSE(ApplyPasswordChange(missing.string(), "a", "b", "u", ""));
    EXPECT_FALSE(std::filesystem::exists(missing));
}
