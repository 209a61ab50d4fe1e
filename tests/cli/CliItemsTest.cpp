#include "cli/CliTestSupport.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

using txtest::CLIRUN;
using txtest::CliVaultDir;

namespace {

// The names of a folder's children, in stored order.
std::vector<std::string> NamesIn(const CliVaultDir& dir, const std::string& folder) {
    std::vector<std::string> names;
    for (const QJsonValue& item : dir.Json({"ls", folder}).array())
        names.push_back(item.toObject()["name"].toString().toStdString());
    return names;
}

QJsonObject Show(const CliVaultDir& dir, const std::string& item, bool reveal = true) {
    std::vector<std::string> words = {"show", item};
    if (reveal)
        words.push_back("--reveal");
    return dir.Json(words).object();
}

} // namespace

TEST(CliAdd, PasswordRecordWithEveryFieldAsTheExampleGivesIt) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/Work/Deep"}).code, 0);
    CLIRUN run =
        dir.Run({"add", "--type", "password", "--folder", "My Passwords/Work", "--name", "Mail",
                 "--login", "a@b.org", "--password", "s3cr3t", "--url", "https://b.org", "--email",
                 "a@b.org", "--field", "PIN=1234", "--masked-field", "Secret Word=x"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.substr(run.out.find(' ') + 1), "My Passwords/Work/Mail\n");
    const QJsonObject record = Show(dir, "My Passwords/Work/Mail");
    EXPECT_EQ(record["type"].toString(), "Password");
    const QJsonObject fields = record["fields"].toObject();
    EXPECT_EQ(fields["login"].toString(), "a@b.org");
    EXPECT_EQ(fields["password"].toString(), "s3cr3t");
    EXPECT_EQ(fields["url"].toString(), "https://b.org");
    EXPECT_EQ(fields["email"].toString(), "a@b.org");
    const QJsonArray custom = record["custom_fields"].toArray();
    ASSERT_EQ(custom.size(), 2);
    EXPECT_EQ(custom[0].toObject()["name"].toString(), "PIN");
    EXPECT_EQ(custom[0].toObject()["value"].toString(), "1234");
    EXPECT_FALSE(custom[0].toObject()["masked"].toBool());
    EXPECT_EQ(custom[1].toObject()["name"].toString(), "Secret Word");
    EXPECT_TRUE(custom[1].toObject()["masked"].toBool());
}

TEST(CliShow, HidesPasswordsAndMaskedValuesUnlessRevealed) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"add", "--name", "Mail", "--password", "s3cr3t", "--masked-field", "Q=hid",
                       "--field", "P=shown"})
                  .code,
              0);
    ASSERT_EQ(dir.Run({"add", "--type", "card", "--name", "Visa", "--number", "4111",
                       "--security-code", "123", "--pin", "4321", "--expires", "07/2027"})
                  .code,
              0);
    CLIRUN text = dir.Run({"show", "My Passwords/Mail", "My Passwords/Visa"});
    ASSERT_EQ(text.code, 0) << text.err;
    for (const char* secret : {"s3cr3t", "hid", "123", "4321"})
        EXPECT_EQ(text.out.find(secret), std::string::npos) << secret;
    EXPECT_NE(text.out.find("shown"), std::string::npos);
    EXPECT_NE(text.out.find("07/2027"), std::string::npos);
    EXPECT_NE(text.out.find("4111"), std::string::npos);
    const QJsonObject hidden = Show(dir, "My Passwords/Mail", false);
    EXPECT_TRUE(hidden["fields"].toObject()["password"].isNull());
    EXPECT_TRUE(hidden["custom_fields"].toArray()[0].toObject()["value"].isNull());
    CLIRUN revealed = dir.Run({"show", "--reveal", "My Passwords/Mail", "#4"});
    EXPECT_NE(revealed.out.find("s3cr3t"), std::string::npos);
    EXPECT_NE(revealed.out.find("hid"), std::string::npos);
    const QJsonObject card = Show(dir, "My Passwords/Visa")["fields"].toObject();
    EXPECT_EQ(card["expires"].toString(), "07\n2027");
    EXPECT_EQ(card["pin"].toString(), "4321");
}

TEST(CliAdd, NotesUrlsAndCommentsFromAFile) {
    CliVaultDir dir;
    ASSERT_EQ(
        dir.Run({"add", "--type", "note", "--name", "Note", "--comments", "Remember this"}).code,
        0);
    txtest::WriteFile(dir / "text.txt", "line one\r\nline two\n\ttabbed\n");
    ASSERT_EQ(
        dir.Run({"add", "--type", "note", "--name", "Long", "--comments-file", dir / "text.txt"})
            .code,
        0);
    ASSERT_EQ(dir.Run({"add", "--type", "url", "--name", "Site", "--url", "https://x.org"}).code,
              0);
    EXPECT_EQ(Show(dir, "My Passwords/Note")["comments"].toString(), "Remember this");
    EXPECT_EQ(Show(dir, "My Passwords/Long")["comments"].toString(),
              "line one\r\nline two\n\ttabbed\n");
    const QJsonObject url = Show(dir, "My Passwords/Site");
    EXPECT_EQ(url["type"].toString(), "URL");
    EXPECT_EQ(url["fields"].toObject()["url"].toString(), "https://x.org");
}

