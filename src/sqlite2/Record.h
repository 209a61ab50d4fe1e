#pragma once
// Row storage: the 4-byte rowid key and the record (offsets + NUL-terminated texts).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sqlite2 {

// Every stored value is text or NULL.
using Value = std::optional<std::string>;

constexpr size_t kMaxRecordSize = 1048576;

// BE32(rowid XOR 0x80000000): byte order equals numeric order.
void PutRowidKey(int32_t rowid, unsigned char out[4]);
std::string RowidKey(int32_t rowid);
int32_t GetRowidKey(const unsigned char key[4]);

// Size the record of these values would have (offsets included).
size_t RecordSize(const std::vector<Value>& values);
std::string EncodeRecord(const std::vector<Value>& values);

// Offset width the reader derives from the record size.
inline int OffsetWidth(size_t recordSize) {
    return recordSize < 256 ? 1 : recordSize < 65536 ? 2 : 3;
}

// Reads the nCols+1 offsets from the header bytes; false when they are inconsistent (corrupt).
// An empty record yields all-NULL offsets.
bool DecodeOffsets(const unsigned char* header, size_t headerLen, size_t recordSize, int nCols,
                   std::vector<uint32_t>& offsets);

// Decodes a whole record held in memory.
bool DecodeRecord(const std::string& data, int nCols, std::vector<Value>& values);

} // namespace sqlite2
