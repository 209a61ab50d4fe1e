#pragma once

#include "model/Interfaces.h"
#include "platform/ProgressCallback.h"
#include "tools/KivCsvFile.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

class CKivCsvRow;
class CTxDoc;

// Turns delimited text into new password records in a folder: the source's columns are mapped
// to the six fields of a password record, every row becomes a record held in memory with its
// validity, the user picks the rows, and Commit stores them, all of them or none.
class CCsvImport {
public:
    enum TARGET { kName = 0, kLogin, kPassword, kEmail, kUrl, kComments };
    static constexpr int kTargetCount = 6;
    // The fields page's label of each target.
    static constexpr unsigned kTargetLabels[kTargetCount] = {62247, 62248, 61206,
                                                             62249, 62250, 62251};

    explicit CCsvImport(CTxDoc* document = nullptr) : m_document(document) {}
    ~CCsvImport();
    CCsvImport(const CCsvImport&) = delete;
    CCsvImport& operator=(const CCsvImport&) = delete;

    void SetDocument(CTxDoc* document) { m_document = document; }
    CTxDoc* GetDocument() const { return m_document; }
    CKivCsvFile& GetReader() { return m_reader; }

    // The source column of a target, -1 when it is not mapped.
    void SetColumn(int target, int column);
    int GetColumn(int target) const;
    void SetSkipHeader(bool skip) { m_skipHeader = skip; }
    bool GetSkipHeader() const { return m_skipHeader; }
    void SetTargetFolder(int id) { m_targetFolder = id; }
    int GetTargetFolder() const { return m_targetFolder; }

    // Reads the whole source again into new records; returns how many were made. Every row
    // starts selected when it is valid.
    int ReadAll();
    // Stores the selected records in the target folder in one transaction and returns how
    // many were stored: all of them, or 0 when any step failed (nothing is kept then).
    int Commit();
    // The same, telling progress about every record stored (of the selected count). When
    // progress answers false the transaction is rolled back before it is committed: nothing is
    // stored, 0 is returned and WasCancelled() is true until the next Commit.
    int Commit(const PROGRESS_CALLBACK& progress);
    bool WasCancelled() const { return m_cancelled; }
    // The progress Commit() tells, for callers that reach it through the wizard's pages.
    void SetCommitProgress(PROGRESS_CALLBACK progress) { m_commitProgress = std::move(progress); }
    // The row's field at index. Below 0 (an unmapped target): empty, ok left as it is. At or
    // beyond the row's field count: empty, ok cleared. Otherwise the field; ok is cleared when
    // the field is empty.
    static std::string GetValue(const CKivCsvRow& row, int index, bool& ok);
    // Releases every record read.
    void Clear();

    int GetRecordCount() const { return static_cast<int>(m_records.size()); }
    // The record of row i (borrowed, valid until the next ReadAll or Clear).
    IPasswordProperties* GetRecord(int i) const;
    // The six values of row i's record in target order.
    std::array<std::string, kTargetCount> GetValues(int i) const;
    // True when every mapped column of row i had a value.
    bool IsValid(int i) const;
    bool IsSelected(int i) const;
    // Replaces the selection; false (and nothing changed) unless there is one entry per
    // record.
    bool SetSelection(const std::vector<bool>& selection);
    int GetSelectedCount() const;

private:
    CTxDoc* m_document;
    CKivCsvFile m_reader;
    std::vector<TComPtr<IPasswordProperties>> m_records;
    std::vector<bool> m_validity;
    std::vector<bool> m_selection;
    std::array<int, kTargetCount> m_columns{-1, -1, -1, -1, -1, -1};
    bool m_skipHeader = false;
    int m_targetFolder = 1;
    bool m_cancelled = false;
    PROGRESS_CALLBACK m_commitProgress;
};
