#include "AppTestSupport.h"

#include "platform/qt/QtIdleTime.h"
#include "platform/qt/QtScreenLock.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QWidget>

#include <cstdint>

namespace {

// A screen saver service that says "active" only to the connection under test, so that other
// programs on the same bus are not told to log out.
class CFakeSaverService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QString asker;
    bool active = false;

public slots:
    bool GetActive() { return active && message().service() == asker; }
};

QDBusMessage SaverSignal(const QString& destination, const char* path, const char* interface,
                         bool active) {
    QDBusMessage signal = QDBusMessage::createTargetedSignal(destination, QString::fromLatin1(path),
                                                             QString::fromLatin1(interface),
                                                             QStringLiteral("ActiveChanged"));
    signal << active;
    return signal;
}

} // namespace

class ProbesTest : public QObject {
    Q_OBJECT

private slots:
    void IdleTimeCountsFromTheLastInputToAnyWindow();
    void SystemWideIdleTimeOnlyWithAnX11Display();
    void ScreenLockWithoutABusReportsNothing();
    void ScreenSaverSignalsArriveOverTheSessionBus();
    void PollingAsksTheScreenSaverWithoutBlocking();
};

void ProbesTest::IdleTimeCountsFromTheLastInputToAnyWindow() {
    int64_t now = 1000000;
    CQtIdleTime idle(false, [&] { return now; });
    QVERIFY(!idle.IsSystemWide());
    QCOMPARE(idle.GetIdleSeconds(), 0u);
    now += 125900;
    QCOMPARE(idle.GetIdleSeconds(), 125u);

    QWidget first;
    QWidget second;
    first.show();
    second.show();
    QTest::keyClick(&first, Qt::Key_A);
    QCOMPARE(idle.GetIdleSeconds(), 0u);
    now += 61000;
    QTest::mouseClick(&second, Qt::LeftButton);
    QCOMPARE(idle.GetIdleSeconds(), 0u);

    // Painting, timers and the like are not input.
    now += 30000;
    first.update();
    QCoreApplication::processEvents();
    QEvent other(QEvent::User);
    QCoreApplication::sendEvent(&second, &other);
    QCOMPARE(idle.GetIdleSeconds(), 30u);

    // A clock that went back reads as no idle time, not as a huge one.
    now -= 90000;
    QCOMPARE(idle.GetIdleSeconds(), 0u);
}

void ProbesTest::SystemWideIdleTimeOnlyWithAnX11Display() {
    int64_t now = 0;
    CQtIdleTime idle(true, [&] { return now; });
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // The server's counter, not our clock: the fake clock's hour does not show.
        QVERIFY(idle.IsSystemWide());
        now += 3600 * 1000;
        QVERIFY(idle.GetIdleSeconds() < 3600u);
    } else {
        // Offscreen the display is null; asking the extension would crash.
        QVERIFY(!idle.IsSystemWide());
        now += 42 * 1000;
        QCOMPARE(idle.GetIdleSeconds(), 42u);
    }
}

void ProbesTest::ScreenLockWithoutABusReportsNothing() {
    const QDBusConnection none(QStringLiteral("tx-guard-no-bus"));
    QVERIFY(!none.isConnected());
    CQtScreenLock lock(none, none);
    QVERIFY(!lock.IsListening());
    QVERIFY(!lock.IsScreenSaverRunning());
    QCoreApplication::processEvents();
    QVERIFY(!lock.IsScreenSaverRunning());
}

void ProbesTest::ScreenSaverSignalsArriveOverTheSessionBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        QSKIP("no session bus");
    const QDBusConnection none(QStringLiteral("tx-guard-no-bus"));
    CQtScreenLock lock(bus, none);
    QVERIFY(lock.IsListening());
    int locks = 0;
    lock.SetLockHandler([&] { ++locks; });

    QDBusConnection sender = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                           QStringLiteral("tx-guard-sender"));
    QVERIFY(sender.isConnected());
    const QString target = bus.baseService();
    QVERIFY(sender.send(
        SaverSignal(target, "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", false)));
    QVERIFY(
        sender.send(SaverSignal(target, "/org/other/Saver", "org.freedesktop.ScreenSaver", true)));
    QVERIFY(sender.send(
        SaverSignal(target, "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", true)));
    QVERIFY(
        sender.send(SaverSignal(target, "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", true)));
    QVERIFY(
        sender.send(SaverSignal(target, "/org/xfce/ScreenSaver", "org.xfce.ScreenSaver", true)));
    // One sender's messages arrive in order: by the third lock the others were handled.
    QTRY_COMPARE(locks, 3);
    QVERIFY(lock.IsScreenSaverRunning());
    QDBusConnection::disconnectFromBus(QStringLiteral("tx-guard-sender"));
}

void ProbesTest::PollingAsksTheScreenSaverWithoutBlocking() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        QSKIP("no session bus");
    QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                            QStringLiteral("tx-guard-saver"));
    CFakeSaverService saver;
    saver.asker = bus.baseService();
    if (!service.registerService(QStringLiteral("org.freedesktop.ScreenSaver")))
        QSKIP("a screen saver already owns the name on this bus");
    QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver,
                                   QDBusConnection::ExportAllSlots));

    const QDBusConnection none(QStringLiteral("tx-guard-no-bus"));
    CQtScreenLock lock(bus, none);
    int locks = 0;
    lock.SetLockHandler([&] { ++locks; });
    saver.active = true;
    // The first answer is the one known so far; the reply updates it later.
    QVERIFY(!lock.IsScreenSaverRunning());
    QTRY_VERIFY(lock.IsScreenSaverRunning());
    saver.active = false;
    QTRY_VERIFY(!lock.IsScreenSaverRunning());
    // Polling reports a state; it is no lock event.
    QCOMPARE(locks, 0);

    service.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    service.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    QDBusConnection::disconnectFromBus(QStringLiteral("tx-guard-saver"));
}

TX_APP_TEST_MAIN(ProbesTest)
#include "ProbesTest.moc"
