#pragma once

#include <cstddef>
#include <string>

class CMemFile;

// The two directions every DATA column goes, under the record key text.

// Decrypts stored payload bytes into out and rewinds it. False after a cipher error.
bool DecryptPayload(const void* bytes, std::size_t length, const std::string& keyText,
                    CMemFile& out);
// Encrypts plain from its start; the escaped text of the ciphertext, empty when the
// encryption produced nothing.
std::string EncryptPayloadToText(CMemFile& plain, const std::string& keyText);
