#include "app/AppearanceOptionsPage.h"

#include "app/Messages.h"
#include "app/OptionsPageHelpers.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "ui/PasswordEdit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr unsigned kIdExamplePassword = 61206;

} // namespace

CAppearanceOptionsPage::CAppearanceOptionsPage(const CTresorixSettings& settings, QWidget* parent)
    : COptionsPage(parent) {
    setObjectName(QStringLiteral("AppearancePage"));
    m_mask = new QCheckBox(QStringLiteral("&Mask passwords:"));
    m_mask->setObjectName(QStringLiteral("1190"));
    m_mask->setChecked(settings.App_ShowPasswords == 0);
    m_example = new CKivPasswordEdit;
    m_example->setObjectName(QStringLiteral("1006"));
    m_example->setReadOnly(true);
    m_example->setText(QString::fromStdString(LoadString(kIdExamplePassword)));
    m_example->SetShowPassword(!m_mask->isChecked());
    connect(m_mask, &QCheckBox::toggled, this,
            [this](bool mask) { m_example->SetShowPassword(!mask); });

    auto* row = new QHBoxLayout;
    row->addWidget(m_mask);
    row->addWidget(m_example, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch(1);
}

QString CAppearanceOptionsPage::Title() const {
    return QStringLiteral("Appearance");
}

int CAppearanceOptionsPage::Apply(CTresorixSettings& settings) {
    return ExchangeInverseFlag(m_mask, settings.App_ShowPasswords) ? msg::kChangeAppearance : 0;
}
