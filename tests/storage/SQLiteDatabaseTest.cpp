#include "storage/SQLiteDatabase.h"
#include "FakeEngine.h"
#include "storage/SQLiteCursor.h"
#include "storage/SQLiteException.h"
#include "storage/SQLiteField.h"
#include "storage/SQLiteRow.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs action and returns the exception it threw; fails the test when it threw none.
CSQLiteException Thrown(const std::function<void()>& action) {
    try {
        action();
    } catch (const CSQLiteException& e) {
        return e;
    }
    ADD_FAILURE() << "no CSQLiteException";
    return CSQLiteException(-1, "");
}

CFakeEngine::STEP Row(std::vector<const char*> values) {
    return {SQLITE_ROW, std::move(values)};
}

} // namespace

TEST(SQLiteDatabase, WithoutAnOpenConnectionNothingReachesTheEngine) {
    CFakeEngine engine;
    CSQLiteDatabase db;
    for (const auto& action : std::vector<std::function<void()>>{
             [&] { db.Execute("delete from TRESORIX_MAIN where id=1"); },
             [&] { db.Query("select 1"); },
             [&] { db.BeginTransaction(); },
         }) {
        const CSQLiteException e = Thrown(action);
        EXPECT_EQ(e.GetCode(), 0);
        EXPECT_EQ(e.GetText(), "Database not open");
    }
    EXPECT_TRUE(engine.executed.empty());
    EXPECT_TRUE(engine.compiled.empty());
    EXPECT_EQ(db.GetLastInsertId(), 0);
}

TEST(SQLiteDatabase, OpenFailureCarriesTheEngineText) {
    CFakeEngine engine;
    engine.openFails = true;
    CSQLiteDatabase db;
    const CSQLiteException e = Thrown([&] { db.Open("/nowhere/x.tpx"); });
    EXPECT_EQ(e.GetCode(), 0);
    EXPECT_EQ(e.GetText(), "unable to open database: x");
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(engine.messagesFreed, engine.messagesAllocated);
}

TEST(SQLiteDatabase, ReopeningClosesTheOldConnectionFirst) {
    CFakeEngine engine;
    {
        CSQLiteDatabase db;
        EXPECT_EQ(db.Open("a.tpx"), 1);
        EXPECT_EQ(db.Open("b.tpx"), 1);
        EXPECT_EQ(engine.closes, 1);
        EXPECT_EQ(db.GetLastInsertId(), 42);
    }
    EXPECT_EQ(engine.closes, 2); // the destructor closes too
}

TEST(SQLiteDatabase, ExecuteFailureAndSuccessThatCarriesAnError) {
    CFakeEngine engine;
    CSQLiteDatabase db;
    db.Open("a.tpx");
    engine.execResult = 19;
    engine.execError = "PRIMARY KEY must be unique";
    CSQLiteException e = Thrown([&] { db.Execute("insert ..."); });
    EXPECT_EQ(e.GetCode(), 19);
    EXPECT_EQ(e.GetText(), "PRIMARY KEY must be unique");

    // A compaction against a locked file answers 0 with a text: nothing was done.
    engine.execResult = SQLITE_OK;
    engine.execError = "database is locked";
    e = Thrown([&] { db.Execute("vacuum tresorix_main"); });
    EXPECT_EQ(e.GetCode(), SQLITE_ERROR);
    EXPECT_EQ(e.GetText(), "database is locked");

    engine.execError = nullptr;
    EXPECT_NO_THROW(db.Execute("vacuum tresorix_main"));
    EXPECT_EQ(engine.messagesFreed, engine.messagesAllocated);
}

TEST(SQLiteDatabase, QueryThatYieldsNoStatement) {
    CFakeEngine engine;
    engine.compileYieldsNoStatement = true;
    CSQLiteDatabase db;
    db.Open("a.tpx");
    const CSQLiteException e = Thrown([&] { db.Query(""); });
    EXPECT_EQ(e.GetCode(), 1);
    EXPECT_EQ(e.GetText(), "Error creating cursor. Out of memory.");
    // A failed format hands the layer no text at all.
    EXPECT_EQ(Thrown([&] { db.Query(nullptr); }).GetCode(), 1);
}

