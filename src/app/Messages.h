#pragma once

// Private window messages; in this program they are queued calls on the receiving window.
namespace msg {

inline constexpr unsigned kListRefilled = 1025;   // right pane: refresh header and preview
inline constexpr unsigned kOptionChanged = 1034;  // main window; wParam = change code
inline constexpr unsigned kEditorClosed = 1044;   // main window
inline constexpr unsigned kReloadAll = 1045;      // main window
inline constexpr unsigned kSwitchLeftView = 1094; // left pane
inline constexpr unsigned kFocusRightPane = 1104;
inline constexpr unsigned kEndSessionRefused = 1124;
inline constexpr unsigned kQueryEditorClose = 1125;
inline constexpr unsigned kNewDataFile = 1136;
inline constexpr unsigned kLoggedIn = 1137;
inline constexpr unsigned kLoggedOut = 1138;
inline constexpr unsigned kActivate = 1144;

// Change codes of kOptionChanged.
inline constexpr int kChangeLayout = 1;
inline constexpr int kChangeHotKey = 3;
inline constexpr int kChangeTray = 4;
inline constexpr int kChangeAutoLogout = 5;
inline constexpr int kChangeAppearance = 6;
inline constexpr int kChangeCache = 7;

} // namespace msg

// Timers of the main window and its panes, by their fixed identifiers.
namespace timer {
inline constexpr int kHeaderRefreshId = 428;
inline constexpr int kHeaderRefreshMs = 250;
} // namespace timer