TEST(CliAdd, BadOptionsWriteNothing) {
    CliVaultDir dir;
    const std::string before = txtest::FileDigest(dir.Vault());
    EXPECT_EQ(dir.Run({"add", "--type", "rocket", "--name", "x"}).code, 1);
    EXPECT_EQ(dir.Run({"add", "--type", "note", "--number", "4111"}).code, 1);
    EXPECT_EQ(dir.Run({"add", "--field", "novalue"}).code, 1);
    EXPECT_EQ(dir.Run({"add", "--field", "a\tb=c"}).code, 1);
    EXPECT_EQ(dir.Run({"add", "--field", "a=line\nbreak"}).code, 1);
    EXPECT_EQ(dir.Run({"add", "--comments", "a", "--comments-file", "b"}).code, 1);
    EXPECT_EQ(dir.Run({"add", "--image", "-3"}).code, 1);
    EXPECT_EQ(dir.Run({"add", "--folder", "My Passwords/Nowhere", "--name", "x"}).code, 3);
    EXPECT_EQ(dir.Run({"add", "--comments-file", dir / "missing.txt", "--name", "x"}).code, 3);
    EXPECT_EQ(dir.Run({"add", "--folder", "Elsewhere/x", "--name", "x"}).code, 3);
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), before);
    EXPECT_EQ(NamesIn(dir, "My Passwords"), std::vector<std::string>{"Deleted"});
}

TEST(CliEdit, ChangesOnlyTheFieldsGiven) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"add", "--name", "Mail", "--login", "me", "--password", "old", "--field",
                       "A=1", "--field", "B=2", "--comments", "keep"})
                  .code,
              0);
    const QJsonObject before = Show(dir, "My Passwords/Mail");
    CLIRUN run = dir.Run({"edit", "My Passwords/Mail", "--password", "new", "--field", "A=one",
                          "--remove-field", "B", "--masked-field", "C=3", "--name", "Post"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject after = Show(dir, "My Passwords/Post");
    EXPECT_EQ(after["fields"].toObject()["password"].toString(), "new");
    EXPECT_EQ(after["fields"].toObject()["login"].toString(), "me");
    EXPECT_EQ(after["comments"].toString(), "keep");
    EXPECT_EQ(after["created"], before["created"]);
    const QJsonArray custom = after["custom_fields"].toArray();
    ASSERT_EQ(custom.size(), 2);
    EXPECT_EQ(custom[0].toObject()["value"].toString(), "one");
    EXPECT_EQ(custom[1].toObject()["name"].toString(), "C");
    EXPECT_TRUE(custom[1].toObject()["masked"].toBool());

    const std::string unchanged = txtest::FileDigest(dir.Vault());
    EXPECT_EQ(dir.Run({"edit", "My Passwords/Post", "--remove-field", "Z"}).code, 3);
    EXPECT_EQ(dir.Run({"edit", "My Passwords/Post", "--number", "1"}).code, 1);
    EXPECT_EQ(dir.Run({"edit", "#99", "--name", "x"}).code, 3);
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), unchanged);
}

TEST(CliPaths, NamesIdentifiersEscapesAndAmbiguity) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/a\\/b"}).code, 0);
    const int slashFolder = CliVaultDir::IdOf(dir.Run({"mkdir", "My Passwords/a\\/b"}));
    ASSERT_GT(slashFolder, 0);
    EXPECT_EQ(NamesIn(dir, "My Passwords"), (std::vector<std::string>{"Deleted", "a/b"}));
    EXPECT_EQ(Show(dir, "#" + std::to_string(slashFolder))["path"].toString(),
              "My Passwords/a\\/b");
    ASSERT_EQ(dir.Run({"add", "--name", "Twin"}).code, 0);
    ASSERT_EQ(dir.Run({"add", "--name", "Twin"}).code, 0);
    CLIRUN run = dir.Run({"show", "My Passwords/Twin"});
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("several"), std::string::npos);
    EXPECT_EQ(dir.Run({"show", "#0"}).code, 3);
    EXPECT_EQ(dir.Run({"show", "#x"}).code, 3);
    EXPECT_EQ(dir.Run({"show", "My Passwords//Twin"}).code, 3);
    EXPECT_EQ(dir.Run({"show", "My Passwords"}).code, 0);
}

