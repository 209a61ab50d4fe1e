#pragma once

#include "model/TransactionScope.h"

#include <memory>

class CCliVault;

// One change of the data file, all or nothing: a transaction that every document operation
// inside joins. The core reports its failures as messages rather than results, so a change
// during which any error was shown is rolled back too.
class CCliChange {
public:
    // Throws CSQLiteException when no transaction can be begun.
    explicit CCliChange(CCliVault& vault);
    ~CCliChange();
    CCliChange(const CCliChange&) = delete;
    CCliChange& operator=(const CCliChange&) = delete;

    // True when the change was committed; false after it was rolled back.
    bool Commit();
    // Whether an error has been shown since the change began.
    bool HasFailed() const;

private:
    CCliVault& m_vault;
    std::unique_ptr<CTransactionScope> m_scope;
    int m_errorsBefore;
};
