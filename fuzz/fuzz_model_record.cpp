// Reads arbitrary bytes as a serialised record, as a decrypted but damaged DATA column would
// supply them; whatever loads must write itself back in a form that loads again.

#include "model/Factory.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Damaged records are reported to the user; keep those boxes off standard error.
class CSilentSink : public IMessageSink {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return IDOK; }
};

std::string Bytes(ICommonProperties* record) {
    CMemFile file;
    if (!record->Serialize(file, true))
        std::abort();
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CSilentSink sink;
    static const bool installed = (SetMessageSink(&sink), true);
    (void)installed;
    CMemFile in(data, size);
    TComPtr<ICommonProperties> record;
    if (LoadItem(in, record) != S_OK)
        return 0;
    std::string written = Bytes(record.Get());
    CMemFile again(written.data(), written.size());
    TComPtr<ICommonProperties> reread;
    if (LoadItem(again, reread) != S_OK)
        std::abort();
    return 0;
}
