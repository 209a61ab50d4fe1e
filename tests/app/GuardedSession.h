#pragma once

#include "SampleSession.h"

#include "app/AutoLogout.h"
#include "guard/GuardFakes.h"
#include "platform/IdleTime.h"
#include "platform/ScreenLock.h"

#include <cstdint>

namespace apptest {

inline void SetProfileInt(CAppHarness& h, const char* key, int value) {
    h.store.WriteProfileInt("Settings", key, value);
}

// The sample session with fake idle time, screen lock and notification area.
struct CGuardedSession : CSampleSession {
    explicit CGuardedSession(CAppHarness& harness) : CSampleSession(harness) {}

    bool Start() {
        if (vault.isEmpty())
            return false;
        CModalScript script;
        script.Add(LoginAsCarol);
        CTresorixApp::OPTIONS options = h.Options();
        options.idleTime = &idle;
        options.screenLock = &lock;
        options.trayIcon = &tray;
        app = std::make_unique<CTresorixApp>(options);
        if (!app->InitInstance({QStringLiteral("tresorix"), vault}))
            return false;
        QCoreApplication::processEvents();
        return script.Done() && script.Unexpected() == 0;
    }
    // One tick of timer 105 and the Logout command it may post.
    void Tick(uint32_t idleSeconds) {
        idle.SetIdleSeconds(idleSeconds);
        Frame().AutoLogout().OnTimer();
        Pump();
    }
    // The queued command, then the messages it queues in turn (1137, 1138).
    static void Pump() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    bool TimerRunning() { return Frame().AutoLogout().IsTimerRunning(); }

    CFakeIdleTime idle;
    CFakeScreenLock lock;
    CFakeTrayIcon tray;
};

} // namespace apptest
