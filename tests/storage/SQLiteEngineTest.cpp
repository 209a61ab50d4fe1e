#include "storage/SQLiteEngine.h"
#include "common/Fixtures.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteCursor.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"
#include "storage/SQLiteField.h"
#include "storage/SQLiteRow.h"
#include "storage/Statements.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every row of a query, NULL read as "<null>".
Rows ReadAll(CKivDatabase& db, const char* sql) {
    Rows rows;
    CursorPtr cursor(db.Query(sql));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0 && raw) {
        RowPtr row(raw);
        std::vector<std::string> values;
        for (int i = 0; i < row->GetFieldCount(); ++i) {
            FieldPtr field(row->GetField(i));
            values.push_back(field->AsString() ? field->AsString() : "<null>");
        }
        rows.push_back(std::move(values));
    }
    return rows;
}

CSQLiteException Thrown(const std::function<void()>& action) {
    try {
        action();
    } catch (const CSQLiteException& e) {
        return e;
    }
    ADD_FAILURE() << "no CSQLiteException";
    return CSQLiteException(-1, "");
}

std::filesystem::path CopyFixture(const txtest::ScratchDir& dir, const std::string& name) {
    const auto target = dir / name;
    std::filesystem::copy_file(txtest::FixturesDir() / "sqlite2" / name, target);
    return target;
}

// Counts the engine's steps while installed.
class CStepCounter {
public:
    CStepCounter() {
        s_steps = 0;
        SQLITE_ENGINE counting = SQLiteEngine();
        counting.step = [](sqlite_vm* vm, int* n, const char*** v, const char*** c) {
            ++s_steps;
            return RealSQLiteEngine().step(vm, n, v, c);
        };
        m_previous = SetSQLiteEngine(counting);
    }
    ~CStepCounter() { SetSQLiteEngine(m_previous); }
    CStepCounter(const CStepCounter&) = delete;
    CStepCounter& operator=(const CStepCounter&) = delete;

    int Steps() const { return s_steps; }

private:
    static inline int s_steps = 0;
    SQLITE_ENGINE m_previous;
};

void CreateSchema(CKivDatabase& db) {
    db.BeginTransaction();
    for (const char* statement : tx::sql::kCreationStatements)
        db.Execute(statement);
    db.CommitTransaction();
}

} // namespace

TEST(SQLiteEngine, ReadsTheRowsOfAnExistingDataFile) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    CSQLiteDatabase db;
    ASSERT_EQ(db.Open(CopyFixture(dir, "few_rows.db").string()), 1);

    CursorPtr cursor(db.Query(tx::sql::kSelectHeader));
    CRow* raw = nullptr;
    ASSERT_EQ(cursor->Fetch(raw), 0);
    RowPtr header(raw);
    ASSERT_EQ(header->GetFieldCount(), 5);
    const char* names[] = {"ID", "USERNAME", "PASSWORD_REQUIRED", "SECRET_WORD", "DATA"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(FieldPtr(header->GetField(i))->GetName(), names[i]);
    EXPECT_EQ(FieldPtr(header->GetField(0))->AsInt(), 1);
    EXPECT_STREQ(FieldPtr(header->GetField(1))->AsString(), "alice");
    EXPECT_EQ(FieldPtr(header->GetField(2))->AsInt(), 1);
    EXPECT_STREQ(FieldPtr(header->GetField(3))->AsString(), "my pet's name");
    header.reset();
    EXPECT_EQ(cursor->Fetch(raw), 1);
    EXPECT_TRUE(cursor->IsEOF());
    cursor.reset();

    CSQLiteBuffer sql;
    EXPECT_EQ(ReadAll(db, sql.Format(tx::sql::kIterateChildren, 1)), (Rows{{"3"}, {"4"}, {"5"}}));
    EXPECT_EQ(ReadAll(db, sql.Format(tx::sql::kCountChildren, 2)), (Rows{{"0"}}));
    EXPECT_EQ(ReadAll(db, sql.Format(tx::sql::kIterateSiblings, 6)), (Rows{{"6"}, {"7"}}));
    EXPECT_EQ(ReadAll(db, sql.Format(tx::sql::kSelectItemData, 3)), (Rows{{"Internet"}}));
    EXPECT_EQ(ReadAll(db, sql.Format(tx::sql::kSelectFileParts, 8)),
              (Rows{{"second-0"}, {"second-1"}}));
}

