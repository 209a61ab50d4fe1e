#pragma once

#include <functional>
#include <utility>

// Tells when the screen saver starts or the session is locked or suspended.
class IScreenLock {
public:
    using HANDLER = std::function<void()>;

    virtual ~IScreenLock() = default;

    // Whether a screen saver runs right now, as far as it is known; false when unknown.
    virtual bool IsScreenSaverRunning() = 0;

    // Called, on the user-interface thread, each time the screen saver starts or the session
    // is locked or about to sleep. One handler; an empty one removes it.
    void SetLockHandler(HANDLER handler) { m_handler = std::move(handler); }

protected:
    void NotifyLocked() {
        if (m_handler)
            m_handler();
    }

private:
    HANDLER m_handler;
};

// A screen lock the test drives.
class CFakeScreenLock : public IScreenLock {
public:
    bool IsScreenSaverRunning() override { return m_running; }
    void SetRunning(bool running) { m_running = running; }
    // As if the screen saver had just started.
    void EmitLock() { NotifyLocked(); }

private:
    bool m_running = false;
};
