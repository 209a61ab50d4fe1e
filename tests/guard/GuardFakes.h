#pragma once

#include "app/TxTrayIcon.h"

// A notification area the test switches on or off.
class CFakeTrayIcon : public ITrayIcon {
public:
    bool IsAvailable() const override { return available; }
    void AddIcon() override {
        if (available)
            shown = true;
    }
    void RemoveIcon() override { shown = false; }
    bool IsShown() const override { return shown; }

    bool available = true;
    bool shown = false;
};
