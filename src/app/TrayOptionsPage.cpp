#include "app/TrayOptionsPage.h"

#include "app/Messages.h"
#include "app/OptionsPageHelpers.h"
#include "platform/TresorixSettings.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QVBoxLayout>

CTrayOptionsPage::CTrayOptionsPage(const CTresorixSettings& settings, QWidget* parent)
    : COptionsPage(parent) {
    setObjectName(QStringLiteral("TrayPage"));
    m_enable = new QCheckBox(QStringLiteral("&Show the icon in the notification area"));
    m_enable->setObjectName(QStringLiteral("1157"));
    m_enable->setChecked(settings.Tray_Enable != 0);
    m_always = new QRadioButton(QStringLiteral("Always"));
    m_always->setObjectName(QStringLiteral("1152"));
    m_onlyMinimized = new QRadioButton(QStringLiteral("Only if minimized"));
    m_onlyMinimized->setObjectName(QStringLiteral("1153"));
    (settings.Tray_Apearance == 1 ? m_onlyMinimized : m_always)->setChecked(true);
    m_hideMinimize = new QCheckBox(QStringLiteral("&Hide to the notification area when minimized"));
    m_hideMinimize->setObjectName(QStringLiteral("1154"));
    m_hideMinimize->setChecked(settings.Tray_HideMinimize != 0);
    m_hideClose = new QCheckBox(QStringLiteral("Hide to the notification area when &closed"));
    m_hideClose->setObjectName(QStringLiteral("1155"));
    m_hideClose->setChecked(settings.Tray_HideClose != 0);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enable);
    for (QWidget* control :
         {static_cast<QWidget*>(m_always), static_cast<QWidget*>(m_onlyMinimized),
          static_cast<QWidget*>(m_hideMinimize), static_cast<QWidget*>(m_hideClose)}) {
        layout->addWidget(control);
        control->setContentsMargins(20, 0, 0, 0);
    }
    layout->addStretch(1);
    connect(m_enable, &QCheckBox::toggled, this, &CTrayOptionsPage::UpdateEnabled);
    UpdateEnabled();
}

void CTrayOptionsPage::UpdateEnabled() {
    const bool on = m_enable->isChecked();
    m_always->setEnabled(on);
    m_onlyMinimized->setEnabled(on);
    m_hideMinimize->setEnabled(on);
    m_hideClose->setEnabled(on);
}

QString CTrayOptionsPage::Title() const {
    return QStringLiteral("Tray Icon");
}

int CTrayOptionsPage::Apply(CTresorixSettings& settings) {
    bool changed = ExchangeFlag(m_enable, settings.Tray_Enable);
    const int appearance = m_onlyMinimized->isChecked() ? 1 : 0;
    if (settings.Tray_Apearance != appearance) {
        settings.Tray_Apearance = appearance;
        changed = true;
    }
    changed = ExchangeFlag(m_hideMinimize, settings.Tray_HideMinimize) || changed;
    changed = ExchangeFlag(m_hideClose, settings.Tray_HideClose) || changed;
    return changed ? msg::kChangeTray : 0;
}
