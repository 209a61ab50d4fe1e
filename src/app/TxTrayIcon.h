#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QMenu;

// The notification-area icon as the window logic sees it.
class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;

    // Whether the desktop has a notification area at all; without one nothing can bring a
    // hidden window back.
    virtual bool IsAvailable() const = 0;
    virtual void AddIcon() = 0;
    virtual void RemoveIcon() = 0;
    virtual bool IsShown() const = 0;
};

// The program's notification-area icon with its menu (menu 355). A left click shows the
// menu once the double-click time (timer 104) has passed without a second click; a double
// click restores the main window instead; the right button shows the menu at once. The
// commands go to the main window through the command hook.
class CTxTrayIcon : public QObject, public ITrayIcon {
    Q_OBJECT

public:
    static constexpr int kClickTimerId = 104;
    static constexpr int kClickTimerMs = 500;

    struct HOOKS {
        // Runs a command of the main window; the icon queues the call.
        std::function<void(int)> postCommand;
        // Enables Login or Logout in the menu.
        std::function<bool()> isLoggedIn;
        // Brings the owner window forward before the menu shows.
        std::function<void()> activateOwner;
    };

    CTxTrayIcon(const QIcon& icon, HOOKS hooks, QObject* parent = nullptr);
    ~CTxTrayIcon() override;
    CTxTrayIcon(const CTxTrayIcon&) = delete;
    CTxTrayIcon& operator=(const CTxTrayIcon&) = delete;

    bool IsAvailable() const override;
    void AddIcon() override;
    void RemoveIcon() override;
    bool IsShown() const override { return m_shown; }

    void SetTooltipText(const QString& text);
    QString GetTooltipText() const { return m_tooltip; }

    QMenu* Menu() const { return m_menu.get(); }
    bool IsClickTimerRunning() const { return m_clickTimer.isActive(); }

public slots:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    // Timer 104.
    void OnClickTimer();
    // Message 1144 on the icon: restore the main window.
    void OnActivate();
    // Shows the menu at the cursor.
    void ShowMenu();

private:
    void BuildMenu();
    void UpdateMenu();
    void Post(int command);

    QIcon m_icon;
    HOOKS m_hooks;
    QString m_tooltip;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_login = nullptr;
    QAction* m_logout = nullptr;
    // Made only where a notification area exists.
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    QTimer m_clickTimer;
    bool m_shown = false;
    bool m_doubleClicked = false;
};
