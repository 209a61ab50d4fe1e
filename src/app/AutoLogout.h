#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class CLastInputInfo;
class CTresorixSettings;

// The auto-logout of the main window: a check every ten seconds while logged in (timer 105)
// that logs out after ALogout_Time minutes without input or while the screen saver runs,
// and a logout as soon as the screen saver starts or the session locks. The logout is always
// posted, so it takes the Logout command's way and its checks.
class CAutoLogout : public QObject {
    Q_OBJECT

public:
    static constexpr int kTimerId = 105;
    static constexpr int kIntervalMs = 10000;

    struct HOOKS {
        std::function<bool()> isLoggedIn;
        // Posts the Logout command (32817) to the main window.
        std::function<void()> postLogout;
    };

    CAutoLogout(CTresorixSettings& settings, CLastInputInfo& probe, HOOKS hooks,
                QObject* parent = nullptr);
    ~CAutoLogout() override;
    CAutoLogout(const CAutoLogout&) = delete;
    CAutoLogout& operator=(const CAutoLogout&) = delete;

    // At the window's creation, after each login (1137) and on change code 5.
    void StartAutoLogoutTimer();
    // After each logout (1138).
    void StopAutoLogoutTimer();
    // The Logout command was refused (an editor holds unsaved changes). The checks go on, so
    // the vault does not stay open for good; the next auto-logout waits until the user has
    // been back and then away for the whole period again, rather than repeating the refusal
    // every ten seconds.
    void OnLogoutRefused();
    bool IsTimerRunning() const { return m_timer.isActive(); }

    // One check of the timer; the timer calls it, tests call it directly.
    void OnTimer();
    // The screen saver is about to start, or the session locks.
    void OnScreenSaverStarting();

private:
    CTresorixSettings& m_settings;
    CLastInputInfo& m_probe;
    HOOKS m_hooks;
    QTimer m_timer;
    bool m_waitForInput = false;
};
