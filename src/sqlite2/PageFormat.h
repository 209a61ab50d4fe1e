#pragma once
// Constants and integer access of the 2.8 page format. Structure integers follow the file's byte
// order (chosen by page 1's magic number); journal integers and keys are always big-endian.

#include <cstdint>
#include <cstring>

namespace sqlite2 {

using Pgno = uint32_t;

constexpr int kPageSize = 1024;
constexpr int kPageUsable = kPageSize - 8; // bytes after a B-tree page header
constexpr int kCellHeaderSize = 12;
constexpr int kMaxLocal = 236; // payload bytes kept inside a cell
constexpr int kOverflowUsable = kPageSize - 4;
constexpr int kMaxCellSize = kCellHeaderSize + kMaxLocal + 4;
constexpr int kMaxCellsPerPage = kPageUsable / 16;
constexpr int kHalfPage = kPageSize / 2;
constexpr int kMaxFreeLeaves = 254;
constexpr Pgno kMaxPgno = 1073741823;
constexpr uint32_t kMaxPayloadPart = (1u << 24) - 1; // key or data length limit
constexpr uint32_t kMagicNumber = 0xdae37528;
constexpr char kMagicText[] = "** This file contains an SQLite 2.1 database **";
constexpr int kMagicTextSize = 48; // including the NUL

// Page-1 offsets.
constexpr int kOffMagicNumber = 48;
constexpr int kOffFreeHead = 52;
constexpr int kOffFreeCount = 56;
constexpr int kOffMeta1 = 60;

inline uint32_t GetBe32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void PutBe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// Integer access in the file's order.
struct ByteOrder {
    bool big = false;

    uint16_t Get16(const uint8_t* p) const {
        return big ? uint16_t((p[0] << 8) | p[1]) : uint16_t(p[0] | (p[1] << 8));
    }
    uint32_t Get32(const uint8_t* p) const {
        if (big)
            return GetBe32(p);
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
               (uint32_t(p[3]) << 24);
    }
    void Put16(uint8_t* p, uint32_t v) const {
        if (big) {
            p[0] = uint8_t(v >> 8);
            p[1] = uint8_t(v);
        } else {
            p[0] = uint8_t(v);
            p[1] = uint8_t(v >> 8);
        }
    }
    void Put32(uint8_t* p, uint32_t v) const {
        if (big) {
            PutBe32(p, v);
        } else {
            p[0] = uint8_t(v);
            p[1] = uint8_t(v >> 8);
            p[2] = uint8_t(v >> 16);
            p[3] = uint8_t(v >> 24);
        }
    }
};

inline uint32_t RoundUp4(uint32_t n) {
    return (n + 3) & ~3u;
}

// Decoded 12-byte cell header plus the sizes that follow from it.
struct CellInfo {
    uint32_t left = 0;
    uint32_t nKey = 0;
    uint32_t nData = 0;
    uint16_t next = 0;
    uint32_t size = 0;   // bytes the cell occupies in the page
    uint32_t nLocal = 0; // payload bytes stored in the cell

    uint32_t Payload() const { return nKey + nData; }
    bool HasOverflow() const { return Payload() > uint32_t(kMaxLocal); }
};

inline uint32_t CellSizeFor(uint32_t payload) {
    return payload > uint32_t(kMaxLocal) ? uint32_t(kMaxCellSize)
                                         : kCellHeaderSize + RoundUp4(payload);
}

inline CellInfo ParseCell(const ByteOrder& bo, const uint8_t* c) {
    CellInfo ci;
    ci.left = bo.Get32(c);
    ci.nKey = bo.Get16(c + 4) + (uint32_t(c[8]) << 16);
    ci.next = bo.Get16(c + 6);
    ci.nData = bo.Get16(c + 10) + (uint32_t(c[9]) << 16);
    uint32_t p = ci.nKey + ci.nData;
    ci.nLocal = p > uint32_t(kMaxLocal) ? uint32_t(kMaxLocal) : p;
    ci.size = CellSizeFor(p);
    return ci;
}

// First overflow page of a cell whose payload does not fit locally.
inline Pgno CellOverflow(const ByteOrder& bo, const uint8_t* c) {
    return bo.Get32(c + kCellHeaderSize + kMaxLocal);
}

inline uint32_t OverflowPages(uint32_t payload) {
    return payload > uint32_t(kMaxLocal)
               ? (payload - kMaxLocal + kOverflowUsable - 1) / kOverflowUsable
               : 0;
}

} // namespace sqlite2
