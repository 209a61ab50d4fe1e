#pragma once

#include "app/OptionsPage.h"

class QCheckBox;

// "Clipboard": clearing the clipboard at exit and when the window is minimised or hidden.
// The hot-key group is not offered, so App_ClearClipboardHotkey keeps its value.
class CClipboardOptionsPage : public COptionsPage {
    Q_OBJECT

public:
    explicit CClipboardOptionsPage(const CTresorixSettings& settings, QWidget* parent = nullptr);

    QString Title() const override;
    int Apply(CTresorixSettings& settings) override;

    QCheckBox* ClearOnExit() const { return m_clearOnExit; }
    QCheckBox* ClearOnMinimize() const { return m_clearOnMinimize; }

private:
    QCheckBox* m_clearOnExit;
    QCheckBox* m_clearOnMinimize;
};
