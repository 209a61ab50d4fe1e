#include "platform/MessageBox.h"
#include "security/Login.h"
#include "security/LoginTestVault.h"
#include "security/LoginText.h"
#include "security/PasswordChange.h"
#include "storage/SQLiteEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

using REPORT = std::pair<std::uint64_t, std::uint64_t>;

TEST(PasswordChangeProgress, EveryPayloadIsCountedAndAStopAnswerIsIgnored) {
    txtest::ScratchDir dir;
    CScopedMessageRecorder messages;
    logintest::VAULT vault;
    vault.favorites = {3};
    vault.treePayloads = {"one", "<null>", "three", "four"};
    vault.partPayloads = {std::string(5000, 'p'), "q"};
    const auto path = dir / "v.tpx";
    logintest::CreateVault(path, vault);
    const auto before = logintest::DecryptAll(path, MakeKeyText("pw"));

    std::vector<REPORT> reports;
    // Answers "stop" every time: the change must still run to its end, all or nothing.
    ASSERT_TRUE(ApplyPasswordChange(path.string(), MakeKeyText("pw"), MakeKeyText("new"), "user",
                                    "", [&](std::uint64_t done, std::uint64_t total) {
                                        reports.emplace_back(done, total);
                                        return false;
                                    }));
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(logintest::DecryptAll(path, MakeKeyText("new")), before);
    EXPECT_EQ(CheckLogin(path.string(), "user", MakeKeyText("new")), 1);

    // The header row, the four tree rows and the two file parts, each counted once, the row
    // without payload too.
    const std::uint64_t total = reports.empty() ? 0 : reports.back().second;
    EXPECT_EQ(total, 1u + 4u + 2u);
    ASSERT_EQ(reports.size(), total + 1);
    for (std::uint64_t i = 0; i <= total; ++i)
        EXPECT_EQ(reports[i], REPORT(i, total));
}

// Fails the n-th statement that starts with prefix; the real engine runs the others.
class CFailingStatement {
public:
    CFailingStatement(const char* prefix, int n) {
        s_prefix = prefix;
        s_left = n;
        SQLITE_ENGINE engine = RealSQLiteEngine();
        engine.exec = &Exec;
        m_previous = SetSQLiteEngine(engine);
    }
    ~CFailingStatement() { SetSQLiteEngine(m_previous); }
    CFailingStatement(const CFailingStatement&) = delete;
    CFailingStatement& operator=(const CFailingStatement&) = delete;

private:
    static int Exec(sqlite* db, const char* sql, sqlite_callback cb, void* arg, char** error) {
        if (std::strncmp(sql, s_prefix, std::strlen(s_prefix)) == 0 && --s_left == 0) {
            if (error)
                *error = nullptr;
            return SQLITE_FULL;
        }
        return RealSQLiteEngine().exec(db, sql, cb, arg, error);
    }

    static inline const char* s_prefix = "";
    static inline int s_left = 0;
    SQLITE_ENGINE m_previous;
};

TEST(PasswordChangeProgress, AFailureStopsShortOfTheTotalAndChangesNothing) {
    txtest::ScratchDir dir;
    CScopedMessageRecorder messages;
    logintest::VAULT vault;
    vault.treePayloads = {"one", "two", "three"};
    const auto path = dir / "v.tpx";
    logintest::CreateVault(path, vault);
    const auto before = logintest::DecryptAll(path, MakeKeyText("pw"));
    std::vector<REPORT> reports;
    {
        CFailingStatement fail("update tresorix_main", 2);
        EXPECT_FALSE(ApplyPasswordChange(path.string(), MakeKeyText("pw"), MakeKeyText("new"),
                                         "user", "", [&](std::uint64_t done, std::uint64_t total) {
                                             reports.emplace_back(done, total);
                                             return true;
                                         }));
    }
    ASSERT_FALSE(reports.empty());
    EXPECT_LT(reports.back().first, reports.back().second);
    EXPECT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(logintest::DecryptAll(path, MakeKeyText("pw")), before);
    EXPECT_EQ(CheckLogin(path.string(), "user", MakeKeyText("pw")), 1);
}

} // namespace
