#pragma once

#include "model/CommonItem.h"

// A login: four texts beside the common fields.
class CPasswordItem : public CCommonItem, public IPasswordProperties {
public:
    static constexpr int kDefaultImage = 3;

    CPasswordItem() : CCommonItem(kDefaultImage) {}

    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override;

    std::string GetTypeName() override { return "Password"; }
    void GetClassID(CLSID& clsid) override { clsid = CLSID_PasswordItem; }

    const std::string& GetLogin() override { return m_login; }
    void SetLogin(const std::string& text) override { m_login = text; }
    const std::string& GetPassword() override { return m_password; }
    void SetPassword(const std::string& text) override { m_password = text; }
    const std::string& GetURL() override { return m_url; }
    void SetURL(const std::string& text) override { m_url = text; }
    const std::string& GetEmail() override { return m_email; }
    void SetEmail(const std::string& text) override { m_email = text; }

protected:
    ~CPasswordItem() override;
    void SerializeClassPart(CRecordStream& stream, bool storing) override;

private:
    std::string m_login;
    std::string m_password;
    std::string m_url;
    std::string m_email;
};
