#pragma once

#include "platform/MessageBox.h"

class QWidget;

// Message boxes as Qt dialogs. The parent is the active modal dialog, else the given main
// window, else the active window, so a box never hides behind the window that caused it.
class CQtMessageSink : public IMessageSink {
public:
    int Show(const std::string& text, const std::string& caption, unsigned flags) override;

    void SetMainWindow(QWidget* window) { m_mainWindow = window; }

private:
    QWidget* m_mainWindow = nullptr;
};

// The default-button bits of the Win32 style (MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200).
inline constexpr unsigned kMbDefButton2 = 0x100;
inline constexpr unsigned kMbDefButton3 = 0x200;
