#include "cli/CliTestSupport.h"

#include "tools/Password.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using txtest::CLIRUN;
using txtest::RunCli;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool IsVowel(char c) {
    return std::string("eyuioaEYUIOA").find(c) != std::string::npos;
}

} // namespace

TEST(CliGenerate, DefaultsAndCharacterSets) {
    CLIRUN run = RunCli({"generate", "-n", "50"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> defaults = Lines(run.out);
    ASSERT_EQ(defaults.size(), 50u);
    const std::string pool = "QWERTYUIOPASDFGHJKLZXCVBNMqwertyuiopasdfghjklzxcvbnm0123456789"
                             "~!@#$%^&*()-,.=+<>[]{}`";
    for (const std::string& password : defaults) {
        EXPECT_EQ(password.size(), 16u);
        EXPECT_EQ(password.find_first_not_of(pool), std::string::npos) << password;
    }
    EXPECT_GT(std::set<std::string>(defaults.begin(), defaults.end()).size(), 45u);

    run = RunCli({"generate", "--length=40", "--no-upper", "--no-lower", "--no-special", "-n5"});
    for (const std::string& password : Lines(run.out)) {
        EXPECT_EQ(password.size(), 40u);
        EXPECT_EQ(password.find_first_not_of("0123456789"), std::string::npos);
    }
    run = RunCli({"generate", "--no-upper", "--no-lower", "--no-digits", "--no-special", "--other",
                  " a,b ", "-n", "5"});
    ASSERT_EQ(run.code, 0) << run.err;
    for (const std::string& password : Lines(run.out))
        EXPECT_EQ(password.find_first_not_of("ab"), std::string::npos);
    run = RunCli({"generate", "--exclude-dubious", "-l", "64", "-n", "20"});
    for (const std::string& password : Lines(run.out))
        EXPECT_EQ(password.find_first_of("!1Il0Oo^,.[]$ "), std::string::npos);
    // The last of two contradicting options counts.
    run =
        RunCli({"generate", "--no-digits", "--digits", "--no-upper", "--no-lower", "--no-special"});
    EXPECT_EQ(run.out.find_first_not_of("0123456789\n"), std::string::npos);
}

TEST(CliGenerate, PronounceableLevelTwoAlternates) {
    CLIRUN run = RunCli({"generate", "--pronounce", "2", "--no-lower", "--no-digits",
                         "--no-special", "-l", "30", "-n", "10"});
    ASSERT_EQ(run.code, 0);
    for (const std::string& password : Lines(run.out))
        for (std::size_t i = 1; i < password.size(); ++i)
            EXPECT_NE(IsVowel(password[i]), IsVowel(password[i - 1])) << password;
}

TEST(CliGenerate, JsonAndImpossibleOptions) {
    CLIRUN run = RunCli({"generate", "--json", "-n", "2", "--no-special"});
    const QJsonArray list = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
    ASSERT_EQ(list.size(), 2);
    for (const QJsonValue& entry : list) {
        const std::string password = entry.toObject()["password"].toString().toStdString();
        EXPECT_EQ(password.size(), 16u);
        EXPECT_EQ(entry.toObject()["firmness"].toInt(),
                  CPassword::EstimateFirmness(password.c_str()));
    }

    EXPECT_EQ(RunCli({"generate", "--no-upper", "--no-lower", "--no-digits", "--no-special"}).code,
              1);
    // Only symbols that are all excluded, or only blanks and commas: nothing can be made.
    EXPECT_EQ(RunCli({"generate", "--no-upper", "--no-lower", "--no-digits", "--no-special",
                      "--other", "1lI", "--exclude-dubious"})
                  .code,
              1);
    EXPECT_EQ(RunCli({"generate", "--no-upper", "--no-lower", "--no-digits", "--no-special",
                      "--other", " , "})
                  .code,
              1);
    EXPECT_EQ(RunCli({"generate", "-l", "0"}).code, 1);
    EXPECT_EQ(RunCli({"generate", "--pronounce", "3"}).code, 1);
    EXPECT_EQ(RunCli({"generate", "extra"}).code, 1);
}
