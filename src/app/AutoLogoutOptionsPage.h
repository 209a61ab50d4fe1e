#pragma once

#include "app/OptionsPage.h"

class QCheckBox;
class QSpinBox;

// "Auto Logout": the idle period, and logging out when hidden or when the screen saver
// starts.
class CAutoLogoutOptionsPage : public COptionsPage {
    Q_OBJECT

public:
    static constexpr int kMinMinutes = 1;
    static constexpr int kMaxMinutes = 180;

    explicit CAutoLogoutOptionsPage(const CTresorixSettings& settings, QWidget* parent = nullptr);

    QString Title() const override;
    int Apply(CTresorixSettings& settings) override;

    QCheckBox* Enable() const { return m_enable; }
    QSpinBox* Minutes() const { return m_minutes; }
    QCheckBox* OnTray() const { return m_onTray; }
    QCheckBox* OnScreenSaver() const { return m_onScreenSaver; }

private:
    QCheckBox* m_enable;
    QSpinBox* m_minutes;
    QCheckBox* m_onTray;
    QCheckBox* m_onScreenSaver;
};
