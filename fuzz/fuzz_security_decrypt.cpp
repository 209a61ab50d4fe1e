// Decrypts arbitrary bytes as a payload, as a damaged or hostile DATA column would supply them.

#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "security/KivCrypto.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Cipher errors are expected for some key texts; keep them off standard error.
class CSilentSink : public IMessageSink {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return IDOK; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CSilentSink sink;
    static const bool installed = (SetMessageSink(&sink), true);
    (void)installed;
    if (size == 0)
        return 0;
    // The first byte picks the key text: the usual 32 characters, or ones SetKey must pad or cut.
    static const char* const kKeys[] = {"5ebe2294ecd0e0f08eab7690d2a6ee69", "abcde",
                                        "yyyyyyyyyyyyyyyyyyyy",
                                        "0123456789012345678901234567890123456789"};
    CKivCrypto crypto;
    crypto.SetKey(kKeys[data[0] % 4]);
    CMemFile in(data + 1, size - 1), out;
    crypto.Decrypt(in, out);
    std::uint64_t chunks = (size - 1 + 255) / 256;
    if (out.GetLength() > 256 * chunks)
        std::abort();
    return 0;
}
