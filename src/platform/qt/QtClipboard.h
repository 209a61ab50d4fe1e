#pragma once

#include "platform/Clipboard.h"

// The desktop's clipboard (and the X11 selection, so a copied password does not linger there).
class CQtClipboard : public IClipboard {
public:
    bool SetText(const std::string& text) override;
    bool Clear() override;
    bool GetText(std::string& text) override;
};