TEST(SQLiteEngine, CreationStatementsMatchTheSchemaOfExistingFiles) {
    TX_REQUIRE_FIXTURES();
    txtest::ScratchDir dir;
    CSQLiteDatabase db;
    db.Open(CopyFixture(dir, "few_rows.db").string());
    Rows expected;
    for (const char* statement : tx::sql::kCreationStatements) {
        std::string text = statement;
        if (text.rfind("CREATE", 0) != 0)
            continue;
        text.pop_back(); // the stored text ends before the ';'
        expected.push_back({text});
    }
    Rows stored;
    for (auto& row : ReadAll(db, "select sql from sqlite_master")) {
        if (row.at(0) != "<null>") // the automatic indices have no text
            stored.push_back(row);
    }
    EXPECT_EQ(stored, expected);
}

TEST(SQLiteEngine, CreatesAndWritesANewDataFile) {
    txtest::ScratchDir dir;
    CSQLiteDatabase db;
    db.Open((dir / "new.tpx").string());
    CreateSchema(db);
    EXPECT_EQ(ReadAll(db, tx::sql::kSelectHeader), (Rows{{"1", "", "0", "", ""}}));

    db.Execute(tx::sql::kInsertTreeRow);
    const int first = db.GetLastInsertId();
    db.Execute(tx::sql::kInsertTreeRow);
    EXPECT_EQ(db.GetLastInsertId(), first + 1);

    CSQLiteBuffer sql;
    db.Execute(sql.Format(tx::sql::kFillHeader, "o'brien", "it's a hint", "x"));
    db.Execute(sql.Format(tx::sql::kMoveItem, first, first + 1));
    EXPECT_EQ(ReadAll(db, tx::sql::kSelectSecretWord), (Rows{{"it's a hint"}}));
    EXPECT_EQ(ReadAll(db, sql.Format(tx::sql::kSelectItemParent, first + 1)),
              (Rows{{std::to_string(first)}}));
    EXPECT_EQ(ReadAll(db, sql.Format(tx::sql::kSelectItemData, first)), (Rows{{"<null>"}}));
}

TEST(SQLiteEngine, EngineFailuresCarryCodeAndText) {
    txtest::ScratchDir dir;
    CSQLiteDatabase db;
    const std::string missing = (dir / "no" / "such" / "x.tpx").string();
    CSQLiteException e = Thrown([&] { db.Open(missing); });
    EXPECT_EQ(e.GetCode(), 0);
    EXPECT_NE(e.GetText().find("unable to open database"), std::string::npos) << e.GetText();

    db.Open((dir / "a.tpx").string());
    e = Thrown([&] { db.Query("select id from tresorix_main"); });
    EXPECT_EQ(e.GetCode(), SQLITE_ERROR);
    EXPECT_EQ(e.GetText(), "no such table: tresorix_main");
    e = Thrown([&] { db.Execute("COMMIT TRANSACTION"); });
    EXPECT_EQ(e.GetCode(), SQLITE_ERROR);
    EXPECT_EQ(e.GetText(), "cannot commit - no transaction is active");

    for (const char* empty : {"", "   ", "-- just a comment", ";"}) {
        e = Thrown([&] { db.Query(empty); });
        EXPECT_EQ(e.GetCode(), 1) << empty;
        EXPECT_EQ(e.GetText(), "Error creating cursor. Out of memory.") << empty;
    }
}

