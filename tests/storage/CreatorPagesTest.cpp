#include "storage/CreatorPages.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"

#include "common/Fixtures.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(CreatorFilePage, AddsTheDefaultExtensionOnlyWhenMissing) {
    txtest::ScratchDir dir;
    CScopedMessageRecorder messages;

    CFileNamePageCheck check = CheckFileNamePage((dir / "vault").string());
    EXPECT_TRUE(check.moveOn);
    EXPECT_EQ(check.path, (dir / "vault.trx").string());

    check = CheckFileNamePage((dir / "vault.tpx").string());
    EXPECT_TRUE(check.moveOn);
    EXPECT_EQ(check.path, (dir / "vault.tpx").string());

    // The dot of a folder does not count as the file's extension.
    check = CheckFileNamePage((dir / "my.folder" / "vault").string());
    EXPECT_EQ(check.path, (dir / "my.folder" / "vault.trx").string());
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(CreatorFilePage, EmptyAndInvalidNamesStayWithAWarning) {
    CScopedMessageRecorder messages;
    CFileNamePageCheck check = CheckFileNamePage("");
    EXPECT_FALSE(check.moveOn);
    EXPECT_FALSE(check.selectPath);

    // A reserved folder name, and a trailing dot (which counts as an extension, so nothing is
    // appended to hide it).
    check = CheckFileNamePage("/srv/nul/vault");
    EXPECT_FALSE(check.moveOn);
    check = CheckFileNamePage("/srv/vault.");
    EXPECT_FALSE(check.moveOn);
    EXPECT_EQ(check.path, "/srv/vault.");

    check = CheckFileNamePage("/srv/va|lt.tpx");
    EXPECT_FALSE(check.moveOn);
    EXPECT_TRUE(check.selectPath);

    ASSERT_EQ(messages.Messages().size(), 4u);
    EXPECT_EQ(messages.Messages()[0].text, "You should select a file.");
    EXPECT_EQ(messages.Messages()[0].flags, unsigned(MB_ICONEXCLAMATION));
    EXPECT_EQ(messages.Messages()[1].text,
              "A filename you provided is incorrect.\n\nA filename cannot contain any of the "
              "following characters:\n\t\t\\/:*?\"<>|");
}

TEST(CreatorFilePage, ExistingFileNeedsAYes) {
    txtest::ScratchDir dir;
    std::ofstream((dir / "a.tpx").string()) << "old";
    const std::string path = (dir / "a.tpx").string();
    CScopedMessageRecorder messages;
    messages.Script({IDNO, IDCANCEL, IDYES});

    EXPECT_TRUE(CheckFileNamePage(path).selectPath);
    EXPECT_FALSE(CheckFileNamePage(path).moveOn);
    EXPECT_TRUE(CheckFileNamePage(path).moveOn);

    ASSERT_EQ(messages.Messages().size(), 3u);
    EXPECT_EQ(messages.Messages()[0].text,
              "File " + path +
                  " already exists. Do you want to overwrite it?\n\nWARNING: All data in the file "
                  "will be lost.");
    EXPECT_EQ(messages.Messages()[0].flags, unsigned(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(txtest::ReadFile(dir / "a.tpx"), "old"); // asking never touches the file
}

TEST(CreatorPasswordPage, ChecksInOrderAndSaysWhatToClear) {
    CScopedMessageRecorder messages;
    CPasswordPageCheck check = CheckPasswordPage("", "a", "b");
    EXPECT_FALSE(check.moveOn);
    EXPECT_TRUE(check.clearPasswords);
    EXPECT_EQ(check.focus, CPasswordPageCheck::kFocusUsername);

    check = CheckPasswordPage("alice", "secret", "secreT");
    EXPECT_FALSE(check.moveOn);
    EXPECT_TRUE(check.clearPasswords);
    EXPECT_EQ(check.focus, CPasswordPageCheck::kFocusPassword);

    check = CheckPasswordPage("alice", "secret", "secret");
    EXPECT_TRUE(check.moveOn);
    EXPECT_FALSE(check.clearPasswords);

    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0].text, "You should type a username.");
    EXPECT_EQ(messages.Messages()[1].text, "The password you typed does not match. Please retype "
                                           "the password in both boxes.");
}

TEST(CreatorPasswordPage, EmptyPasswordIsAcceptedAfterAnsweringNo) {
    CScopedMessageRecorder messages;
    messages.Script({IDYES, IDNO});
    CPasswordPageCheck check = CheckPasswordPage("bob", "", "");
    EXPECT_FALSE(check.moveOn);
    EXPECT_TRUE(check.clearPasswords);
    EXPECT_EQ(check.focus, CPasswordPageCheck::kFocusPassword);

    check = CheckPasswordPage("bob", "", "");
    EXPECT_TRUE(check.moveOn);
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[1].flags, unsigned(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(messages.Messages()[1].text, LoadString(IDS_CREATE_EMPTY_PASSWORD));
}

TEST(CreatorCategories, FourteenInDisplayOrder) {
    const std::vector<unsigned>& ids = DefaultCategories();
    ASSERT_EQ(ids.size(), 14u);
    EXPECT_EQ(LoadString(ids.front()), "Email Accounts");
    EXPECT_EQ(LoadString(ids[8]), "Entertainment");
    EXPECT_EQ(LoadString(ids[9]), "Applications");
    EXPECT_EQ(LoadString(ids.back()), "Useful Links");
    EXPECT_EQ(VisibleDefaultCategories(), ids);
}
