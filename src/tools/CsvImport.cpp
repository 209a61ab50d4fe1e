#include "tools/CsvImport.h"

#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/PayloadCipher.h"
#include "model/TransactionScope.h"
#include "model/TxDoc.h"
#include "platform/FileTime.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/SecureZero.h"
#include "storage/KivDatabase.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"
#include "tools/KivCsvRow.h"

#include <algorithm>

namespace {

constexpr unsigned kIdNewRecordName = 61206;
constexpr unsigned kIdNamelessRecord = 61369;
constexpr unsigned kIdCannotCreateObject = 62709;
constexpr unsigned kIdOutOfMemory = 62208;

// Writes record as the data of node id, like SetData, but lets a failure through so that the
// import's transaction fails with it (SetData shows it and carries on).
void StoreRecord(CKivDatabase& db, ITresorix& tresorix, int id, ICommonProperties& record) {
    const FILETIME64 now = CurrentFileTime();
    // The record replaces the one the document made a moment ago, so it is as new.
    record.SetCreated(now);
    record.SetModified(now);
    CMemFile plain;
    if (!record.Serialize(plain, true))
        throw CSQLiteException(0, LoadString(kIdCannotCreateObject));
    std::string keyText = tresorix.GetPassword();
    std::string text = EncryptPayloadToText(plain, keyText);
    SecureZero(keyText);
    if (text.empty())
        throw CSQLiteException(0, LoadString(kIdCannotCreateObject));
    CSQLiteBuffer sql;
    if (!sql.Format(tx::sql::kUpdateItemData, text.c_str(), id))
        throw CSQLiteException(7, LoadString(kIdOutOfMemory));
    db.Execute(sql);
    tresorix.RemoveCachedItem(id);
}

} // namespace

CCsvImport::~CCsvImport() {
    Clear();
}

void CCsvImport::SetColumn(int target, int column) {
    if (target >= 0 && target < kTargetCount)
        m_columns[static_cast<std::size_t>(target)] = column < 0 ? -1 : column;
}

int CCsvImport::GetColumn(int target) const {
    return target >= 0 && target < kTargetCount ? m_columns[static_cast<std::size_t>(target)] : -1;
}

std::string CCsvImport::GetValue(const CKivCsvRow& row, int index, bool& ok) {
    if (index < 0)
        return {};
    if (index >= row.GetFieldCount()) {
        ok = false;
        return {};
    }
    std::string value = row.GetField(index);
    if (value.empty())
        ok = false;
    return value;
}

void CCsvImport::Clear() {
    m_records.clear();
    m_validity.clear();
    m_selection.clear();
}

int CCsvImport::ReadAll() {
    Clear();
    m_reader.Rewind();
    if (m_skipHeader)
        m_reader.ReadRow();
    int count = 0;
    while (std::unique_ptr<CKivCsvRow> row = m_reader.ReadRow()) {
        std::array<std::string, kTargetCount> values;
        bool valid = true;
        for (int t = 0; t < kTargetCount; ++t) {
            bool ok = true;
            values[static_cast<std::size_t>(t)] = GetValue(*row, GetColumn(t), ok);
            valid = valid && ok;
        }
        row.reset();
        m_validity.push_back(valid);
        std::string& name = values[kName];
        if (name.empty())
            name = FormatString(LoadString(kIdNamelessRecord), std::to_string(count));

        TComPtr<IPasswordProperties> record =
            CreateObjectAs<IPasswordProperties>(CLSID_PasswordItem);
        TComPtr<ICommonProperties> common = record.As<ICommonProperties>();
        if (record && common) {
            record->SetLogin(values[kLogin]);
            record->SetPassword(values[kPassword]);
            record->SetEmail(values[kEmail]);
            record->SetURL(values[kUrl]);
            common->SetName(name);
            common->SetComments(values[kComments]);
            m_records.push_back(std::move(record));
            ++count;
        } else {
            m_validity.pop_back();
        }
        for (std::string& value : values)
            SecureZero(value);
    }
    m_selection = m_validity;
    return count;
}

IPasswordProperties* CCsvImport::GetRecord(int i) const {
    return i >= 0 && i < GetRecordCount() ? m_records[static_cast<std::size_t>(i)].Get() : nullptr;
}

std::array<std::string, CCsvImport::kTargetCount> CCsvImport::GetValues(int i) const {
    std::array<std::string, kTargetCount> values;
    IPasswordProperties* record = GetRecord(i);
    if (!record)
        return values;
    TComPtr<ICommonProperties> common =
        TComPtr<IPasswordProperties>(record).As<ICommonProperties>();
    values[kName] = common ? common->GetName() : std::string();
    values[kLogin] = record->GetLogin();
    values[kPassword] = record->GetPassword();
    values[kEmail] = record->GetEmail();
    values[kUrl] = record->GetURL();
    values[kComments] = common ? common->GetComments() : std::string();
    return values;
}

bool CCsvImport::IsValid(int i) const {
    return i >= 0 && i < static_cast<int>(m_validity.size()) &&
           m_validity[static_cast<std::size_t>(i)];
}

bool CCsvImport::IsSelected(int i) const {
    return i >= 0 && i < static_cast<int>(m_selection.size()) &&
           m_selection[static_cast<std::size_t>(i)];
}

bool CCsvImport::SetSelection(const std::vector<bool>& selection) {
    if (selection.size() != m_records.size())
        return false;
    m_selection = selection;
    return true;
}

int CCsvImport::GetSelectedCount() const {
    return static_cast<int>(std::count(m_selection.begin(), m_selection.end(), true));
}

int CCsvImport::Commit() {
    return Commit(m_commitProgress);
}

int CCsvImport::Commit(const PROGRESS_CALLBACK& progress) {
    m_cancelled = false;
    if (!m_document || !m_document->IsAuthorised() || GetSelectedCount() == 0)
        return 0;
    CKivDatabase* db = m_document->GetDatabase();
    TComPtr<ITresorix> tresorix = m_document->GetTresorix();
    // Records under a folder that is gone would be stored where nothing shows them.
    TComPtr<ICommonProperties> folder = m_document->GetRecord(m_targetFolder);
    if (!db || !tresorix || !folder || !folder->IsFolder())
        return 0;
    const std::string newName = LoadString(kIdNewRecordName);
    std::vector<int> created;
    const int total = GetSelectedCount();
    int count = 0;
    try {
        // One transaction for the lot: the document's create step joins it, so a failure
        // anywhere leaves the data file as it was.
        CTransactionScope scope(*db);
        m_cancelled = !ReportProgress(progress, 0, static_cast<std::uint64_t>(total));
        for (std::size_t i = 0; i < m_records.size() && !m_cancelled; ++i) {
            if (!m_selection[i])
                continue;
            const int id = m_document->CreateNewObject(CLSID_PasswordItem, m_targetFolder, newName);
            if (id == 0)
                break;
            created.push_back(id);
            TComPtr<ICommonProperties> record = m_records[i].As<ICommonProperties>();
            if (!record)
                throw CSQLiteException(0, LoadString(kIdCannotCreateObject));
            StoreRecord(*db, *tresorix, id, *record);
            ++count;
            m_cancelled = !ReportProgress(progress, static_cast<std::uint64_t>(count),
                                          static_cast<std::uint64_t>(total));
        }
        // Leaving the scope uncommitted rolls back a cancelled import.
        if (m_cancelled || count != total || !scope.Commit())
            count = 0;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        count = 0;
    }
    if (count == 0) {
        // Rolled back: the identifiers may be handed out again.
        for (int id : created)
            tresorix->RemoveCachedItem(id);
    }
    tresorix->StampFileTime();
    return count;
}
