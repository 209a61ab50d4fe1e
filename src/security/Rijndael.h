#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

// A cipher failure; what() is the text shown to the user ("Empty key", "Incorrect key length",
// "Incorrect block length", "Object not Initialized", "Data not multiple of Block Size").
class CRijndaelException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The Rijndael block cipher with 16-, 24- or 32-byte keys and blocks (the 16-byte-block subset
// is AES). Keeps the key schedule and the chaining block, which CBC and CFB calls carry on
// from one call to the next. On processors with AES instructions the 16- and 32-byte blocks
// run on them; otherwise, and for 24-byte blocks, on 32-bit round tables.
class CRijndael {
public:
    enum { ECB = 0, CBC = 1, CFB = 2 };

    static constexpr int kMaxRounds = 14;
    static constexpr int kMaxBlockBytes = 32;

    CRijndael();
    virtual ~CRijndael();

    CRijndael(const CRijndael&) = delete;
    CRijndael& operator=(const CRijndael&) = delete;

    // Expands key (keyLength bytes) and sets the chaining block from the first blockLength
    // bytes of chain. Both lengths must be 16, 24 or 32. Throws CRijndaelException, leaving the
    // object as it was, on a null key or a bad length.
    void MakeKey(const void* key, const void* chain, int keyLength = 16, int blockLength = 16);

    // One block of GetBlockSize() bytes; throws before a key is made.
    void EncryptBlock(const void* in, void* out);
    void DecryptBlock(const void* in, void* out);

    // n bytes, a non-zero multiple of the block size, in mode ECB, CBC or CFB (any other value
    // is ECB). in and out may be the same buffer. Nothing is written when a check fails.
    void Encrypt(const void* in, void* out, std::size_t n, int mode = ECB);
    void Decrypt(const void* in, void* out, std::size_t n, int mode = ECB);

    int GetKeyLength() const;
    int GetBlockSize() const;
    int GetRounds() const;
    // Restores the chaining block given to MakeKey.
    void ResetChain();

    // True when this processor has the AES and byte-shuffle instructions.
    static bool HardwareAvailable();
    // Makes every object use the round tables (tests and benchmarks compare both paths).
    static void ForceTablePath(bool force);
    // True when this object's blocks run on the AES instructions.
    bool UsesHardware() const;

private:
    void CheckInitialized() const;
    void CheckLength(std::size_t n) const;
    void EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks);
    void DecryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks);

    bool m_initialized = false;
    bool m_hardware = false;
    int m_keyLength = 0;
    int m_blockSize = 0;
    int m_rounds = 0;
    // Round keys as little-endian column words, one row of up to eight columns per round; the
    // byte order in memory is the cipher's own, which the AES instructions load directly.
    alignas(16) std::uint32_t m_encryptKeys[kMaxRounds + 1][8] = {};
    alignas(16) std::uint32_t m_decryptKeys[kMaxRounds + 1][8] = {};
    alignas(16) std::uint8_t m_chain[kMaxBlockBytes] = {};
    alignas(16) std::uint8_t m_initialChain[kMaxBlockBytes] = {};
};
