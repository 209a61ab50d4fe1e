#pragma once

#include <cstddef>
#include <cstdint>

class CMemFile;

// Despite the CRC names, this is the vault's own additive checksum, and data files depend on
// its exact value: -1 plus every byte taken as a signed 8-bit value, in a wrapping 32-bit sum;
// a sum of 0 becomes -1, so a checksum is never 0. It is stored as 4 bytes, least significant
// first, directly after the bytes it covers (the seal of the header payload).

// The checksum of length bytes.
std::int32_t AdditiveChecksum(const void* bytes, std::size_t length);

// The checksum of stream from its position to its end, read in 256-byte chunks; the stream is
// left at its end. On a read failure shows "Unknown error at GetCRC32()" and returns 0.
std::int32_t GetCRC32(CMemFile& stream);

// True when stream ends in a valid seal: its last non-zero 4-byte word, found in 4-byte steps
// back from the end, equals the checksum of all bytes before that word. Leaves the position
// undefined. A short read shows "Unknown error at CheckCRC32()" and returns false.
bool CheckCRC32(CMemFile& stream);
