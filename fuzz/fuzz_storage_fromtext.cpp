// Feeds arbitrary text to the escaped text decoder, as a DATA column from a damaged or hostile
// data file would.

#include "storage/SQLiteBinary.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The engine hands the decoder NUL-terminated text; an embedded NUL ends it there.
    std::string text(reinterpret_cast<const char*>(data), size);
    CSQLiteBinary binary("prior", 5);
    int result = binary.FromText(text.c_str());
    if (result == 0) {
        // A refused text leaves the contents alone.
        if (binary.GetLength() != 5 || std::memcmp(binary.GetData(), "prior", 5) != 0)
            std::abort();
        return 0;
    }
    if (result != 1 || binary.GetLength() < 0 ||
        static_cast<std::size_t>(binary.GetLength()) > std::strlen(text.c_str()))
        std::abort();
    // Whatever decodes must encode into a clean text that decodes to the same bytes.
    std::string encoded = binary.ToText();
    if (encoded.find('\'') != std::string::npos || encoded.find('\0') != std::string::npos)
        std::abort();
    CSQLiteBinary again;
    if (again.FromText(encoded) != 1 || again.GetLength() != binary.GetLength() ||
        (binary.GetLength() && std::memcmp(again.GetData(), binary.GetData(),
                                           static_cast<std::size_t>(binary.GetLength())) != 0))
        std::abort();
    return 0;
}
