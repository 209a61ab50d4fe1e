#pragma once

#include <functional>

class CTresorixSettings;
class ITrayIcon;

// Hiding the main window into the notification area and bringing it back, the icon's
// visibility, and the clipboard clearing that goes with minimising, closing and exiting.
// Nothing hides where the desktop has no notification area: the window then minimises or
// closes as usual, since nothing could bring it back.
class CAutoLogoutTray {
public:
    // The system commands that may hide the window.
    enum COMMAND { kSysMinimize, kSysClose };

    struct HOOKS {
        std::function<void()> hideWindow;
        // Shows the window normally, on top and in the foreground.
        std::function<void()> restoreWindow;
        std::function<bool()> isLoggedIn;
        // Posts the Logout command (32817).
        std::function<void()> postLogout;
        // The Login command's action (asks for the password).
        std::function<void()> startLogin;
    };

    CAutoLogoutTray(CTresorixSettings& settings, ITrayIcon& tray, HOOKS hooks);

    // Hides the window when the command's option asks for it; then, while hidden, logs out
    // if ALogout_OnTray is set. The result is whether the window is hidden.
    bool HideToTray(COMMAND command);
    // Minimise: clears the clipboard when so configured, then may hide. True when hidden (no
    // normal minimise then).
    bool OnSysMinimize();
    // Close: may hide (and then clears the clipboard when so configured). True when hidden:
    // the close stops there.
    bool OnSysClose();
    // Command 32819: shows the window; when logged out the login follows at once.
    void RestoreFromTray();
    // Shows or removes the icon after the options (change code 4), a hide or a restore.
    void UpdateTrayIcon();

    // Command 32825 and the hot key.
    static bool OnClearClipboardCommand();
    // At the program's exit, when App_ClearClipboardOnExit is set.
    static bool OnExit(const CTresorixSettings& settings);

    bool IsHidden() const { return m_hidden; }

private:
    CTresorixSettings& m_settings;
    ITrayIcon& m_tray;
    HOOKS m_hooks;
    bool m_hidden = false;
};
