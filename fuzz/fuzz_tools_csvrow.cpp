// CSV rows from outside text: the first byte picks the separator and the quote stripping.
#include "tools/KivCsvRow.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const char separator = static_cast<char>(data[0] & 0x7F);
    const bool strip = (data[0] & 0x80) != 0;
    CKivCsvRow row(separator, strip,
                   std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    row.Parse();
    std::size_t total = 0;
    for (int i = 0; i < row.GetFieldCount(); ++i)
        total += row.GetField(i).size();
    // Escapes only ever shorten the text.
    if (row.GetFieldCount() < 1 || total > size)
        __builtin_trap();
    return 0;
}
