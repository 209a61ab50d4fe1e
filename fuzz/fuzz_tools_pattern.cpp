// Search patterns and field texts: the input holds a pattern, a NUL byte and the text.
#include "tools/RegularExpression.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    CRegularExpression expression(input.substr(0, split));
    expression.Match(split == std::string::npos ? std::string() : input.substr(split + 1));
    return 0;
}
