#include "security/SecureZero.h"

#include <string.h>

void SecureZero(void* bytes, std::size_t length) {
    if (bytes && length)
        explicit_bzero(bytes, length);
}

void SecureZero(std::string& text) {
    text.resize(text.capacity());
    SecureZero(text.data(), text.size());
    text.clear();
}
