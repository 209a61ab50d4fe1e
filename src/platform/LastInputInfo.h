#pragma once

#include "platform/IdleTime.h"
#include "platform/ScreenLock.h"

#include <cstdint>

// The idle probe of the main window: idle seconds and whether the screen saver runs. A
// missing source answers 0 or false, so the other trigger alone still works.
class CLastInputInfo {
public:
    CLastInputInfo(IIdleTime* idle, IScreenLock* screenLock)
        : m_idle(idle), m_screenLock(screenLock) {}

    uint32_t GetIdleSeconds() const { return m_idle ? m_idle->GetIdleSeconds() : 0; }
    bool IsScreenSaverRunning() const {
        return m_screenLock && m_screenLock->IsScreenSaverRunning();
    }
    IScreenLock* ScreenLock() const { return m_screenLock; }

private:
    IIdleTime* m_idle;
    IScreenLock* m_screenLock;
};
