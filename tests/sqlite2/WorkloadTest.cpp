// A random catalogue workload against the engine and a plain in-memory model of the three
// tables; results are compared after every commit, with integrity_check each time.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>

#include "FakeBtree.h"
#include "SqlTestUtil.h"
#include "common/Fixtures.h"
#include "sqlite2/OpenWith.h"
#include "sqlite2/sqlite.h"

using namespace sqltest;

namespace {

struct MainRow {
    int parent = 0;
    std::string expanded = "1";
    std::optional<std::string> data;
};
struct PartRow {
    int parent = 0;
    int part = 0;
    std::string data;
};
struct Model {
    std::map<int, MainRow> main;
    std::map<int, PartRow> parts;
};

std::string Sql(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    char* s = sqlite_vmprintf(fmt, ap);
    va_end(ap);
    std::string r = s;
    sqlite_freemem(s);
    return r;
}

class Workload : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        faketest::FakeFiles().clear();
        char* err = nullptr;
        std::string path = (m_dir / "work.tpx").string();
        m_db = GetParam() ? sqlite_open(path.c_str(), 0, &err)
                          : sqlite2::OpenWith(path.c_str(), faketest::FakeOpener(), &err);
        ASSERT_NE(m_db, nullptr) << (err ? err : "");
        Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
        Ok("CREATE TABLE TRESORIX_TRESORIX (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, USERNAME "
           "CHAR(255), PASSWORD_REQUIRED CHAR(1), SECRET_WORD VARCHAR, DATA VARCHAR);");
        Ok("CREATE TABLE TRESORIX_MAIN (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, ID_PARENT "
           "INTEGER, EXPANDED CHAR(1),DATA VARCHAR);");
        Ok("CREATE INDEX TRESORIX_MAIN_ID_PARENT ON TRESORIX_MAIN (ID_PARENT);");
        Ok("CREATE TABLE TRESORIX_DATA (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, ID_PARENT "
           "INTEGER, PART NUMERIC,  DATA VARCHAR);");
        Ok("CREATE INDEX TRESORIX_DATA_ID_PARENT ON TRESORIX_DATA (ID_PARENT);");
        Ok("CREATE INDEX TRESORIX_DATA_PART ON TRESORIX_DATA (PART);");
        Ok("COMMIT TRANSACTION");
    }
    void TearDown() override {
        if (m_db)
            sqlite_close(m_db);
        faketest::FakeFiles().clear();
    }
    void Ok(const std::string& sql) {
        auto [rc, msg] = Exec(m_db, sql);
        ASSERT_EQ(rc, 0) << sql.substr(0, 120) << ": " << msg;
    }
    std::string Payload(size_t len) {
        std::string s(len, 'x');
        for (char& c : s)
            c = static_cast<char>(1 + m_rng() % 255);
        return s;
    }
    size_t RandomLength() {
        unsigned r = m_rng() % 100;
        if (r < 70)
            return m_rng() % 250;
        if (r < 95)
            return 250 + m_rng() % 2000;
        if (r < 99)
            return 2000 + m_rng() % 60000;
        return 300000 + m_rng() % 300000;
    }
    int AnyId(const Model& m) {
        if (m.main.empty() || m_rng() % 10 == 0)
            return 1 + static_cast<int>(m_rng() % 400);
        auto it = m.main.begin();
        std::advance(it, static_cast<long>(m_rng() % m.main.size()));
        return it->first;
    }

    void Compare(const Model& m) {
        Result main = Query(m_db, "select * from tresorix_main");
        ASSERT_EQ(main.rc, 0) << main.error;
        std::vector<Row> want;
        for (const auto& [id, r] : m.main)
            want.push_back({std::to_string(id), std::to_string(r.parent), r.expanded, r.data});
        ASSERT_EQ(main.rows, want);
        Result parts = Query(m_db, "select * from tresorix_data");
        ASSERT_EQ(parts.rc, 0) << parts.error;
        want.clear();
        for (const auto& [id, r] : m.parts)
            want.push_back(
                {std::to_string(id), std::to_string(r.parent), std::to_string(r.part), r.data});
        ASSERT_EQ(parts.rows, want);
        Result ic = Query(m_db, "PRAGMA integrity_check");
        ASSERT_EQ(Column(ic), std::vector<std::string>{"ok"});
    }

    void CheckQueries(const Model& m, int id) {
        std::vector<std::string> kids;
        for (const auto& [k, r] : m.main)
            if (r.parent == id)
                kids.push_back(std::to_string(k));
        ASSERT_EQ(Column(Query(m_db, Sql("select id from tresorix_main where id_parent = %d", id))),
                  kids);
        ASSERT_EQ(
            Column(Query(m_db, Sql("select count(*) from tresorix_main where id_parent=%d", id))),
            std::vector<std::string>{std::to_string(kids.size())});
        auto it = m.main.find(id);
        std::vector<std::string> sib;
        if (it != m.main.end())
            for (const auto& [k, r] : m.main)
                if (r.parent == it->second.parent)
                    sib.push_back(std::to_string(k));
        ASSERT_EQ(Column(Query(m_db, Sql("select id from tresorix_main where id_parent = (select "
                                         "id_parent from tresorix_main where id = %d)",
                                         id))),
                  sib);
        Result d = Query(m_db, Sql("select data from tresorix_main where id=%d", id));
        if (it == m.main.end())
            ASSERT_TRUE(d.rows.empty());
        else
            ASSERT_EQ(d.rows, std::vector<Row>{Row{it->second.data}});
        // Parts in PART order, ties by descending rowid.
        std::vector<std::pair<int, int>> order;
        for (const auto& [k, r] : m.parts)
            if (r.parent == id)
                order.emplace_back(r.part, -k);
        std::sort(order.begin(), order.end());
        std::vector<std::string> partData;
        for (auto& [part, negId] : order)
            partData.push_back(m.parts.at(-negId).data);
        ASSERT_EQ(Column(Query(m_db, Sql("select data from tresorix_data where id_parent = %d "
                                         "order by part asc",
                                         id))),
                  partData);
    }

    txtest::ScratchDir m_dir;
    sqlite* m_db = nullptr;
    std::mt19937 m_rng{20260512};
};

