#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CKivDatabase;
class CMemFile;

// Direct reading of the rows of a data file, for the commands that look at what is stored
// rather than at what the model makes of it (check, dump).

// Runs sql and calls row with the columns of each row (null for SQL NULL), valid during the
// call. Database failures are thrown as CSQLiteException.
void ForEachRow(CKivDatabase& db, const char* sql,
                const std::function<void(const std::vector<const char*>& columns)>& row);

// A DATA column as stored: its escaped text and, when that decodes, the ciphertext.
struct STOREDDATA {
    bool isNull = true;
    std::string text;
    bool malformed = false;
    std::string ciphertext;
};
STOREDDATA DecodeStoredData(const char* text);

// Decrypts a ciphertext under the record key text into plain (rewound). False after a cipher
// error.
bool DecryptStoredData(const std::string& ciphertext, const std::string& keyText, CMemFile& plain);
