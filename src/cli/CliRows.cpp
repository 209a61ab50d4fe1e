#include "cli/CliRows.h"

#include "model/PayloadCipher.h"
#include "platform/MemFile.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"

void ForEachRow(CKivDatabase& db, const char* sql,
                const std::function<void(const std::vector<const char*>& columns)>& row) {
    CursorPtr cursor(db.Query(sql));
    CRow* raw = nullptr;
    std::vector<const char*> columns;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr current(raw);
        if (!current)
            continue;
        const int count = current->GetFieldCount();
        std::vector<FieldPtr> fields;
        columns.clear();
        for (int i = 0; i < count; ++i) {
            fields.emplace_back(current->GetField(i));
            columns.push_back(fields.back() ? fields.back()->AsString() : nullptr);
        }
        row(columns);
    }
}

STOREDDATA DecodeStoredData(const char* text) {
    STOREDDATA data;
    if (!text)
        return data;
    data.isNull = false;
    data.text = text;
    CSQLiteBinary binary;
    if (!binary.FromText(text)) {
        data.malformed = true;
        return data;
    }
    if (binary.GetLength() > 0)
        data.ciphertext.assign(reinterpret_cast<const char*>(binary.GetData()),
                               static_cast<std::size_t>(binary.GetLength()));
    return data;
}

bool DecryptStoredData(const std::string& ciphertext, const std::string& keyText, CMemFile& plain) {
    return DecryptPayload(ciphertext.data(), ciphertext.size(), keyText, plain);
}
