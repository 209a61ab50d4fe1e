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

struct SViewFlag {
    const char* id;
    const char* caption;
    int CTresorixSettings::*member;
};

constexpr SViewFlag kViewFlags[] = {
    {"1192", "Show &grid lines in the list", &CTresorixSettings::View_ShowGridLines},
    {"1193", "Select the &full row in the list", &CTresorixSettings::View_FullRowSelect},
    {"1194", "&Large icons in the folder tree", &CTresorixSettings::View_TreeViewLargeIcons},
    {"1195", "Large icons in the fa&vorites", &CTresorixSettings::View_FavViewLargeIcons},
    {"1212", "&Edit links that are not recognised", &CTresorixSettings::View_EditUnknownLinks},
};
static_assert(std::size(kViewFlags) == CAppearanceOptionsPage::kViewBoxCount);

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
    for (size_t i = 0; i < m_viewBoxes.size(); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kViewFlags[i].caption));
        box->setObjectName(QString::fromLatin1(kViewFlags[i].id));
        box->setChecked(settings.*kViewFlags[i].member != 0);
        layout->addWidget(box);
        m_viewBoxes[i] = box;
    }
    layout->addStretch(1);
}

QString CAppearanceOptionsPage::Title() const {
    return QStringLiteral("Appearance");
}

int CAppearanceOptionsPage::Apply(CTresorixSettings& settings) {
    bool changed = ExchangeInverseFlag(m_mask, settings.App_ShowPasswords);
    for (size_t i = 0; i < m_viewBoxes.size(); ++i)
        changed = ExchangeFlag(m_viewBoxes[i], settings.*kViewFlags[i].member) || changed;
    return changed ? msg::kChangeAppearance : 0;
}