TEST(SQLiteDatabase, QueryCompileFailure) {
    CFakeEngine engine;
    engine.compileResult = SQLITE_ERROR;
    engine.compileError = "no such table: tresorix_mian";
    CSQLiteDatabase db;
    db.Open("a.tpx");
    const CSQLiteException e = Thrown([&] { db.Query("select id from tresorix_mian"); });
    EXPECT_EQ(e.GetCode(), SQLITE_ERROR);
    EXPECT_EQ(e.GetText(), "no such table: tresorix_mian");
    EXPECT_EQ(engine.messagesFreed, engine.messagesAllocated);
}

TEST(SQLiteCursor, FetchLoopReadsEveryRowThenStaysDone) {
    CFakeEngine engine;
    engine.columnNames = {"id", "data"};
    engine.steps = {Row({"3", "Internet"}), Row({"4", nullptr})};
    CSQLiteDatabase db;
    db.Open("a.tpx");
    CursorPtr cursor(db.Query("select id, data from tresorix_main"));
    ASSERT_TRUE(cursor);

    std::vector<std::string> seen;
    CRow* raw = nullptr;
    while (cursor->Fetch(raw) == 0 && raw) {
        RowPtr row(raw);
        EXPECT_FALSE(cursor->IsEOF());
        ASSERT_EQ(row->GetFieldCount(), 2);
        FieldPtr id(row->GetField(0));
        FieldPtr data(row->GetField(1));
        EXPECT_STREQ(id->GetName(), "id");
        EXPECT_STREQ(data->GetName(), "data");
        seen.push_back(std::to_string(id->AsInt()) + "=" +
                       (data->AsString() ? data->AsString() : "NULL"));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"3=Internet", "4=NULL"}));
    EXPECT_EQ(raw, nullptr);
    EXPECT_TRUE(cursor->IsEOF());
    EXPECT_EQ(engine.stepsTaken, 3);
    // A further fetch does not step a finished statement again.
    EXPECT_EQ(cursor->Fetch(raw), 1);
    EXPECT_EQ(engine.stepsTaken, 3);
}

TEST(SQLiteCursor, BusyIsRetriedTenTimesThenThrown) {
    CFakeEngine engine;
    engine.steps.assign(11, {SQLITE_BUSY, {}});
    CSQLiteDatabase db;
    db.Open("a.tpx");
    CursorPtr cursor(db.Query("select id from tresorix_main"));
    CRow* row = reinterpret_cast<CRow*>(1);
    const CSQLiteException e = Thrown([&] { cursor->Fetch(row); });
    EXPECT_EQ(e.GetCode(), 5);
    EXPECT_EQ(e.GetText(), "SQL server busy");
    EXPECT_EQ(engine.stepsTaken, 11);
    EXPECT_EQ(row, nullptr);
    // The statement survives a busy answer and may be stepped again.
    EXPECT_EQ(engine.liveStatements.size(), 1u);
    EXPECT_EQ(cursor->Fetch(row), 1);
}

TEST(SQLiteCursor, RowOnTheEleventhStepIsDelivered) {
    CFakeEngine engine;
    engine.steps.assign(10, {SQLITE_BUSY, {}});
    engine.steps.push_back(Row({"7"}));
    CSQLiteDatabase db;
    db.Open("a.tpx");
    CursorPtr cursor(db.Query("select id from tresorix_main"));
    CRow* raw = nullptr;
    ASSERT_EQ(cursor->Fetch(raw), 0);
    RowPtr row(raw);
    ASSERT_TRUE(row);
    EXPECT_EQ(FieldPtr(row->GetField(0))->AsInt(), 7);
    EXPECT_EQ(engine.stepsTaken, 11);
}

TEST(SQLiteCursor, StepFailureFinalizesAndThrowsTheFinalizeResult) {
    CFakeEngine engine;
    engine.steps = {{SQLITE_ERROR, {}}};
    engine.finalizeResult = 17;
    engine.finalizeError = "database schema has changed";
    CSQLiteDatabase db;
    db.Open("a.tpx");
    CKivCursor* cursor = db.Query("select id from tresorix_main");
    CRow* row = nullptr;
    const CSQLiteException e = Thrown([&] { cursor->Fetch(row); });
    EXPECT_EQ(e.GetCode(), 17);
    EXPECT_EQ(e.GetText(), "database schema has changed");
    EXPECT_TRUE(cursor->IsEOF());
    EXPECT_EQ(static_cast<CSQLiteCursor*>(cursor)->GetStatus(), 17);
    EXPECT_EQ(engine.finalizes, 1);
    // No second finalize, and no step on the finalized statement.
    EXPECT_EQ(Thrown([&] { cursor->Fetch(row); }).GetCode(), SQLITE_MISUSE);
    EXPECT_EQ(cursor->Close(), 0);
    EXPECT_EQ(engine.finalizes, 1);
    EXPECT_EQ(engine.doubleFinalizes, 0);
    EXPECT_EQ(engine.messagesFreed, engine.messagesAllocated);
}

