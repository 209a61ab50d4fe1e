#include "storage/Compaction.h"

#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"
#include "storage/KivDatabase.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <iterator>
#include <new>
#include <optional>

namespace {

constexpr unsigned kNotLoggedInText = 61333;
constexpr unsigned kOutOfMemoryText = 61218;

} // namespace

bool CompactDataFile(CKivDatabase* db) {
    if (!db) {
        TxInfoBox(kNotLoggedInText);
        return false;
    }
    try {
        for (const char* statement : tx::sql::kVacuumStatements)
            db->Execute(statement);
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        return false;
    }
    return true;
}

void CompactDataFileAt(const std::string& path, const PROGRESS_CALLBACK& progress) {
    DatabasePtr db(new (std::nothrow) CSQLiteDatabase());
    if (!db)
        throw CSQLiteException(7, LoadString(kOutOfMemoryText));
    constexpr std::uint64_t kTotal = std::size(tx::sql::kVacuumStatements);
    std::uint64_t done = 0;
    db->Open(path);
    ReportProgress(progress, done, kTotal);
    for (const char* statement : tx::sql::kVacuumStatements) {
        db->Execute(statement);
        ReportProgress(progress, ++done, kTotal);
    }
    db->Close();
}

COMPACT_RESULT CompactOpenDataFile(CKivDatabase* db, const std::string& path,
                                   const COMPACT_RUNNER& run, const PROGRESS_CALLBACK& progress) {
    if (!db || path.empty()) {
        TxInfoBox(kNotLoggedInText);
        return COMPACT_RESULT::kFailed;
    }
    db->Close();
    std::optional<CSQLiteException> failure;
    // Caught inside the work, so that a worker thread hands back a copy rather than throwing.
    const bool reopen = run([&] {
        try {
            CompactDataFileAt(path, progress);
        } catch (const CSQLiteException& e) {
            failure = e;
        } catch (const std::bad_alloc&) {
            failure.emplace(7, LoadString(kOutOfMemoryText));
        }
    });
    COMPACT_RESULT result = failure ? COMPACT_RESULT::kFailed : COMPACT_RESULT::kCompacted;
    // Reopened before any box: a box runs the event loop, and what runs there (search
    // results arriving, say) reads through this connection.
    std::optional<CSQLiteException> reopenFailure;
    if (reopen) {
        try {
            db->Open(path);
        } catch (const CSQLiteException& e) {
            reopenFailure = e;
        }
    }
    if (failure)
        failure->ReportError(MB_ICONSTOP);
    if (reopenFailure)
        reopenFailure->ReportError(MB_ICONSTOP);
    return reopen && !reopenFailure ? result : COMPACT_RESULT::kNotReopened;
}

bool LocateDataFile(const std::string& path) {
    if (path.empty()) {
        TxInfoBox(kNotLoggedInText);
        return false;
    }
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    return Shell().ExploreFolder(folder);
}