TEST(CliMkdir, MakesParentsAndKeepsExistingFolders) {
    CliVaultDir dir;
    const QJsonObject made = dir.Json({"mkdir", "My Passwords/Work/Deep/Deeper"}).object();
    EXPECT_EQ(made["created"].toArray().size(), 3);
    EXPECT_EQ(made["path"].toString(), "My Passwords/Work/Deep/Deeper");
    const QJsonObject again = dir.Json({"mkdir", "My Passwords/Work/Deep"}).object();
    EXPECT_TRUE(again["created"].toArray().isEmpty());
    EXPECT_EQ(again["id"], made["created"].toArray()[1]);
    ASSERT_EQ(dir.Run({"add", "--folder", "My Passwords/Work", "--name", "Leaf"}).code, 0);
    EXPECT_EQ(dir.Run({"mkdir", "My Passwords/Work/Leaf/x"}).code, 3);
    EXPECT_EQ(NamesIn(dir, "My Passwords/Work"), (std::vector<std::string>{"Deep", "Leaf"}));
}

TEST(CliLs, TreeFolderAndRecursiveListings) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/Work/Deep"}).code, 0);
    ASSERT_EQ(dir.Run({"add", "--folder", "My Passwords/Work/Deep", "--name", "Inner"}).code, 0);
    CLIRUN tree = dir.Run({"ls"});
    ASSERT_EQ(tree.code, 0);
    EXPECT_NE(tree.out.find("Password"), std::string::npos);
    EXPECT_NE(tree.out.find("      Inner\n"), std::string::npos) << tree.out;
    EXPECT_EQ(NamesIn(dir, "My Passwords/Work"), std::vector<std::string>{"Deep"});
    const QJsonArray deep = dir.Json({"ls", "-R", "My Passwords/Work"}).array();
    ASSERT_EQ(deep.size(), 2);
    EXPECT_EQ(deep[1].toObject()["path"].toString(), "My Passwords/Work/Deep/Inner");
    EXPECT_EQ(deep[1].toObject()["type"].toString(), "Password");
}

TEST(CliMoveCopyDelete, RearrangesTheTreeAndRefusesWhatWouldBreakIt) {
    CliVaultDir dir;
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/A/B"}).code, 0);
    ASSERT_EQ(dir.Run({"mkdir", "My Passwords/C"}).code, 0);
    ASSERT_EQ(dir.Run({"add", "--folder", "My Passwords/A", "--name", "R", "--password", "p"}).code,
              0);
    ASSERT_EQ(dir.Run({"mv", "My Passwords/A/R", "My Passwords/A/B", "My Passwords/C"}).code, 0);
    EXPECT_EQ(NamesIn(dir, "My Passwords/C"), (std::vector<std::string>{"B", "R"}));
    EXPECT_TRUE(NamesIn(dir, "My Passwords/A").empty());

    const std::string before = txtest::FileDigest(dir.Vault());
    EXPECT_EQ(dir.Run({"mv", "My Passwords/C", "My Passwords/C/B"}).code, 3);
    EXPECT_EQ(dir.Run({"mv", "My Passwords", "My Passwords/A"}).code, 3);
    EXPECT_EQ(dir.Run({"mv", "My Passwords/C/R", "My Passwords/C/R"}).code, 3);
    EXPECT_EQ(dir.Run({"rm", "#2"}).code, 3);
    EXPECT_EQ(dir.Run({"cp", "My Passwords/C"}).code, 3);
    EXPECT_EQ(txtest::FileDigest(dir.Vault()), before);

    CLIRUN copy = dir.Run({"cp", "My Passwords/C/R"});
    ASSERT_EQ(copy.code, 0) << copy.err;
    EXPECT_EQ(copy.out.substr(copy.out.find(' ') + 1), "My Passwords/C/R (2)\n");
    ASSERT_EQ(dir.Run({"cp", "My Passwords/C/R"}).code, 0);
    ASSERT_EQ(dir.Run({"cp", "My Passwords/C/R", "My Passwords/A"}).code, 0);
    EXPECT_EQ(NamesIn(dir, "My Passwords/C"),
              (std::vector<std::string>{"B", "R", "R (2)", "R (3)"}));
    EXPECT_EQ(NamesIn(dir, "My Passwords/A"), std::vector<std::string>{"R"});
    EXPECT_EQ(Show(dir, "My Passwords/A/R")["fields"].toObject()["password"].toString(), "p");

    ASSERT_EQ(dir.Run({"rm", "My Passwords/C/R (2)", "My Passwords/C/B"}).code, 0);
    EXPECT_EQ(NamesIn(dir, "My Passwords/Deleted"), (std::vector<std::string>{"B", "R (2)"}));
    ASSERT_EQ(dir.Run({"empty-trash"}).code, 0);
    EXPECT_TRUE(NamesIn(dir, "My Passwords/Deleted").empty());
    EXPECT_EQ(dir.Run({"empty-trash"}).code, 0);
    EXPECT_EQ(dir.Run({"check"}).code, 0);
}
