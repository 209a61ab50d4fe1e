#include "app/AutoLogoutOptionsPage.h"

#include "app/Messages.h"
#include "app/OptionsPageHelpers.h"
#include "platform/TresorixSettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QVBoxLayout>

CAutoLogoutOptionsPage::CAutoLogoutOptionsPage(const CTresorixSettings& settings, QWidget* parent)
    : COptionsPage(parent) {
    setObjectName(QStringLiteral("AutoLogoutPage"));
    m_enable = new QCheckBox(QStringLiteral("&Log out when there was no input for"));
    m_enable->setObjectName(QStringLiteral("1159"));
    m_enable->setChecked(settings.ALogout_Enable != 0);
    m_minutes = new QSpinBox;
    m_minutes->setObjectName(QStringLiteral("1160"));
    m_minutes->setRange(kMinMinutes, kMaxMinutes);
    m_minutes->setSuffix(QStringLiteral(" minutes"));
    m_minutes->setValue(settings.ALogout_Time);
    m_onTray = new QCheckBox(QStringLiteral("Log out when hidden to the &notification area"));
    m_onTray->setObjectName(QStringLiteral("1162"));
    m_onTray->setChecked(settings.ALogout_OnTray != 0);
    m_onScreenSaver = new QCheckBox(QStringLiteral("Log out when the &screen saver starts"));
    m_onScreenSaver->setObjectName(QStringLiteral("1211"));
    m_onScreenSaver->setChecked(settings.ALogout_OnScreenSaver != 0);

    auto* idle = new QHBoxLayout;
    idle->addWidget(m_enable);
    idle->addWidget(m_minutes);
    idle->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(idle);
    layout->addWidget(m_onTray);
    layout->addWidget(m_onScreenSaver);
    layout->addStretch(1);
    connect(m_enable, &QCheckBox::toggled, m_minutes, &QWidget::setEnabled);
    m_minutes->setEnabled(m_enable->isChecked());
}

QString CAutoLogoutOptionsPage::Title() const {
    return QStringLiteral("Auto Logout");
}

int CAutoLogoutOptionsPage::Apply(CTresorixSettings& settings) {
    bool changed = ExchangeFlag(m_enable, settings.ALogout_Enable);
    if (settings.ALogout_Time != m_minutes->value()) {
        settings.ALogout_Time = m_minutes->value();
        changed = true;
    }
    changed = ExchangeFlag(m_onTray, settings.ALogout_OnTray) || changed;
    changed = ExchangeFlag(m_onScreenSaver, settings.ALogout_OnScreenSaver) || changed;
    return changed ? msg::kChangeAutoLogout : 0;
}
