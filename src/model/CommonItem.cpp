#include "model/CommonItem.h"

#include "model/RecordStream.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/SecureZero.h"

#include <new>

namespace {

constexpr int kReservedWords = 5;
constexpr unsigned kIdsRecordStreamError = 61950;

} // namespace

void ReportRecordStreamError() {
    KivMessageBox(LoadString(kIdsRecordStreamError), MB_OK | MB_ICONEXCLAMATION);
}

CCommonItem::~CCommonItem() {
    SecureZero(m_name);
    SecureZero(m_comments);
}

HRESULT CCommonItem::InternalQueryInterface(const IID& iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_ICommonProperties) {
        *out = static_cast<ICommonProperties*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

bool CCommonItem::GetCreated(FILETIME64& time) {
    time = m_created;
    return true;
}

bool CCommonItem::SetCreated(FILETIME64 time) {
    m_created = time;
    return true;
}

bool CCommonItem::GetModified(FILETIME64& time) {
    time = m_modified;
    return true;
}

bool CCommonItem::SetModified(FILETIME64 time) {
    m_modified = time;
    return true;
}

bool CCommonItem::OnDelete(int, ITresorix*) {
    return true;
}

void CCommonItem::SerializeClassPart(CRecordStream&, bool) {}

void CCommonItem::SerializeCommonPart(CRecordStream& stream, bool storing) {
    if (storing) {
        CLSID clsid{};
        GetClassID(clsid);
        stream.WriteGuid(clsid);
        stream.WriteText(m_name);
        stream.WriteText(m_comments);
        stream.WriteFileTime(m_created);
        stream.WriteFileTime(m_modified);
        stream.WriteInt32(m_image);
        for (int i = 0; i < kReservedWords; ++i)
            stream.WriteUInt32(0);
    } else {
        GUID ignored{};
        stream.ReadGuid(ignored);
        stream.ReadText(m_name);
        stream.ReadText(m_comments);
        stream.ReadFileTime(m_created);
        stream.ReadFileTime(m_modified);
        stream.ReadInt32(m_image);
        for (int i = 0; i < kReservedWords; ++i) {
            std::uint32_t reserved = 0;
            stream.ReadUInt32(reserved);
        }
    }
    m_customFields.Serialize(stream, storing);
}

bool CCommonItem::Serialize(CMemFile& file, bool storing) {
    CRecordStream stream(file);
    try {
        SerializeCommonPart(stream, storing);
        SerializeClassPart(stream, storing);
    } catch (const CMemFileException&) {
        stream.SetFailed();
    } catch (const std::bad_alloc&) {
        stream.SetFailed();
    }
    if (stream.Failed()) {
        ReportRecordStreamError();
        return false;
    }
    return true;
}
