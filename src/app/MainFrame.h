#pragma once

#include "model/KivDoc.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CAutoLogout;
class CAutoLogoutTray;
class CKivSplitter;
class CLastInputInfo;
class CLeftFrame;
class CRightFrame;
class CTresorixApp;
class CTxDoc;
class CTxTrayIcon;
class IIdleTime;
class IScreenLock;
class ITrayIcon;
class QAction;
class QDialog;
class QMenu;
class QToolBar;

// The main window: the folder tree on the left, header, list and preview on the right, the
// menus, three tool bars and the command handlers. It exists from the first login to the
// end of the program; logging out empties its views and keeps it.
class CMainFrame : public QMainWindow, public IKivView {
    Q_OBJECT

public:
    static constexpr const char* kSection = "Main Window";

    // The sources of the auto-logout and the notification area; null takes the desktop's own
    // (tests pass fakes). Not owned.
    struct GUARD {
        IIdleTime* idle = nullptr;
        IScreenLock* screenLock = nullptr;
        ITrayIcon* trayIcon = nullptr;
    };

    CMainFrame(CTresorixApp& app, CTxDoc& doc, GUARD guard);
    ~CMainFrame() override;

    void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;

    // Private messages (always queued by their senders).
    void OnMessage(unsigned message, int wParam = 0);
    void OnCommand(int id);
    void OnOptionChanged(int code);
    void UpdateTitle();
    void UpdateCommands();

    bool IsHiddenToTray() const;
    // Command 32819: shows the window; when logged out the login follows.
    void RestoreFromTray();
    // The system's minimise (queued from the state change): clears the clipboard when so
    // configured and may hide the window.
    void OnSysMinimize();

    CAutoLogout& AutoLogout() const { return *m_autoLogout; }
    CAutoLogoutTray& Tray() const { return *m_tray; }
    CTxTrayIcon& TrayIcon() const { return *m_trayIcon; }

    // The selection the record commands act on: the list's when it has the focus (or the
    // list alone has one), else the tree's folder.
    std::vector<int> CommandSelection() const;

    // Stores splitter, tool bars and placement (once, before the window goes).
    void SaveLayout();
    void LoadPlacement();

    QAction* Action(int id) const;
    // The path of the open data file (empty while logged out).
    std::string OpenPath() const;
    CLeftFrame* Left() const { return m_left; }
    CRightFrame* Right() const { return m_right; }
    CKivSplitter* Splitter() const { return m_splitter; }

    // The context menus, built for the current selection (for tests and the views).
    QMenu* BuildListMenu(bool onItem);
    QMenu* BuildFolderMenu(int id);
    // Menu 309 of the favorites view.
    QMenu* BuildFavoritesMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBars();
    void SaveToolBars();
    void RestoreToolBars();
    void ShowOptions(bool layoutOnly);
    void NewFolder();
    void DatabaseManagement();
    void CreateGuard(const GUARD& guard);
    void ApplyTreeIconSize();
    void Logout();
    void Exit();
    // Rejects the open modal windows; true when there were some: then next runs once their
    // runs have returned, so nothing closes under a dialog still on the stack.
    bool UnwindModals(std::function<void()> next);
    void AfterUnwinding(std::vector<QPointer<QDialog>> rejected, std::function<void()> next,
                        int waits);

    CTresorixApp& m_app;
    CTxDoc& m_doc;
    std::map<int, QAction*> m_actions;
    CKivSplitter* m_splitter;
    CLeftFrame* m_left;
    CRightFrame* m_right;
    std::vector<QToolBar*> m_toolBars;
    bool m_layoutSaved = false;
    bool m_listHadFocus = false;
    // Set while Exit closes the window: a close that must not hide it.
    bool m_exiting = false;
    // The pending Logout command was posted by the auto-logout.
    bool m_autoLogoutPosted = false;
    // The modal windows were closed for the logout now running; none are rejected again.
    bool m_modalsUnwound = false;

    // Destroyed in reverse order: the auto-logout lets go of the lock source first.
    std::unique_ptr<IIdleTime> m_ownIdle;
    std::unique_ptr<IScreenLock> m_ownScreenLock;
    std::unique_ptr<CLastInputInfo> m_probe;
    std::unique_ptr<CTxTrayIcon> m_trayIcon;
    std::unique_ptr<CAutoLogoutTray> m_tray;
    std::unique_ptr<CAutoLogout> m_autoLogout;
};
