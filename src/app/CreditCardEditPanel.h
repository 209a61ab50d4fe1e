#pragma once

#include "app/EditPanel.h"

#include <QStringList>

// The thirteen fields of a credit card; card type and country offer fixed lists and accept
// any typed text. The expiration date is edited as month and year and stored as one text
// with a line feed between them.
class CCreditCardEditPanel : public CEditPanel {
    Q_OBJECT

public:
    enum FIELD {
        kNameOnCard,
        kNumber,
        kSecurityCode,
        kPin,
        kCardType,
        kExpirationMonth,
        kExpirationYear,
        kBankInfo,
        kAddress1,
        kAddress2,
        kCity,
        kState,
        kZip,
        kCountry,
        kFieldCount
    };

    static const QStringList& CardTypes();
    static const QStringList& Countries();

    explicit CCreditCardEditPanel(QWidget* parent = nullptr);

    // The box of a field (the card type and country boxes are editable combo boxes' line
    // edits).
    QLineEdit* Box(FIELD field) const { return m_boxes[field]; }
    QComboBox* CardTypeBox() const { return m_cardType; }
    QComboBox* CountryBox() const { return m_country; }
    // Month and year joined as stored.
    std::string ExpirationDate() const;

protected:
    void LoadType(ICommonProperties* record) override;
    bool StoreType(ICommonProperties* record) override;

private:
    QLineEdit* m_boxes[kFieldCount] = {};
    QComboBox* m_cardType;
    QComboBox* m_country;
};
