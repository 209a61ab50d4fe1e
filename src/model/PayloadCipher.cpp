#include "model/PayloadCipher.h"

#include "platform/MemFile.h"
#include "security/KivCrypto.h"
#include "storage/SQLiteBinary.h"

bool DecryptPayload(const void* bytes, std::size_t length, const std::string& keyText,
                    CMemFile& out) {
    CMemFile in(bytes, length);
    CKivCrypto crypto(CRijndael::CBC, CKivCrypto::kChunkLength);
    crypto.SetKey(keyText);
    bool ok = crypto.Decrypt(in, out);
    out.SeekToBegin();
    return ok;
}

std::string EncryptPayloadToText(CMemFile& plain, const std::string& keyText) {
    plain.SeekToBegin();
    CMemFile encrypted;
    CKivCrypto crypto(CRijndael::CBC, CKivCrypto::kChunkLength);
    crypto.SetKey(keyText);
    if (!crypto.Encrypt(plain, encrypted) || encrypted.GetLength() == 0)
        return {};
    CSQLiteBinary binary(encrypted.GetData(), static_cast<int>(encrypted.GetLength()));
    return binary.ToText();
}
