#include "security/KivCrypto.h"

#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "security/Crc32.h"
#include "security/SecureZero.h"

#include <cstring>
#include <memory>

namespace {

// A work buffer that is wiped whenever it is cleared and when it goes away.
class CWorkBuffer {
public:
    explicit CWorkBuffer(std::size_t size) : m_bytes(new std::uint8_t[size]()), m_size(size) {}
    ~CWorkBuffer() { Clear(); }
    CWorkBuffer(const CWorkBuffer&) = delete;
    CWorkBuffer& operator=(const CWorkBuffer&) = delete;

    std::uint8_t* Data() { return m_bytes.get(); }
    void Clear() { SecureZero(m_bytes.get(), m_size); }

private:
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_size;
};

void StoreLength(std::uint8_t* p, std::uint64_t length) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

std::uint32_t LoadLength(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

} // namespace

CKivCrypto::CKivCrypto(int mode, int chunkLength)
    // The trailer needs room for the 4-byte length.
    : m_mode(mode), m_chunkLength(chunkLength >= 4 ? chunkLength : kChunkLength) {}

CKivCrypto::~CKivCrypto() {
    SecureZero(m_key);
}

void CKivCrypto::SetKey(std::string_view text) {
    SecureZero(m_key);
    m_key.reserve(32);
    if (text.size() > 32)
        text = text.substr(0, 32);
    m_key.assign(text);
    std::size_t length = text.size() <= 16 ? 16 : text.size() <= 24 ? 24 : 32;
    m_key.append(length - text.size(), '#');
}

void CKivCrypto::MakeKey(CRijndael& cipher) const {
    int length = static_cast<int>(m_key.size());
    std::uint8_t chain[CRijndael::kMaxBlockBytes] = {};
    cipher.MakeKey(m_key.data(), chain, length, length);
}

bool CKivCrypto::Encrypt(CMemFile& in, CMemFile& out) {
    const std::size_t chunk = static_cast<std::size_t>(m_chunkLength);
    CWorkBuffer plain(chunk), cipher(chunk);
    try {
        CRijndael rijndael;
        MakeKey(rijndael);
        const std::uint64_t length = in.GetLength();
        const std::uint64_t reads = length / chunk + 1;
        for (std::uint64_t i = 0; i < reads; ++i) {
            plain.Clear();
            if (in.Read(plain.Data(), chunk) == 0)
                break;
            rijndael.Encrypt(plain.Data(), cipher.Data(), chunk, m_mode);
            out.Write(cipher.Data(), chunk);
        }
        plain.Clear();
        StoreLength(plain.Data(), length);
        rijndael.Encrypt(plain.Data(), cipher.Data(), chunk, m_mode);
        out.Write(cipher.Data(), chunk);
        return true;
    } catch (const CRijndaelException& e) {
        KivMessageBox(e.what());
        return false;
    }
}

bool CKivCrypto::Decrypt(CMemFile& in, CMemFile& out) {
    const std::size_t chunk = static_cast<std::size_t>(m_chunkLength);
    CWorkBuffer cipher(chunk), plain(chunk);
    try {
        CRijndael rijndael;
        MakeKey(rijndael);
        const std::uint64_t reads = in.GetLength() / chunk + 1;
        for (std::uint64_t i = 0; i < reads; ++i) {
            cipher.Clear();
            if (in.Read(cipher.Data(), chunk) == 0)
                break;
            rijndael.Decrypt(cipher.Data(), plain.Data(), chunk, m_mode);
            out.Write(plain.Data(), chunk);
            plain.Clear();
        }
    } catch (const CRijndaelException& e) {
        KivMessageBox(e.what());
        return false;
    }
    // Without a whole trailer chunk (an empty input) there is no stored length to trust, and
    // the output stays as it is: empty, which reads as an invalid payload.
    const std::uint64_t decrypted = out.GetLength();
    if (decrypted < chunk)
        return true;
    const std::uint64_t stored = LoadLength(out.GetData() + (decrypted - chunk));
    if (stored > 0 && stored <= decrypted && decrypted < stored + 2 * chunk + 1)
        out.SetLength(stored);
    return true;
}

std::int32_t CKivCrypto::GetCRC32(CMemFile& stream) {
    return ::GetCRC32(stream);
}
