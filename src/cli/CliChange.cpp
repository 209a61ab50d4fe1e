#include "cli/CliChange.h"

#include "cli/CliContext.h"
#include "cli/CliVault.h"
#include "storage/SQLiteException.h"

CCliChange::CCliChange(CCliVault& vault)
    : m_vault(vault), m_errorsBefore(vault.Context().Sink().GetErrorCount()) {
    CKivDatabase* db = vault.Doc().GetDatabase();
    if (!db)
        throw CSQLiteException(0, "the data file is not open");
    m_scope = std::make_unique<CTransactionScope>(*db);
}

CCliChange::~CCliChange() {
    if (m_scope)
        m_scope->Rollback();
    // Records read meanwhile may hold what was rolled back.
    m_vault.Doc().ClearCache();
}

bool CCliChange::HasFailed() const {
    return m_vault.Context().Sink().GetErrorCount() > m_errorsBefore;
}

bool CCliChange::Commit() {
    if (HasFailed()) {
        m_scope->Rollback();
        m_scope.reset();
        return false;
    }
    const bool committed = m_scope->Commit();
    m_scope.reset();
    if (committed)
        m_vault.MarkChanged();
    return committed;
}
