#include "model/FileItem.h"

#include "model/FileParts.h"
#include "model/RecordStream.h"
#include "security/SecureZero.h"

namespace {

constexpr int kReservedWords = 5;

} // namespace

CFileItem::~CFileItem() {
    SecureZero(m_fileName);
    SecureZero(m_extension);
}

HRESULT CFileItem::InternalQueryInterface(const IID& iid, void** out) {
    if (iid == IID_IFileProperties) {
        *out = static_cast<IFileProperties*>(this);
        return S_OK;
    }
    return CCommonItem::InternalQueryInterface(iid, out);
}

void CFileItem::SerializeClassPart(CRecordStream& stream, bool storing) {
    if (storing) {
        stream.WriteText(m_fileName);
        stream.WriteText(m_extension);
        stream.WriteUInt32(m_numberA);
        stream.WriteFileTime(m_timeA);
        stream.WriteFileTime(m_timeB);
        stream.WriteUInt32(m_numberB);
        for (int i = 0; i < kReservedWords; ++i)
            stream.WriteUInt32(0);
    } else {
        stream.ReadText(m_fileName);
        stream.ReadText(m_extension);
        stream.ReadUInt32(m_numberA);
        stream.ReadFileTime(m_timeA);
        stream.ReadFileTime(m_timeB);
        stream.ReadUInt32(m_numberB);
        for (int i = 0; i < kReservedWords; ++i) {
            std::uint32_t reserved = 0;
            stream.ReadUInt32(reserved);
        }
    }
}

bool CFileItem::OnDelete(int id, ITresorix* tresorix) {
    return CFileParts::OnDelete(id, tresorix);
}

bool CFileItem::StoreFile(const std::string& path, int id, ITresorix* tresorix) {
    return CFileParts::StoreFile(path, id, tresorix);
}

bool CFileItem::SaveFileTo(const std::string& path, int id, ITresorix* tresorix) {
    return CFileParts::SaveFileTo(path, id, tresorix);
}
