#include "sqlite2/Record.h"

namespace sqlite2 {

void PutRowidKey(int32_t rowid, unsigned char out[4]) {
    uint32_t u = static_cast<uint32_t>(rowid) ^ 0x80000000u;
    out[0] = static_cast<unsigned char>(u >> 24);
    out[1] = static_cast<unsigned char>(u >> 16);
    out[2] = static_cast<unsigned char>(u >> 8);
    out[3] = static_cast<unsigned char>(u);
}

std::string RowidKey(int32_t rowid) {
    unsigned char k[4];
    PutRowidKey(rowid, k);
    return std::string(reinterpret_cast<char*>(k), 4);
}

int32_t GetRowidKey(const unsigned char key[4]) {
    uint32_t u = (uint32_t(key[0]) << 24) | (uint32_t(key[1]) << 16) | (uint32_t(key[2]) << 8) |
                 uint32_t(key[3]);
    return static_cast<int32_t>(u ^ 0x80000000u);
}

namespace {

size_t PayloadSize(const std::vector<Value>& values) {
    size_t d = 0;
    for (const Value& v : values)
        if (v)
            d += v->size() + 1;
    return d;
}

int WriterWidth(size_t payload, size_t nOffsets) {
    if (payload + nOffsets < 256)
        return 1;
    if (payload + 2 * nOffsets < 65536)
        return 2;
    return 3;
}

} // namespace

size_t RecordSize(const std::vector<Value>& values) {
    size_t d = PayloadSize(values);
    size_t n = values.size() + 1;
    return d + n * static_cast<size_t>(WriterWidth(d, n));
}

std::string EncodeRecord(const std::vector<Value>& values) {
    size_t d = PayloadSize(values);
    size_t n = values.size() + 1;
    int w = WriterWidth(d, n);
    std::string out;
    out.reserve(d + n * static_cast<size_t>(w));
    size_t off = n * static_cast<size_t>(w);
    auto put = [&](size_t v) {
        for (int i = 0; i < w; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    for (const Value& v : values) {
        put(off);
        if (v)
            off += v->size() + 1;
    }
    put(off);
    for (const Value& v : values) {
        if (v) {
            out += *v;
            out += '\0';
        }
    }
    return out;
}

bool DecodeOffsets(const unsigned char* header, size_t headerLen, size_t recordSize, int nCols,
                   std::vector<uint32_t>& offsets) {
    offsets.assign(static_cast<size_t>(nCols) + 1, 0);
    if (recordSize == 0)
        return true;
    int w = OffsetWidth(recordSize);
    size_t need = (static_cast<size_t>(nCols) + 1) * static_cast<size_t>(w);
    if (headerLen < need)
        return false;
    uint32_t prev = 0;
    for (int i = 0; i <= nCols; ++i) {
        const unsigned char* p = header + static_cast<size_t>(i) * static_cast<size_t>(w);
        uint32_t v = p[0];
        if (w > 1)
            v |= uint32_t(p[1]) << 8;
        if (w > 2)
            v |= uint32_t(p[2]) << 16;
        if (v < prev || v > recordSize)
            return false;
        offsets[static_cast<size_t>(i)] = v;
        prev = v;
    }
    return true;
}

bool DecodeRecord(const std::string& data, int nCols, std::vector<Value>& values) {
    std::vector<uint32_t> off;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    if (!DecodeOffsets(p, data.size(), data.size(), nCols, off))
        return false;
    values.assign(static_cast<size_t>(nCols), std::nullopt);
    for (int i = 0; i < nCols; ++i) {
        uint32_t a = off[static_cast<size_t>(i)], b = off[static_cast<size_t>(i) + 1];
        if (b > a)
            values[static_cast<size_t>(i)] = std::string(data.data() + a, b - a - 1);
    }
    return true;
}

} // namespace sqlite2
