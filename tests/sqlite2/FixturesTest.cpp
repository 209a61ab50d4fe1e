// Every fixture file behaves as its manifest says: open result, integrity, contents, queries.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>

#include "SqlTestUtil.h"
#include "common/Fixtures.h"
#include "sqlite2/sqlite.h"

using namespace sqltest;
namespace fs = std::filesystem;

namespace {

QJsonObject Expected() {
    QFile f(QString::fromStdString((txtest::FixturesDir() / "sqlite2" / "expected.json").string()));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

std::string FileSha(const fs::path& p) {
    std::string data = txtest::ReadFile(p);
    return QCryptographicHash::hash(
               QByteArrayView(data.data(), static_cast<qsizetype>(data.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// Copies a fixture (and its journal) into the scratch folder; returns the copy's path.
fs::path CopyFixture(const txtest::ScratchDir& dir, const std::string& name) {
    fs::path src = txtest::FixturesDir() / "sqlite2" / name;
    fs::path dst = dir / src.filename().string();
    fs::copy_file(src, dst);
    fs::permissions(dst, fs::perms::owner_read | fs::perms::owner_write);
    fs::path journal = src.string() + "-journal";
    if (fs::exists(journal)) {
        fs::copy_file(journal, dst.string() + "-journal");
        fs::permissions(dst.string() + "-journal", fs::perms::owner_read | fs::perms::owner_write);
    }
    return dst;
}

bool Shown(const std::string& v) {
    if (v.size() > 40)
        return false;
    for (unsigned char c : v)
        if (c < 0x20 || c >= 0x7f)
            return false;
    return true;
}

void CheckQuery(sqlite* db, const QJsonObject& q, const std::string& file) {
    std::string sql = q["sql"].toString().toStdString();
    SCOPED_TRACE(file + ": " + sql);
    Result r = Query(db, sql);
    ASSERT_EQ(r.rc, 0) << r.error;
    std::vector<std::string> names;
    for (const auto& n : q["columns"].toArray())
        names.push_back(n.toString().toStdString());
    EXPECT_EQ(r.names, names);
    std::vector<std::optional<std::string>> types;
    for (const auto& t : q["types"].toArray())
        types.push_back(t.isNull() ? std::nullopt : std::optional(t.toString().toStdString()));
    EXPECT_EQ(r.types, types);
    EXPECT_EQ(static_cast<int>(r.rows.size()), q["row_count"].toInt());
    EXPECT_EQ(Digest(r.rows), q["sha256"].toString().toStdString());
    QJsonArray first = q["first_rows"].toArray();
    for (qsizetype i = 0; i < first.size() && i < static_cast<qsizetype>(r.rows.size()); ++i) {
        QJsonArray row = first[i].toArray();
        ASSERT_EQ(static_cast<size_t>(row.size()), r.rows[static_cast<size_t>(i)].size());
        for (qsizetype j = 0; j < row.size(); ++j) {
            const auto& got = r.rows[static_cast<size_t>(i)][static_cast<size_t>(j)];
            if (row[j].isNull()) {
                EXPECT_FALSE(got.has_value());
                continue;
            }
            ASSERT_TRUE(got.has_value());
            std::string want = row[j].toString().toStdString();
            if (Shown(*got))
                EXPECT_EQ(*got, want);
            else
                EXPECT_EQ(want, "<" + std::to_string(got->size()) + " bytes>");
        }
    }
}

class Fixtures : public ::testing::TestWithParam<std::string> {};

TEST_P(Fixtures, BehaveAsTheManifestSays) {
    TX_REQUIRE_FIXTURES();
    QJsonObject all = Expected();
    ASSERT_FALSE(all.isEmpty());
    const std::string name = GetParam();
    QJsonObject e = all[QString::fromStdString(name)].toObject();
    QJsonObject contents = e["contents"].toObject();
    txtest::ScratchDir dir;
    fs::path path = CopyFixture(dir, name);
    fs::path journal = path.string() + "-journal";

    char* err = nullptr;
    sqlite* db = sqlite_open(path.c_str(), 0, &err);
    if (!contents["open_error"].isNull()) {
        EXPECT_EQ(db, nullptr);
        ASSERT_NE(err, nullptr);
        EXPECT_EQ(std::string(err), contents["open_error"].toString().toStdString());
        sqlite_freemem(err);
        EXPECT_EQ(fs::exists(journal), contents["journal_left_after_open"].toBool());
        if (name == "bad_journal.db") {
            EXPECT_EQ(FileSha(path), e["sha256_file"].toString().toStdString());
            db = sqlite_open(path.c_str(), 0, &err);
            ASSERT_NE(db, nullptr) << (err ? err : "");
            EXPECT_EQ(Query(db, "select count(*) from tresorix_data").rows[0][0], "14");
            sqlite_close(db);
        }
        return;
    }
    ASSERT_NE(db, nullptr) << (err ? err : "");
    EXPECT_EQ(err, nullptr);
    EXPECT_EQ(fs::exists(journal), contents["journal_left_after_open"].toBool());

    Result ic = Query(db, "PRAGMA integrity_check");
    std::vector<std::string> wantIc;
    for (const auto& v : contents["integrity_check"].toArray())
        wantIc.push_back(v.toString().toStdString());
    EXPECT_EQ(Column(ic), wantIc);

    QJsonObject tables = contents["tables"].toObject();
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        std::string table = it.key().toStdString();
        Result r = Query(db, "SELECT * FROM " + table);
        ASSERT_EQ(r.rc, 0) << table << ": " << r.error;
        QJsonObject t = it.value().toObject();
        EXPECT_EQ(static_cast<int>(r.rows.size()), t["row_count"].toInt()) << table;
        EXPECT_EQ(Digest(r.rows), t["sha256"].toString().toStdString()) << table;
    }
    if (tables.isEmpty()) {
        EXPECT_TRUE(Query(db, "select * from sqlite_master").rows.empty());
    }
    for (const auto& q : e["queries"].toArray())
        CheckQuery(db, q.toObject(), name);
    sqlite_close(db);
    // Reading changes nothing; a rollback restores the original bytes.
    EXPECT_EQ(FileSha(path), contents["sha256_file_after_open"].toString().toStdString());
}

INSTANTIATE_TEST_SUITE_P(Sqlite2, Fixtures,
                         ::testing::Values("empty_schema.db", "few_rows.db", "tree3000.db",
                                           "tree3000_deleted.db", "tree3000_vacuumed.db", "hot.db",
                                           "all_bytes.db", "compare.db", "stale_empty_journal.db",
                                           "bad_journal.db", "zero.db", "short_text.txt",
                                           "not_a_database.txt", "random_bytes.bin",
                                           "synthetic/bigendian.db", "synthetic/odd_layout.db"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

TEST(FixtureFiles, ManifestListsEveryFile) {
    TX_REQUIRE_FIXTURES();
    EXPECT_EQ(Expected().size(), 16);
}

} // namespace
