#pragma once

#include "app/OptionsPage.h"

class CKivPasswordEdit;
class QCheckBox;

// "Appearance": masking of passwords, with an example box that follows the check box at once.
class CAppearanceOptionsPage : public COptionsPage {
    Q_OBJECT

public:
    explicit CAppearanceOptionsPage(const CTresorixSettings& settings, QWidget* parent = nullptr);

    QString Title() const override;
    int Apply(CTresorixSettings& settings) override;

    QCheckBox* MaskPasswords() const { return m_mask; }
    CKivPasswordEdit* Example() const { return m_example; }

private:
    QCheckBox* m_mask;
    CKivPasswordEdit* m_example;
};
