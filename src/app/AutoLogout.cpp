#include "app/AutoLogout.h"

#include "platform/LastInputInfo.h"
#include "platform/TresorixSettings.h"

#include <cstdint>

namespace {

// The options page allows 1 to 180 minutes. A profile edited by hand may hold less: zero
// would log out at the first check after every login and a negative value (compared
// unsigned) never, so both count as the shortest period.
uint32_t IdleLimitSeconds(int minutes) {
    return static_cast<uint32_t>(minutes < 1 ? 1 : minutes) * 60u;
}

} // namespace

CAutoLogout::CAutoLogout(CTresorixSettings& settings, CLastInputInfo& probe, HOOKS hooks,
                         QObject* parent)
    : QObject(parent), m_settings(settings), m_probe(probe), m_hooks(std::move(hooks)) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CAutoLogout::OnTimer);
    if (IScreenLock* lock = m_probe.ScreenLock())
        lock->SetLockHandler([this] { OnScreenSaverStarting(); });
}

CAutoLogout::~CAutoLogout() {
    if (IScreenLock* lock = m_probe.ScreenLock())
        lock->SetLockHandler({});
}

void CAutoLogout::StartAutoLogoutTimer() {
    m_timer.stop();
    m_waitForInput = false;
    if ((m_settings.ALogout_Enable || m_settings.ALogout_OnScreenSaver) && m_hooks.isLoggedIn &&
        m_hooks.isLoggedIn())
        m_timer.start();
}

void CAutoLogout::StopAutoLogoutTimer() {
    m_timer.stop();
}

void CAutoLogout::OnLogoutRefused() {
    StartAutoLogoutTimer();
    m_waitForInput = m_timer.isActive();
}

void CAutoLogout::OnTimer() {
    if (!m_timer.isActive())
        return;
    const bool idle = m_settings.ALogout_Enable &&
                      m_probe.GetIdleSeconds() >= IdleLimitSeconds(m_settings.ALogout_Time);
    const bool saver = m_settings.ALogout_OnScreenSaver && m_probe.IsScreenSaverRunning();
    if (m_waitForInput) {
        m_waitForInput = idle || saver;
        return;
    }
    if (!idle && !saver)
        return;
    m_timer.stop();
    if (m_hooks.postLogout)
        m_hooks.postLogout();
}

void CAutoLogout::OnScreenSaverStarting() {
    if (!m_settings.ALogout_OnScreenSaver || !m_hooks.isLoggedIn || !m_hooks.isLoggedIn())
        return;
    if (m_hooks.postLogout)
        m_hooks.postLogout();
}
