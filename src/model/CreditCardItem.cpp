#include "model/CreditCardItem.h"

#include "model/RecordStream.h"
#include "security/SecureZero.h"

CCreditCardItem::~CCreditCardItem() {
    std::string* fields[] = {&m_nameOnCard, &m_number,         &m_securityCode, &m_pin,
                             &m_cardType,   &m_expirationDate, &m_bankInfo,     &m_address1,
                             &m_address2,   &m_city,           &m_state,        &m_zip,
                             &m_country};
    for (std::string* field : fields)
        SecureZero(*field);
}

HRESULT CCreditCardItem::InternalQueryInterface(const IID& iid, void** out) {
    if (iid == IID_ICreditCardProperties) {
        *out = static_cast<ICreditCardProperties*>(this);
        return S_OK;
    }
    return CCommonItem::InternalQueryInterface(iid, out);
}

std::string CCreditCardItem::JoinCountryAndBank(const std::string& country,
                                                const std::string& bank) {
    std::string joined;
    joined.reserve(country.size() + 1 + bank.size());
    joined += country;
    joined += '\n';
    joined += bank;
    return joined;
}

void CCreditCardItem::SplitCountryAndBank(const std::string& joined, std::string& country,
                                          std::string& bank) {
    std::size_t lf = joined.find('\n');
    if (lf == std::string::npos) {
        country = joined;
        bank.clear();
    } else {
        country = joined.substr(0, lf);
        bank = joined.substr(lf + 1);
    }
}

void CCreditCardItem::SerializeClassPart(CRecordStream& stream, bool storing) {
    std::string* leading[] = {&m_nameOnCard, &m_number,   &m_securityCode, &m_pin,   &m_cardType,
                              &m_address1,   &m_address2, &m_city,         &m_state, &m_zip};
    for (std::string* field : leading) {
        if (storing)
            stream.WriteText(*field);
        else
            stream.ReadText(*field);
    }
    if (storing) {
        std::string joined = JoinCountryAndBank(m_country, m_bankInfo);
        stream.WriteText(joined);
        SecureZero(joined);
        stream.WriteText(m_expirationDate);
    } else {
        std::string joined;
        stream.ReadText(joined);
        if (!stream.Failed())
            SplitCountryAndBank(joined, m_country, m_bankInfo);
        SecureZero(joined);
        stream.ReadText(m_expirationDate);
    }
}
