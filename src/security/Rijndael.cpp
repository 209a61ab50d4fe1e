#include "security/Rijndael.h"

#include "security/RijndaelKernels.h"
#include "security/SecureZero.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

std::atomic<bool> g_forceTablePath{false};

// Blocks handled per batch by the modes that can run several blocks at once.
constexpr std::size_t kBatchBlocks = 16;
constexpr std::size_t kBatchBytes = kBatchBlocks * CRijndael::kMaxBlockBytes;

bool IsValidLength(int length) {
    return length == 16 || length == 24 || length == 32;
}

void Xor(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = a[i] ^ b[i];
}

bool Overlaps(const void* a, const void* b, std::size_t n) {
    auto x = reinterpret_cast<std::uintptr_t>(a), y = reinterpret_cast<std::uintptr_t>(b);
    return x < y + n && y < x + n;
}

} // namespace

CRijndael::CRijndael() = default;

CRijndael::~CRijndael() {
    SecureZero(m_encryptKeys, sizeof m_encryptKeys);
    SecureZero(m_decryptKeys, sizeof m_decryptKeys);
    SecureZero(m_chain, sizeof m_chain);
    SecureZero(m_initialChain, sizeof m_initialChain);
}

void CRijndael::MakeKey(const void* key, const void* chain, int keyLength, int blockLength) {
    if (!key)
        throw CRijndaelException("Empty key");
    if (!IsValidLength(keyLength))
        throw CRijndaelException("Incorrect key length");
    if (!IsValidLength(blockLength))
        throw CRijndaelException("Incorrect block length");
    m_keyLength = keyLength;
    m_blockSize = blockLength;
    m_rounds = std::max(keyLength, blockLength) / 4 + 6;
    rijndael::ExpandKeys(static_cast<const std::uint8_t*>(key), keyLength / 4, blockLength / 4,
                         m_rounds, m_encryptKeys, m_decryptKeys);
    // A missing chain is taken as all zero rather than read from nowhere.
    std::memset(m_initialChain, 0, sizeof m_initialChain);
    if (chain)
        std::memcpy(m_initialChain, chain, static_cast<std::size_t>(blockLength));
    std::memcpy(m_chain, m_initialChain, sizeof m_chain);
    m_hardware = (blockLength == 16 || blockLength == 32) && rijndael::hw::Available();
    m_initialized = true;
}

void CRijndael::EncryptBlock(const void* in, void* out) {
    CheckInitialized();
    EncryptBlocks(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), 1);
}

void CRijndael::DecryptBlock(const void* in, void* out) {
    CheckInitialized();
    DecryptBlocks(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), 1);
}

void CRijndael::Encrypt(const void* input, void* output, std::size_t n, int mode) {
    CheckInitialized();
    CheckLength(n);
    auto* in = static_cast<const std::uint8_t*>(input);
    auto* out = static_cast<std::uint8_t*>(output);
    const std::size_t size = static_cast<std::size_t>(m_blockSize);
    const std::size_t blocks = n / size;
    if (mode == CBC) {
        if (UsesHardware()) {
            rijndael::hw::EncryptCbc(m_blockSize / 4, m_encryptKeys, m_rounds, m_chain, in, out,
                                     blocks);
            return;
        }
        alignas(16) std::uint8_t mixed[kMaxBlockBytes];
        for (std::size_t i = 0; i < blocks; ++i, in += size, out += size) {
            Xor(mixed, m_chain, in, size);
            EncryptBlocks(mixed, m_chain, 1);
            std::memcpy(out, m_chain, size);
        }
        SecureZero(mixed, sizeof mixed);
    } else if (mode == CFB) {
        alignas(16) std::uint8_t stream[kMaxBlockBytes];
        for (std::size_t i = 0; i < blocks; ++i, in += size, out += size) {
            EncryptBlocks(m_chain, stream, 1);
            Xor(m_chain, stream, in, size);
            std::memcpy(out, m_chain, size);
        }
        SecureZero(stream, sizeof stream);
    } else {
        EncryptBlocks(in, out, blocks);
    }
}

void CRijndael::Decrypt(const void* input, void* output, std::size_t n, int mode) {
    CheckInitialized();
    CheckLength(n);
    auto* in = static_cast<const std::uint8_t*>(input);
    auto* out = static_cast<std::uint8_t*>(output);
    const std::size_t size = static_cast<std::size_t>(m_blockSize);
    std::size_t blocks = n / size;
    if (mode == CBC && !Overlaps(in, out, n)) {
        // Separate buffers: decrypt everything at once, then undo the chaining from the
        // ciphertext that is still in place.
        DecryptBlocks(in, out, blocks);
        Xor(out, out, m_chain, size);
        for (std::size_t i = 1; i < blocks; ++i)
            Xor(out + i * size, out + i * size, in + (i - 1) * size, size);
        std::memcpy(m_chain, in + (blocks - 1) * size, size);
    } else if (mode == CBC || mode == CFB) {
        // The ciphertext of a batch is kept aside because out may overwrite it.
        alignas(16) std::uint8_t cipher[kBatchBytes];
        alignas(16) std::uint8_t work[kBatchBytes];
        while (blocks) {
            std::size_t count = std::min(blocks, kBatchBlocks);
            std::size_t bytes = count * size;
            std::memcpy(cipher, in, bytes);
            if (mode == CBC) {
                DecryptBlocks(cipher, out, count);
                Xor(out, out, m_chain, size);
                Xor(out + size, out + size, cipher, bytes - size);
            } else {
                // CFB runs the forward cipher over the previous ciphertext blocks.
                std::memcpy(work, m_chain, size);
                std::memcpy(work + size, cipher, bytes - size);
                EncryptBlocks(work, work, count);
                Xor(out, work, cipher, bytes);
            }
            std::memcpy(m_chain, cipher + bytes - size, size);
            in += bytes;
            out += bytes;
            blocks -= count;
        }
        SecureZero(work, sizeof work);
    } else {
        DecryptBlocks(in, out, blocks);
    }
}

int CRijndael::GetKeyLength() const {
    CheckInitialized();
    return m_keyLength;
}

int CRijndael::GetBlockSize() const {
    CheckInitialized();
    return m_blockSize;
}

int CRijndael::GetRounds() const {
    CheckInitialized();
    return m_rounds;
}

void CRijndael::ResetChain() {
    CheckInitialized();
    std::memcpy(m_chain, m_initialChain, sizeof m_chain);
}

bool CRijndael::HardwareAvailable() {
    return rijndael::hw::Available();
}

void CRijndael::ForceTablePath(bool force) {
    g_forceTablePath = force;
}

bool CRijndael::UsesHardware() const {
    return m_hardware && !g_forceTablePath;
}

void CRijndael::CheckInitialized() const {
    if (!m_initialized)
        throw CRijndaelException("Object not Initialized");
}

void CRijndael::CheckLength(std::size_t n) const {
    if (n == 0 || n % static_cast<std::size_t>(m_blockSize) != 0)
        throw CRijndaelException("Data not multiple of Block Size");
}

void CRijndael::EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) {
    if (UsesHardware())
        rijndael::hw::Encrypt(m_blockSize / 4, m_encryptKeys, m_rounds, in, out, blocks);
    else
        rijndael::table::Encrypt(m_blockSize / 4, m_encryptKeys, m_rounds, in, out, blocks);
}

void CRijndael::DecryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) {
    if (UsesHardware())
        rijndael::hw::Decrypt(m_blockSize / 4, m_decryptKeys, m_rounds, in, out, blocks);
    else
        rijndael::table::Decrypt(m_blockSize / 4, m_decryptKeys, m_rounds, in, out, blocks);
}
