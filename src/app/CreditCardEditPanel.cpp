#include "app/CreditCardEditPanel.h"

#include "app/EditorStrings.h"
#include "model/Interfaces.h"
#include "ui/TextBytes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr const char* kCountries[] = {
    "Afghanistan",
    "Albania",
    "Algeria",
    "Andorra",
    "Angola",
    "Antigua and Barbuda",
    "Argentina",
    "Armenia",
    "Australia",
    "Austria",
    "Azerbaijan",
    "Bahamas",
    "Bahrain",
    "Bangladesh",
    "Barbados",
    "Belarus",
    "Belgium",
    "Belize",
    "Benin",
    "Bhutan",
    "Bolivia",
    "Bosnia and Herzegovina",
    "Botswana",
    "Brazil",
    "Brunei",
    "Bulgaria",
    "Burkina Faso",
    "Burundi",
    "Cambodia",
    "Cameroon",
    "Canada",
    "Cape Verde",
    "Central African Republic",
    "Chad",
    "Chile",
    "China",
    "Colombia",
    "Comoros",
    "Congo (Brazzaville)",
    "Congo, Democratic Republic of the",
    "Costa Rica",
    "Croatia",
    "Cuba",
    "Cyprus",
    "Czech Republic",
    "Côte d'Ivoire",
    "Denmark",
    "Djibouti",
    "Dominica",
    "Dominican Republic",
    "East Timor",
    "Ecuador",
    "Egypt",
    "El Salvador",
    "Equatorial Guinea",
    "Eritrea",
    "Estonia",
    "Ethiopia",
    "Fiji",
    "Finland",
    "France",
    "Gabon",
    "Gambia, The",
    "Georgia",
    "Germany",
    "Ghana",
    "Greece",
    "Grenada",
    "Guatemala",
    "Guinea",
    "Guinea-Bissau",
    "Guyana",
    "Haiti",
    "Honduras",
    "Hungary",
    "Iceland",
    "India",
    "Indonesia",
    "Iran",
    "Iraq",
    "Ireland",
    "Israel",
    "Italy",
    "Jamaica",
    "Japan",
    "Jordan",
    "Kazakhstan",
    "Kenya",
    "Kiribati",
    "Korea, North",
    "Korea, South",
    "Kuwait",
    "Kyrgyzstan",
    "Laos",
    "Latvia",
    "Lebanon",
    "Lesotho",
    "Liberia",
    "Libya",
    "Liechtenstein",
    "Lithuania",
    "Luxembourg",
    "Macedonia, Former Yugoslav Republic of",
    "Madagascar",
    "Malawi",
    "Malaysia",
    "Maldives",
    "Mali",
    "Malta",
    "Marshall Islands",
    "Mauritania",
    "Mauritius",
    "Mexico",
    "Micronesia, Federated States of",
    "Moldova",
    "Monaco",
    "Mongolia",
    "Morocco",
    "Mozambique",
    "Myanmar",
    "Namibia",
    "Nauru",
    "Nepal",
    "Netherlands",
    "New Zealand",
    "Nicaragua",
    "Niger",
    "Nigeria",
    "Norway",
    "Oman",
    "Pakistan",
    "Palau",
    "Panama",
    "Papua New Guinea",
    "Paraguay",
    "Peru",
    "Philippines",
    "Poland",
    "Portugal",
    "Qatar",
    "Romania",
    "Russia",
    "Rwanda",
    "Saint Kitts and Nevis",
    "Saint Lucia",
    "Saint Vincent and The Grenadines",
    "Samoa",
    "San Marino",
    "Sao Tome and Principe",
    "Saudi Arabia",
    "Senegal",
    "Serbia and Montenegro",
    "Seychelles",
    "Sierra Leone",
    "Singapore",
    "Slovakia",
    "Slovenia",
    "Solomon Islands",
    "Somalia",
    "South Africa",
    "Spain",
    "Sri Lanka",
    "Sudan",
    "Suriname",
    "Swaziland",
    "Sweden",
    "Switzerland",
    "Syria",
    "Taiwan",
    "Tajikistan",
    "Tanzania",
    "Thailand",
    "Togo",
    "Tonga",
    "Trinidad and Tobago",
    "Tunisia",
    "Turkey",
    "Turkmenistan",
    "Tuvalu",
    "Uganda",
    "Ukraine",
    "United Arab Emirates",
    "United Kingdom",
    "United States",
    "Uruguay",
    "Uzbekistan",
    "Vanuatu",
    "Vatican City",
    "Venezuela",
    "Vietnam",
    "Western Sahara",
    "Yemen",
    "Zambia",
    "Zimbabwe",
};
static_assert(sizeof kCountries / sizeof kCountries[0] == 194);

QComboBox* MakeList(const QStringList& items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

} // namespace

const QStringList& CCreditCardEditPanel::CardTypes() {
    static const QStringList types = [] {
        QStringList list;
        for (unsigned id = 61378; id <= 61382; ++id)
            list << EdText(id);
        return list;
    }();
    return types;
}

const QStringList& CCreditCardEditPanel::Countries() {
    static const QStringList countries = [] {
        QStringList list;
        for (const char* name : kCountries)
            list << QString::fromUtf8(name);
        return list;
    }();
    return countries;
}