TEST(SQLiteEngine, ConstraintFailureSurfacesFromFetchWithTheFinalizeText) {
    txtest::ScratchDir dir;
    CSQLiteDatabase db;
    db.Open((dir / "a.tpx").string());
    CreateSchema(db);
    CursorPtr cursor(db.Query("INSERT INTO TRESORIX_TRESORIX (ID) VALUES (1)"));
    CRow* row = nullptr;
    const CSQLiteException e = Thrown([&] { cursor->Fetch(row); });
    EXPECT_EQ(e.GetCode(), 19);
    EXPECT_EQ(e.GetText(), "PRIMARY KEY must be unique");
    EXPECT_TRUE(cursor->IsEOF());
}

TEST(SQLiteEngine, ReaderBlockedByAWriterGivesUpAfterElevenSteps) {
    txtest::ScratchDir dir;
    const std::string path = (dir / "shared.tpx").string();
    CSQLiteDatabase writer;
    writer.Open(path);
    CreateSchema(writer);
    writer.Execute(tx::sql::kInsertTreeRow);

    CSQLiteDatabase reader;
    reader.Open(path);
    // Load the reader's schema while nothing blocks it.
    ASSERT_EQ(ReadAll(reader, "select count(*) from tresorix_main"), (Rows{{"1"}}));

    writer.BeginTransaction();
    CursorPtr cursor(reader.Query("select id from tresorix_main"));
    CRow* row = nullptr;
    {
        CStepCounter counter;
        const CSQLiteException e = Thrown([&] { cursor->Fetch(row); });
        EXPECT_EQ(e.GetCode(), 5);
        EXPECT_EQ(e.GetText(), "SQL server busy");
        EXPECT_EQ(counter.Steps(), 11);
    }
    EXPECT_EQ(row, nullptr);

    // Once the writer is done the same cursor carries on.
    writer.RollbackTransaction();
    ASSERT_EQ(cursor->Fetch(row), 0);
    RowPtr(row).reset();
    cursor.reset();

    // A writer blocked by a reader's open statement sees the engine's busy answer at once.
    CursorPtr reading(reader.Query("select id from tresorix_main"));
    ASSERT_EQ(reading->Fetch(row), 0);
    RowPtr(row).reset();
    const CSQLiteException e = Thrown([&] { writer.Execute(tx::sql::kInsertTreeRow); });
    EXPECT_EQ(e.GetCode(), SQLITE_BUSY);
}

TEST(SQLiteEngine, ClosingWithAnOpenCursorReleasesTheFile) {
    txtest::ScratchDir dir;
    const std::string path = (dir / "a.tpx").string();
    CSQLiteDatabase other;
    other.Open(path);
    CreateSchema(other);
    other.Execute(tx::sql::kInsertTreeRow);
    other.Execute(tx::sql::kInsertTreeRow);

    auto* db = new CSQLiteDatabase;
    db->Open(path);
    CKivCursor* cursor = db->Query("select id from tresorix_main");
    CRow* row = nullptr;
    ASSERT_EQ(cursor->Fetch(row), 0);
    row->Release();
    db->Release();

    // The read lock is gone: another connection can write.
    EXPECT_NO_THROW(other.Execute(tx::sql::kInsertTreeRow));
    EXPECT_EQ(cursor->Close(), 0);
}

TEST(SQLiteBuffer, FormatsWithTheEngineAndReplacesTheLastText) {
    CSQLiteBuffer buffer;
    EXPECT_EQ(buffer.GetText(), nullptr);
    EXPECT_STREQ(buffer.Format(tx::sql::kUpdateItemData, "it's", 7),
                 "update tresorix_main set data = 'it''s' where id = 7");
    EXPECT_STREQ(buffer.Format(tx::sql::kUpdateExpanded, nullptr, -3),
                 "update tresorix_main set EXPANDED =NULL where id=-3");
    EXPECT_STREQ(buffer.Format(tx::sql::kSelectTableIds, "tresorix_data"),
                 "select id from tresorix_data");
    EXPECT_STREQ(buffer.Format("%q", ""), "");
    EXPECT_STREQ(static_cast<const char*>(buffer), "");
    EXPECT_EQ(buffer.Format(nullptr), nullptr);
}
