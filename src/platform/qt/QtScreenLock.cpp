#include "platform/qt/QtScreenLock.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <iterator>

#include <unistd.h>

namespace {

struct SAVER {
    const char* service;
    const char* path;
};

// The screen savers that announce themselves this way; each also answers GetActive.
constexpr SAVER kSavers[] = {
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
    {"org.xfce.ScreenSaver", "/org/xfce/ScreenSaver"},
};
static_assert(std::size(kSavers) == CQtScreenLock::kSaverCount);

const QString kLogin1 = QStringLiteral("org.freedesktop.login1");
const QString kLogin1Path = QStringLiteral("/org/freedesktop/login1");
const QString kLogin1Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kLogin1Session = QStringLiteral("org.freedesktop.login1.Session");

// A poll that gets no answer must not keep the next ones from being sent.
constexpr int kPollTimeoutMs = 2000;

} // namespace

CQtScreenLock::CQtScreenLock(QObject* parent)
    : CQtScreenLock(QDBusConnection::sessionBus(), QDBusConnection::systemBus(), parent) {}

CQtScreenLock::CQtScreenLock(const QDBusConnection& session, const QDBusConnection& system,
                             QObject* parent)
    : QObject(parent), m_session(session), m_system(system) {
    ConnectSession();
    ConnectSystem();
}

void CQtScreenLock::ConnectSession() {
    if (!m_session.isConnected())
        return;
    for (const SAVER& saver : kSavers) {
        // Any sender: the name that emits is often a unique one, not the well-known name.
        m_listening |= m_session.connect(
            QString(), QString::fromLatin1(saver.path), QString::fromLatin1(saver.service),
            QStringLiteral("ActiveChanged"), this, SLOT(OnActiveChanged(bool)));
    }
}

void CQtScreenLock::ConnectSystem() {
    if (!m_system.isConnected())
        return;
    m_listening |=
        m_system.connect(kLogin1, kLogin1Path, kLogin1Manager, QStringLiteral("PrepareForSleep"),
                         this, SLOT(OnPrepareForSleep(bool)));
    // Lock is sent to one session's object; listening on all of them would log out when
    // another user locks. Ask for ours first.
    QDBusMessage call = QDBusMessage::createMethodCall(kLogin1, kLogin1Path, kLogin1Manager,
                                                       QStringLiteral("GetSessionByPID"));
    call << static_cast<quint32>(getpid());
    auto* watcher = new QDBusPendingCallWatcher(m_system.asyncCall(call, kPollTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* w) { OnSessionPath(w); });
}

void CQtScreenLock::OnSessionPath(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (reply.isError())
        return;
    m_system.connect(kLogin1, reply.value().path(), kLogin1Session, QStringLiteral("Lock"), this,
                     SLOT(OnSessionLock()));
}

bool CQtScreenLock::IsScreenSaverRunning() {
    if (m_session.isConnected() && m_pollsPending == 0) {
        for (int i = 0; i < kSaverCount; ++i) {
            const SAVER& saver = kSavers[i];
            QDBusMessage call = QDBusMessage::createMethodCall(
                QString::fromLatin1(saver.service), QString::fromLatin1(saver.path),
                QString::fromLatin1(saver.service), QStringLiteral("GetActive"));
            auto* watcher =
                new QDBusPendingCallWatcher(m_session.asyncCall(call, kPollTimeoutMs), this);
            ++m_pollsPending;
            connect(watcher, &QDBusPendingCallWatcher::finished, this,
                    [this, i](QDBusPendingCallWatcher* w) { OnGetActive(i, w); });
        }
    }
    return m_active;
}

void CQtScreenLock::OnGetActive(int saver, QDBusPendingCallWatcher* call) {
    call->deleteLater();
    --m_pollsPending;
    QDBusPendingReply<bool> reply = *call;
    // A missing screen saver service answers with an error: nothing learnt.
    if (!reply.isError())
        m_saverActive[saver] = reply.value();
    if (m_pollsPending == 0) {
        bool any = false;
        for (bool active : m_saverActive)
            any = any || active;
        m_active = any;
    }
}

void CQtScreenLock::OnActiveChanged(bool active) {
    m_active = active;
    for (bool& saver : m_saverActive)
        saver = active;
    if (active)
        NotifyLocked();
}

void CQtScreenLock::OnSessionLock() {
    NotifyLocked();
}

void CQtScreenLock::OnPrepareForSleep(bool sleeping) {
    if (sleeping)
        NotifyLocked();
}
