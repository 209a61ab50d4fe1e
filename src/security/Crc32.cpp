#include "security/Crc32.h"

#include "platform/MemFile.h"
#include "platform/MessageBox.h"

#include <exception>

namespace {

// Unsigned arithmetic gives the wrap-around the stored values depend on.
std::uint32_t AddBytes(std::uint32_t sum, const std::uint8_t* bytes, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        sum += static_cast<std::uint32_t>(
            static_cast<std::int32_t>(static_cast<std::int8_t>(bytes[i])));
    return sum;
}

std::int32_t Finish(std::uint32_t sum) {
    return sum == 0 ? -1 : static_cast<std::int32_t>(sum);
}

std::uint32_t ReadWord(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

} // namespace

std::int32_t AdditiveChecksum(const void* bytes, std::size_t length) {
    if (!bytes)
        length = 0;
    return Finish(AddBytes(0xffffffffu, static_cast<const std::uint8_t*>(bytes), length));
}

std::int32_t GetCRC32(CMemFile& stream) {
    try {
        std::uint32_t sum = 0xffffffffu;
        std::uint8_t chunk[256];
        std::uint64_t reads = stream.GetLength() / sizeof chunk + 1;
        for (std::uint64_t i = 0; i < reads; ++i) {
            std::size_t got = stream.Read(chunk, sizeof chunk);
            if (got == 0)
                break;
            sum = AddBytes(sum, chunk, got);
        }
        return Finish(sum);
    } catch (const std::exception&) {
        KivMessageBox("Unknown error at GetCRC32()");
        return 0;
    }
}

bool CheckCRC32(CMemFile& stream) {
    try {
        stream.SeekToEnd();
        std::uint32_t stored = 0;
        std::uint64_t words = 0;
        while (stored == 0 && stream.GetPosition() > 4) {
            std::uint8_t word[4];
            stream.Seek(-4, CMemFile::current);
            if (stream.Read(word, 4) != 4)
                throw std::exception();
            stored = ReadWord(word);
            stream.Seek(-4, CMemFile::current);
            ++words;
        }
        stream.SeekToBegin();
        std::uint64_t covered = stream.GetLength() - 4 * words;
        std::int32_t sum = Finish(AddBytes(0xffffffffu, stream.GetData(), covered));
        stream.Seek(static_cast<std::int64_t>(covered), CMemFile::begin);
        std::uint8_t seal[4];
        if (stream.Read(seal, 4) != 4)
            throw std::exception();
        return static_cast<std::int32_t>(ReadWord(seal)) == sum;
    } catch (const std::exception&) {
        KivMessageBox("Unknown error at CheckCRC32()");
        return false;
    }
}
