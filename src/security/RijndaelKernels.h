#pragma once

// Block kernels behind CRijndael: the portable round-table path and the AES-instruction path.
// Round keys are rows of little-endian column words (see CRijndael); blocks are contiguous.

#include <cstddef>
#include <cstdint>

namespace rijndael {

using RoundKeys = const std::uint32_t (*)[8];

// Fills the encryption keys and the decryption keys of the equivalent inverse cipher
// (reversed order, inner rounds passed through InvMixColumns).
void ExpandKeys(const std::uint8_t* key, int keyWords, int blockWords, int rounds,
                std::uint32_t encrypt[][8], std::uint32_t decrypt[][8]);

namespace table {
void Encrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
             std::size_t blocks);
void Decrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
             std::size_t blocks);
} // namespace table

// Only for 4- and 8-word blocks, and only when Available().
namespace hw {
bool Available();
void Encrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
             std::size_t blocks);
void Decrypt(int blockWords, RoundKeys keys, int rounds, const std::uint8_t* in, std::uint8_t* out,
             std::size_t blocks);
// CBC encryption keeps the chain in registers; chain is updated to the last ciphertext block.
void EncryptCbc(int blockWords, RoundKeys keys, int rounds, std::uint8_t* chain,
                const std::uint8_t* in, std::uint8_t* out, std::size_t blocks);
} // namespace hw

} // namespace rijndael
