#pragma once

#include "app/OptionsPage.h"

#include <array>

class CKivPasswordEdit;
class QCheckBox;

// "Appearance": masking of passwords, with an example box that follows the check box at once,
// and the look of the views (grid lines, row selection, icon sizes) and the link editor switch.
class CAppearanceOptionsPage : public COptionsPage {
    Q_OBJECT

public:
    static constexpr std::size_t kViewBoxCount = 5;

    explicit CAppearanceOptionsPage(const CTresorixSettings& settings, QWidget* parent = nullptr);

    QString Title() const override;
    int Apply(CTresorixSettings& settings) override;

    QCheckBox* MaskPasswords() const { return m_mask; }
    CKivPasswordEdit* Example() const { return m_example; }
    // The view check boxes in control order: 1192, 1193, 1194, 1195, 1212.
    QCheckBox* ViewBox(int index) const { return m_viewBoxes.at(index); }

private:
    QCheckBox* m_mask;
    CKivPasswordEdit* m_example;
    std::array<QCheckBox*, kViewBoxCount> m_viewBoxes{};
};
