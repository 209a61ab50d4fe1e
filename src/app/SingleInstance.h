#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// Keeps one running copy per user: the first copy listens on a local socket named after the
// guard's name and the user; a later copy finds it there and can ask it to come to the front
// with an activation message.
class CKivSingleInstance : public QObject {
    Q_OBJECT

public:
    // The name the program uses.
    static QString DefaultName();

    explicit CKivSingleInstance(const QString& name, QObject* parent = nullptr);
    ~CKivSingleInstance() override;

    bool IsAnotherInstanceRunning() const { return m_anotherRunning; }
    // Remembers what ActivateRunningInstance sends (message 0: nothing is sent).
    void SetActivationMessage(unsigned message, int wParam, int lParam);
    // Sends the activation message to the running copy; false when none answered.
    bool ActivateRunningInstance();
    // The socket name actually used (name and user).
    const QString& GetServerName() const { return m_serverName; }

signals:
    // A later copy asked this one to come to the front.
    void ActivationRequested(unsigned message, int wParam, int lParam);

private:
    void OnNewConnection();

    QString m_serverName;
    bool m_anotherRunning = false;
    unsigned m_message = 0;
    int m_wParam = 0;
    int m_lParam = 0;
    std::unique_ptr<QLocalServer> m_server;
};
