#pragma once

#include "app/OptionsPage.h"

class QCheckBox;
class QRadioButton;

// "Tray Icon": the notification-area icon and hiding into it. The other controls work only
// while the icon is enabled.
class CTrayOptionsPage : public COptionsPage {
    Q_OBJECT

public:
    explicit CTrayOptionsPage(const CTresorixSettings& settings, QWidget* parent = nullptr);

    QString Title() const override;
    int Apply(CTresorixSettings& settings) override;

    QCheckBox* Enable() const { return m_enable; }
    QRadioButton* Always() const { return m_always; }
    QRadioButton* OnlyMinimized() const { return m_onlyMinimized; }
    QCheckBox* HideMinimize() const { return m_hideMinimize; }
    QCheckBox* HideClose() const { return m_hideClose; }

private:
    void UpdateEnabled();

    QCheckBox* m_enable;
    QRadioButton* m_always;
    QRadioButton* m_onlyMinimized;
    QCheckBox* m_hideMinimize;
    QCheckBox* m_hideClose;
};
