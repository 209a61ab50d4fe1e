#pragma once

#include <cstddef>
#include <string>

// Clears memory that held key material or plaintext in a way the optimiser cannot drop.
void SecureZero(void* bytes, std::size_t length);

// Clears a string's whole buffer (its capacity, not only its length) and empties it.
void SecureZero(std::string& text);
