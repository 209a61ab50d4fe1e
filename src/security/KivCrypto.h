#pragma once

#include "security/Rijndael.h"

#include <cstdint>
#include <string>
#include <string_view>

class CMemFile;

// Encrypts and decrypts whole payload streams under a key text (the record key text: the
// 32-character MD5 of the master password, whose ASCII bytes are the cipher key).
//
// Encrypted stream of a plaintext of L bytes: the plaintext in 256-byte chunks, the last one
// filled up with zero bytes, then a trailer chunk holding L as a 32-bit little-endian integer
// and zero bytes; all of it one CBC run with key length = block length = the key text length
// and an all-zero initial chain. No salt and no authentication: the same plaintext under the
// same key always gives the same bytes.
//
// Objects are short-lived: construct, SetKey, one Encrypt or Decrypt, destroy.
class CKivCrypto {
public:
    static constexpr int kChunkLength = 256;

    explicit CKivCrypto(int mode = CRijndael::CBC, int chunkLength = kChunkLength);
    virtual ~CKivCrypto();

    CKivCrypto(const CKivCrypto&) = delete;
    CKivCrypto& operator=(const CKivCrypto&) = delete;

    // Stores text cut to 32 characters, or with '#' appended up to 16, 24 or 32 characters.
    void SetKey(std::string_view text);
    // The normalised key text.
    const std::string& GetKey() const { return m_key; }

    // Appends the encrypted form of in (from its current position to its end) to out.
    // A cipher error is shown in a message box; out then keeps the chunks written before it,
    // and false is returned.
    bool Encrypt(CMemFile& in, CMemFile& out);
    // Decrypts in (from its current position) into out, cut to the stored plaintext length when
    // that length is plausible; otherwise out keeps every decrypted byte, trailer included. A wrong
    // key is not detected here (callers check the header seal). An empty input gives an empty
    // output. A cipher error is shown in a message box and false is returned.
    bool Decrypt(CMemFile& in, CMemFile& out);

    // The additive checksum of stream from its position to its end (see Crc32.h).
    std::int32_t GetCRC32(CMemFile& stream);

private:
    void MakeKey(CRijndael& cipher) const;

    int m_mode;
    int m_chunkLength;
    std::string m_key;
};
