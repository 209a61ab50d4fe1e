#pragma once

#include "platform/ScreenLock.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// Screen saver and lock notifications over D-Bus: the screen savers' ActiveChanged(true) on
// the session bus, and logind's Lock of our session and PrepareForSleep(true) on the system
// bus. Works, reporting nothing, when a bus or a service is missing.
class CQtScreenLock : public QObject, public IScreenLock {
    Q_OBJECT

public:
    static constexpr int kSaverCount = 3;

    explicit CQtScreenLock(QObject* parent = nullptr);
    // The buses to listen on (tests pass a private or a disconnected one).
    CQtScreenLock(const QDBusConnection& session, const QDBusConnection& system,
                  QObject* parent = nullptr);

    // The last state the screen savers reported; asks them again (the answer comes later),
    // so the check never blocks the window.
    bool IsScreenSaverRunning() override;

    bool IsListening() const { return m_listening; }

public slots:
    void OnActiveChanged(bool active);
    void OnSessionLock();
    void OnPrepareForSleep(bool sleeping);

private:
    void ConnectSession();
    void ConnectSystem();
    void OnSessionPath(QDBusPendingCallWatcher* call);
    void OnGetActive(int saver, QDBusPendingCallWatcher* call);

    QDBusConnection m_session;
    QDBusConnection m_system;
    bool m_active = false;
    bool m_listening = false;
    bool m_saverActive[kSaverCount] = {};
    int m_pollsPending = 0;
};
