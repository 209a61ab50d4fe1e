#include "model/PasswordItem.h"

#include "model/RecordStream.h"
#include "security/SecureZero.h"

CPasswordItem::~CPasswordItem() {
    SecureZero(m_login);
    SecureZero(m_password);
    SecureZero(m_url);
    SecureZero(m_email);
}

HRESULT CPasswordItem::InternalQueryInterface(const IID& iid, void** out) {
    if (iid == IID_IPasswordProperties) {
        *out = static_cast<IPasswordProperties*>(this);
        return S_OK;
    }
    return CCommonItem::InternalQueryInterface(iid, out);
}

void CPasswordItem::SerializeClassPart(CRecordStream& stream, bool storing) {
    std::string* fields[] = {&m_login, &m_password, &m_url, &m_email};
    for (std::string* field : fields) {
        if (storing)
            stream.WriteText(*field);
        else
            stream.ReadText(*field);
    }
}
