#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStringList>

#include <unistd.h>

namespace {

constexpr int kConnectMs = 500;
constexpr int kWriteMs = 1000;

QString UserName() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(::getuid());
    return user;
}

} // namespace

QString CKivSingleInstance::DefaultName() {
    return QStringLiteral("{80D21EFB-7AE5-4329-A8AE-D100B92C7CF7}");
}

CKivSingleInstance::CKivSingleInstance(const QString& name, QObject* parent)
    : QObject(parent), m_serverName(name + QLatin1Char('-') + UserName()) {
    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    if (probe.waitForConnected(kConnectMs)) {
        m_anotherRunning = true;
        probe.disconnectFromServer();
        return;
    }
    // Nobody answers: a socket file left by a crashed copy is stale.
    QLocalServer::removeServer(m_serverName);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(m_serverName))
        connect(m_server.get(), &QLocalServer::newConnection, this,
                &CKivSingleInstance::OnNewConnection);
    else
        m_server.reset();
}

CKivSingleInstance::~CKivSingleInstance() {
    if (m_server)
        m_server->close();
}

void CKivSingleInstance::SetActivationMessage(unsigned message, int wParam, int lParam) {
    m_message = message;
    m_wParam = wParam;
    m_lParam = lParam;
}

bool CKivSingleInstance::ActivateRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    if (m_message != 0) {
        const QByteArray line =
            QStringLiteral("%1 %2 %3\n").arg(m_message).arg(m_wParam).arg(m_lParam).toLatin1();
        socket.write(line);
        if (!socket.waitForBytesWritten(kWriteMs))
            return false;
    }
    socket.disconnectFromServer();
    return true;
}

void CKivSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QStringList parts =
                    QString::fromLatin1(socket->readLine()).trimmed().split(QLatin1Char(' '));
                if (parts.size() != 3)
                    continue;
                bool ok1 = false, ok2 = false, ok3 = false;
                const unsigned message = parts[0].toUInt(&ok1);
                const int wParam = parts[1].toInt(&ok2);
                const int lParam = parts[2].toInt(&ok3);
                if (ok1 && ok2 && ok3 && message != 0)
                    emit ActivationRequested(message, wParam, lParam);
            }
        });
    }
}