TEST_P(Workload, MatchesTheModel) {
    Model model;
    std::optional<Model> saved; // state at BEGIN while a transaction is open
    int statements = 0;
    while (statements < 5000) {
        Model& m = model;
        unsigned op = m_rng() % 100;
        int id = AnyId(m);
        if (op < 18) {
            Ok("insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)");
            int expect = m.main.empty() ? 1 : m.main.rbegin()->first + 1;
            ASSERT_EQ(sqlite_last_insert_rowid(m_db), expect);
            m.main[expect] = MainRow{};
        } else if (op < 30) {
            int parent = m.main.empty() ? 0 : AnyId(m);
            Ok(Sql("update tresorix_main set id_parent=%d where id=%d", parent, id));
            if (m.main.count(id))
                m.main[id].parent = parent;
        } else if (op < 50) {
            std::string data = Payload(RandomLength());
            Ok(Sql("update tresorix_main set data = %Q where id = %d", data.c_str(), id));
            if (m.main.count(id))
                m.main[id].data = data;
        } else if (op < 56) {
            const char* e = m_rng() % 2 ? "1" : "0";
            Ok(Sql("update tresorix_main set EXPANDED =%Q where id=%d", e, id));
            if (m.main.count(id))
                m.main[id].expanded = e;
        } else if (op < 62) {
            Ok(Sql("delete from tresorix_data where id_parent = %d", id));
            Ok(Sql("delete from TRESORIX_MAIN where id=%d", id));
            statements += 1;
            std::erase_if(m.parts, [&](const auto& p) { return p.second.parent == id; });
            m.main.erase(id);
        } else if (op < 72) {
            Ok(Sql("delete from tresorix_data where id_parent = %d", id));
            std::erase_if(m.parts, [&](const auto& p) { return p.second.parent == id; });
            int n = 1 + static_cast<int>(m_rng() % 4);
            for (int part = n; part >= 1; --part) {
                std::string data =
                    Payload(m_rng() % 8 == 0 ? 300000 + m_rng() % 300000 : RandomLength());
                int partNo = m_rng() % 6 == 0 ? 1 : part; // some ties
                Ok(Sql("insert into tresorix_data (id_parent, part, data) values (%d, %d, %Q)", id,
                       partNo, data.c_str()));
                int expect = m.parts.empty() ? 1 : m.parts.rbegin()->first + 1;
                ASSERT_EQ(sqlite_last_insert_rowid(m_db), expect);
                m.parts[expect] = PartRow{id, partNo, data};
                ++statements;
            }
        } else if (op < 76) {
            Ok(Sql("delete from TRESORIX_DATA where id_parent=%d", id));
            std::erase_if(m.parts, [&](const auto& p) { return p.second.parent == id; });
        } else if (op < 82) {
            if (saved) {
                bool commit = m_rng() % 3 != 0;
                Ok(commit ? "COMMIT TRANSACTION" : "ROLLBACK TRANSACTION");
                if (!commit)
                    model = *saved;
                saved.reset();
                Compare(model);
                if (HasFatalFailure())
                    return;
            } else {
                Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
                saved = model;
            }
        } else {
            CheckQueries(m, id);
            statements += 4;
        }
        if (HasFatalFailure()) {
            ADD_FAILURE() << "after " << statements << " statements";
            return;
        }
        ++statements;
        if (!saved && statements % 250 == 0) {
            Compare(model);
            if (HasFatalFailure())
                return;
        }
    }
    if (saved)
        Ok("COMMIT TRANSACTION");
    Compare(model);
    Ok("vacuum tresorix_main");
    Compare(model);
}

