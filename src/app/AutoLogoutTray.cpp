#include "app/AutoLogoutTray.h"

#include "app/TxTrayIcon.h"
#include "platform/Clipboard.h"
#include "platform/TresorixSettings.h"

CAutoLogoutTray::CAutoLogoutTray(CTresorixSettings& settings, ITrayIcon& tray, HOOKS hooks)
    : m_settings(settings), m_tray(tray), m_hooks(std::move(hooks)) {}

bool CAutoLogoutTray::HideToTray(COMMAND command) {
    const bool wanted = (command == kSysClose && m_settings.Tray_HideClose) ||
                        (command == kSysMinimize && m_settings.Tray_HideMinimize);
    // The options page offers the hide options only with the icon enabled; with it disabled
    // the user expects no icon, so the window stays where it can be found.
    if (wanted && !m_hidden && m_settings.Tray_Enable && m_tray.IsAvailable()) {
        m_tray.AddIcon();
        if (m_tray.IsShown()) {
            if (m_hooks.hideWindow)
                m_hooks.hideWindow();
            m_hidden = true;
        }
    }
    if (m_hidden && m_settings.ALogout_OnTray && m_hooks.postLogout)
        m_hooks.postLogout();
    return m_hidden;
}

bool CAutoLogoutTray::OnSysMinimize() {
    if (m_settings.App_ClearClipboardOnMinimize)
        ClearClipboard();
    return HideToTray(kSysMinimize);
}

bool CAutoLogoutTray::OnSysClose() {
    if (!HideToTray(kSysClose))
        return false;
    if (m_settings.App_ClearClipboardOnMinimize)
        ClearClipboard();
    return true;
}

void CAutoLogoutTray::RestoreFromTray() {
    if (m_hooks.restoreWindow)
        m_hooks.restoreWindow();
    m_hidden = false;
    UpdateTrayIcon();
    if (m_hooks.isLoggedIn && !m_hooks.isLoggedIn() && m_hooks.startLogin)
        m_hooks.startLogin();
}

void CAutoLogoutTray::UpdateTrayIcon() {
    if (!m_settings.Tray_Enable || (!m_hidden && m_settings.Tray_Apearance == 1))
        m_tray.RemoveIcon();
    else
        m_tray.AddIcon();
}

bool CAutoLogoutTray::OnClearClipboardCommand() {
    return ClearClipboard();
}

bool CAutoLogoutTray::OnExit(const CTresorixSettings& settings) {
    return settings.App_ClearClipboardOnExit ? ClearClipboard() : true;
}