TEST(SQLiteCursor, StepFailureWhoseFinalizeReportsNothingStillEnds) {
    CFakeEngine engine;
    engine.steps = {{SQLITE_MISUSE, {}}};
    CSQLiteDatabase db;
    db.Open("a.tpx");
    CursorPtr cursor(db.Query("select 1"));
    CRow* row = nullptr;
    const CSQLiteException e = Thrown([&] { cursor->Fetch(row); });
    EXPECT_EQ(e.GetCode(), SQLITE_MISUSE);
    EXPECT_EQ(e.GetText(), "library routine called out of sequence");
    EXPECT_TRUE(cursor->IsEOF());
}

TEST(SQLiteCursor, CloseReturnsTheFinalizeResult) {
    CFakeEngine engine;
    engine.steps = {{SQLITE_BUSY, {}}};
    CSQLiteDatabase db;
    db.Open("a.tpx");
    CKivCursor* cursor = db.Query("select 1");
    engine.finalizeResult = SQLITE_BUSY;
    engine.finalizeError = "database is locked";
    EXPECT_EQ(cursor->Close(), SQLITE_BUSY);
    EXPECT_EQ(engine.finalizes, 1);
    EXPECT_EQ(engine.messagesFreed, engine.messagesAllocated);
}

TEST(SQLiteCursor, DestroyingAnOpenCursorFinalizesOnce) {
    CFakeEngine engine;
    engine.steps = {Row({"1"}), Row({"2"})};
    CSQLiteDatabase db;
    db.Open("a.tpx");
    {
        CSQLiteCursor* cursor = static_cast<CSQLiteCursor*>(db.Query("select id from x"));
        CRow* row = nullptr;
        ASSERT_EQ(cursor->Fetch(row), 0);
        row->Release();
        delete cursor;
    }
    EXPECT_EQ(engine.finalizes, 1);
    EXPECT_EQ(engine.doubleFinalizes, 0);
    EXPECT_TRUE(engine.liveStatements.empty());
}

TEST(SQLiteCursor, ClosingTheConnectionFinalizesOpenCursorsFirst) {
    CFakeEngine engine;
    engine.steps = {Row({"1"}), Row({"2"})};
    auto* db = new CSQLiteDatabase;
    db->Open("a.tpx");
    CKivCursor* first = db->Query("select 1");
    CKivCursor* second = db->Query("select 2");
    CKivCursor* third = db->Query("select 3");
    EXPECT_EQ(second->Close(), 0);
    db->Release();
    EXPECT_EQ(engine.closes, 1);
    EXPECT_EQ(engine.finalizes, 3);
    EXPECT_TRUE(engine.liveStatements.empty());

    // The orphaned cursors fail cleanly and are destroyed without a second finalize.
    CRow* row = nullptr;
    EXPECT_TRUE(first->IsEOF());
    EXPECT_EQ(Thrown([&] { first->Fetch(row); }).GetCode(), SQLITE_MISUSE);
    EXPECT_EQ(first->Close(), 0);
    EXPECT_EQ(third->Close(), 0);
    EXPECT_EQ(engine.finalizes, 3);
    EXPECT_EQ(engine.doubleFinalizes, 0);
}

TEST(SQLiteRow, FieldIndexOutsideTheRowThrows) {
    const char* values[] = {"1", nullptr};
    const char* names[] = {"ID", "DATA", "INTEGER", "VARCHAR"};
    CSQLiteRow row(2, values, names);
    for (int index : {-1, 2, 100})
        EXPECT_EQ(Thrown([&] { FieldPtr(row.GetField(index)); }).GetCode(), SQLITE_RANGE);
    FieldPtr data(row.GetField(1));
    EXPECT_STREQ(data->GetName(), "DATA");
    EXPECT_EQ(data->AsString(), nullptr);
}
