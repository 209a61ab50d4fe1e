#include "model/TransactionScope.h"

#include "storage/KivDatabase.h"
#include "storage/SQLiteException.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {

struct STATE {
    int depth = 0;
    bool failed = false;
    std::vector<std::function<void()>> afterCommit;
};

std::mutex g_mutex;
std::map<const CKivDatabase*, STATE> g_states;

} // namespace

CTransactionScope::CTransactionScope(CKivDatabase& db) : m_db(db) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        STATE& state = g_states[&db];
        m_joined = state.depth > 0;
        ++state.depth;
    }
    if (m_joined)
        return;
    try {
        db.BeginTransaction();
    } catch (...) {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_states.erase(&db);
        throw;
    }
}

CTransactionScope::~CTransactionScope() {
    if (!m_done)
        End(false);
}

bool CTransactionScope::IsActive(const CKivDatabase& db) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_states.find(&db);
    return it != g_states.end() && it->second.depth > 0;
}

void CTransactionScope::AfterCommit(const CKivDatabase& db, std::function<void()> action) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto it = g_states.find(&db);
        if (it != g_states.end() && it->second.depth > 0) {
            it->second.afterCommit.push_back(std::move(action));
            return;
        }
    }
    action();
}

bool CTransactionScope::Commit() {
    if (m_done)
        return false;
    bool failed;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        failed = g_states[&m_db].failed;
    }
    if (m_joined) {
        End(!failed);
        return !failed;
    }
    if (failed) {
        End(false);
        return false;
    }
    // A throwing commit leaves the scope open, so the destructor rolls back.
    m_db.CommitTransaction();
    End(true);
    return true;
}

void CTransactionScope::Rollback() {
    if (!m_done)
        End(false);
}

void CTransactionScope::End(bool commit) {
    m_done = true;
    bool outermost;
    std::vector<std::function<void()>> afterCommit;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        STATE& state = g_states[&m_db];
        if (!commit)
            state.failed = true;
        outermost = --state.depth <= 0;
        if (outermost) {
            afterCommit = std::move(state.afterCommit);
            g_states.erase(&m_db);
        }
    }
    if (outermost && commit)
        for (const auto& action : afterCommit)
            action();
    if (outermost && !commit) {
        try {
            m_db.RollbackTransaction();
        } catch (const CSQLiteException&) {
            // The engine may have ended the transaction itself after a conflict.
        }
    }
}
