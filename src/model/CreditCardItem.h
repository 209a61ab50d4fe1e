#pragma once

#include "model/CommonItem.h"

// A credit card: thirteen texts beside the common fields.
class CCreditCardItem : public CCommonItem, public ICreditCardProperties {
public:
    static constexpr int kDefaultImage = 5;

    CCreditCardItem() : CCommonItem(kDefaultImage) {}

    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override;

    std::string GetTypeName() override { return "Credit Card"; }
    void GetClassID(CLSID& clsid) override { clsid = CLSID_CreditCardItem; }

    const std::string& GetNameOnCard() override { return m_nameOnCard; }
    void SetNameOnCard(const std::string& text) override { m_nameOnCard = text; }
    const std::string& GetNumber() override { return m_number; }
    void SetNumber(const std::string& text) override { m_number = text; }
    const std::string& GetSecurityCode() override { return m_securityCode; }
    void SetSecurityCode(const std::string& text) override { m_securityCode = text; }
    const std::string& GetPIN() override { return m_pin; }
    void SetPIN(const std::string& text) override { m_pin = text; }
    const std::string& GetCardType() override { return m_cardType; }
    void SetCardType(const std::string& text) override { m_cardType = text; }
    const std::string& GetExpirationDate() override { return m_expirationDate; }
    void SetExpirationDate(const std::string& text) override { m_expirationDate = text; }
    const std::string& GetBankInfo() override { return m_bankInfo; }
    void SetBankInfo(const std::string& text) override { m_bankInfo = text; }
    const std::string& GetAddress1() override { return m_address1; }
    void SetAddress1(const std::string& text) override { m_address1 = text; }
    const std::string& GetAddress2() override { return m_address2; }
    void SetAddress2(const std::string& text) override { m_address2 = text; }
    const std::string& GetCity() override { return m_city; }
    void SetCity(const std::string& text) override { m_city = text; }
    const std::string& GetState() override { return m_state; }
    void SetState(const std::string& text) override { m_state = text; }
    const std::string& GetZip() override { return m_zip; }
    void SetZip(const std::string& text) override { m_zip = text; }
    const std::string& GetCountry() override { return m_country; }
    void SetCountry(const std::string& text) override { m_country = text; }

    // Country and Bank info as they are stored: one text, joined by a line feed.
    static std::string JoinCountryAndBank(const std::string& country, const std::string& bank);
    // Country is the text up to the first line feed, Bank info all after it (empty without
    // one), so a Bank info of several lines survives a round trip.
    static void SplitCountryAndBank(const std::string& joined, std::string& country,
                                    std::string& bank);

protected:
    ~CCreditCardItem() override;
    void SerializeClassPart(CRecordStream& stream, bool storing) override;

private:
    std::string m_nameOnCard;
    std::string m_number;
    std::string m_securityCode;
    std::string m_pin;
    std::string m_cardType;
    std::string m_expirationDate;
    std::string m_bankInfo;
    std::string m_address1;
    std::string m_address2;
    std::string m_city;
    std::string m_state;
    std::string m_zip;
    std::string m_country;
};