// Transactions larger than the page cache: rows and file parts as the application stores them.
TEST_P(Workload, LargeTransactions) {
    Model m;
    Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
    for (int i = 1; i <= 3000; ++i) {
        Ok("insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)");
        std::string data = Payload(300 + (i * 37) % 1500);
        Ok(Sql("update tresorix_main set id_parent=%d where id=%d", i % 31, i));
        Ok(Sql("update tresorix_main set data = %Q where id = %d", data.c_str(), i));
        m.main[i] = MainRow{i % 31, "1", data};
    }
    Ok("COMMIT TRANSACTION");
    Compare(m);
    if (HasFatalFailure())
        return;
    Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
    int rowid = 0;
    for (int f = 0; f < 4; ++f) {
        Ok(Sql("delete from tresorix_data where id_parent = %d", 40 + f));
        for (int part = 1; part <= 8; ++part) {
            std::string data = Payload(528000);
            Ok(Sql("insert into tresorix_data (id_parent, part, data) values (%d, %d, %Q)", 40 + f,
                   part, data.c_str()));
            m.parts[++rowid] = PartRow{40 + f, part, data};
        }
    }
    Ok("COMMIT TRANSACTION");
    Compare(m);
    if (HasFatalFailure())
        return;
    CheckQueries(m, 41);
    Ok("BEGIN TRANSACTION ON CONFLICT ROLLBACK");
    for (int i = 1; i <= 3000; i += 2) {
        Ok(Sql("delete from TRESORIX_MAIN where id=%d", i));
        Ok(Sql("delete from TRESORIX_DATA where id_parent=%d", i));
        m.main.erase(i);
        std::erase_if(m.parts, [&](const auto& p) { return p.second.parent == i; });
    }
    Ok("COMMIT TRANSACTION");
    Compare(m);
    Ok("vacuum tresorix_main");
    Compare(m);
}

INSTANTIATE_TEST_SUITE_P(Sqlite2, Workload, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "FileBtree" : "MemoryBtree"; });

} // namespace
