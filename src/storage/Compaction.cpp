#include "storage/Compaction.h"

#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "storage/KivDatabase.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

namespace {

constexpr unsigned kNotLoggedInText = 61333;

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

bool LocateDataFile(const std::string& path) {
    if (path.empty()) {
        TxInfoBox(kNotLoggedInText);
        return false;
    }
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    return Shell().ExploreFolder(folder);
}