CCreditCardEditPanel::CCreditCardEditPanel(QWidget* parent)
    : CEditPanel(parent), m_cardType(MakeList(CardTypes(), this)),
      m_country(MakeList(Countries(), this)) {
    for (int f = 0; f < kFieldCount; ++f)
        if (f != kCardType && f != kCountry)
            m_boxes[f] = new QLineEdit(this);
    m_boxes[kCardType] = m_cardType->lineEdit();
    m_boxes[kCountry] = m_country->lineEdit();
    m_boxes[kExpirationMonth]->setPlaceholderText(EdText(63053));
    m_boxes[kExpirationYear]->setPlaceholderText(EdText(63054));

    auto add = [this](unsigned label, FIELD field, bool secret = false) {
        AddCopyRow(EdText(label), m_boxes[field], m_boxes[field], secret);
    };
    add(63040, kNameOnCard);
    add(63041, kNumber);
    add(63042, kSecurityCode, true);
    add(63043, kPin, true);
    AddCopyRow(EdText(63044), m_cardType);
    auto* date = new QWidget(this);
    auto* dateLayout = new QHBoxLayout(date);
    dateLayout->setContentsMargins(0, 0, 0, 0);
    dateLayout->addWidget(m_boxes[kExpirationMonth]);
    dateLayout->addWidget(new QLabel(QStringLiteral("/"), date));
    dateLayout->addWidget(m_boxes[kExpirationYear]);
    // The date is copied as shown, month and year with the slash between them.
    AddCopyRow(EdText(63045), date, [this] {
        const QString month = m_boxes[kExpirationMonth]->text();
        const QString year = m_boxes[kExpirationYear]->text();
        return month.isEmpty() || year.isEmpty() ? month + year : month + QLatin1Char('/') + year;
    });
    add(63046, kBankInfo);
    add(63047, kAddress1);
    add(63048, kAddress2);
    add(63049, kCity);
    add(63050, kState);
    add(63051, kZip);
    Fields()->addRow(EdText(63052), m_country);
    for (QLineEdit* box : m_boxes)
        Track(box);
}

std::string CCreditCardEditPanel::ExpirationDate() const {
    const std::string month = ToBytes(m_boxes[kExpirationMonth]->text());
    const std::string year = ToBytes(m_boxes[kExpirationYear]->text());
    if (month.empty() && year.empty())
        return {};
    return month + "\n" + year;
}

void CCreditCardEditPanel::LoadType(ICommonProperties* record) {
    TComPtr<ICreditCardProperties> c;
    if (record)
        c = TComPtr<ICommonProperties>(record).As<ICreditCardProperties>();
    auto text = [&](const std::string& (ICreditCardProperties::*get)()) {
        return c ? FromBytes(((*c.Get()).*get)()) : QString();
    };
    m_boxes[kNameOnCard]->setText(text(&ICreditCardProperties::GetNameOnCard));
    m_boxes[kNumber]->setText(text(&ICreditCardProperties::GetNumber));
    m_boxes[kSecurityCode]->setText(text(&ICreditCardProperties::GetSecurityCode));
    m_boxes[kPin]->setText(text(&ICreditCardProperties::GetPIN));
    m_cardType->setEditText(text(&ICreditCardProperties::GetCardType));
    const QString date = text(&ICreditCardProperties::GetExpirationDate);
    const qsizetype lf = date.indexOf(QLatin1Char('\n'));
    m_boxes[kExpirationMonth]->setText(lf < 0 ? date : date.left(lf));
    m_boxes[kExpirationYear]->setText(lf < 0 ? QString() : date.mid(lf + 1));
    m_boxes[kBankInfo]->setText(text(&ICreditCardProperties::GetBankInfo));
    m_boxes[kAddress1]->setText(text(&ICreditCardProperties::GetAddress1));
    m_boxes[kAddress2]->setText(text(&ICreditCardProperties::GetAddress2));
    m_boxes[kCity]->setText(text(&ICreditCardProperties::GetCity));
    m_boxes[kState]->setText(text(&ICreditCardProperties::GetState));
    m_boxes[kZip]->setText(text(&ICreditCardProperties::GetZip));
    m_country->setEditText(text(&ICreditCardProperties::GetCountry));
}

bool CCreditCardEditPanel::StoreType(ICommonProperties* record) {
    TComPtr<ICreditCardProperties> c =
        TComPtr<ICommonProperties>(record).As<ICreditCardProperties>();
    if (!c)
        return false;
    auto get = [this](FIELD f) { return ToBytes(m_boxes[f]->text()); };
    c->SetNameOnCard(get(kNameOnCard));
    c->SetNumber(get(kNumber));
    c->SetSecurityCode(get(kSecurityCode));
    c->SetPIN(get(kPin));
    c->SetCardType(ToBytes(m_cardType->currentText()));
    c->SetExpirationDate(ExpirationDate());
    c->SetBankInfo(get(kBankInfo));
    c->SetAddress1(get(kAddress1));
    c->SetAddress2(get(kAddress2));
    c->SetCity(get(kCity));
    c->SetState(get(kState));
    c->SetZip(get(kZip));
    c->SetCountry(ToBytes(m_country->currentText()));
    return true;
}
