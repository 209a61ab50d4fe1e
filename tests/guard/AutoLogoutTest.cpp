#include "AppTestSupport.h"
#include "GuardFakes.h"

#include "app/AutoLogout.h"
#include "app/AutoLogoutTray.h"
#include "platform/LastInputInfo.h"
#include "platform/TresorixSettings.h"

#include <memory>

namespace {

// The main window as the controllers see it: logged in or not, and what they asked for.
struct CWindowState {
    bool loggedIn = true;
    int logouts = 0;
    int logins = 0;
    int hides = 0;
};

struct CIdleRig {
    explicit CIdleRig(int enable, int minutes, int onScreenSaver) {
        settings.ALogout_Enable = enable;
        settings.ALogout_Time = minutes;
        settings.ALogout_OnScreenSaver = onScreenSaver;
        logout = std::make_unique<CAutoLogout>(
            settings, probe,
            CAutoLogout::HOOKS{[this] { return window.loggedIn; }, [this] { ++window.logouts; }});
        logout->StartAutoLogoutTimer();
    }
    // One tick after the given idle time.
    void Tick(uint32_t idleSeconds) {
        idle.SetIdleSeconds(idleSeconds);
        logout->OnTimer();
    }
    CTresorixSettings settings;
    CFakeIdleTime idle;
    CFakeScreenLock lock;
    CLastInputInfo probe{&idle, &lock};
    CWindowState window;
    std::unique_ptr<CAutoLogout> logout;
};

struct CTrayRig {
    CTrayRig()
        : tray(settings, icon,
               CAutoLogoutTray::HOOKS{[this] { ++window.hides; },
                                      {},
                                      [this] { return window.loggedIn; },
                                      [this] { ++window.logouts; },
                                      [this] { ++window.logins; }}) {
        settings.Tray_Enable = 1;
        settings.Tray_HideMinimize = 1;
        settings.ALogout_OnTray = 0;
    }
    CTresorixSettings settings;
    CFakeTrayIcon icon;
    CWindowState window;
    CAutoLogoutTray tray;
};

} // namespace

class AutoLogoutTest : public QObject {
    Q_OBJECT

private slots:
    void IdleLimitLogsOutAtTheFirstTickPastIt();
    void StoredPeriodBelowOneMinuteCountsAsOne();
    void RefusedLogoutWaitsForTheNextIdlePeriod();
    void TimerRunsOnlyWhileLoggedInWithAnOptionOn();
    void ScreenSaverAloneLogsOutWhenIdleLogoutIsOff();
    void MinimiseHidesAndRestoreAppliesTheIconRule();
    void HidingLogsOutWhenConfigured();
    void RestoringWhileLoggedOutStartsTheLogin();
    void NothingHidesWithoutAnIcon();
};

void AutoLogoutTest::IdleLimitLogsOutAtTheFirstTickPastIt() {
    CIdleRig rig(1, 5, 0);
    QVERIFY(rig.logout->IsTimerRunning());
    rig.Tick(299);
    QCOMPARE(rig.window.logouts, 0);
    rig.Tick(300);
    QCOMPARE(rig.window.logouts, 1);
    // Posted once: the timer stops until the next login starts it.
    QVERIFY(!rig.logout->IsTimerRunning());
    rig.Tick(600);
    QCOMPARE(rig.window.logouts, 1);
}

void AutoLogoutTest::StoredPeriodBelowOneMinuteCountsAsOne() {
    // Zero would log out at the first tick after each login, a negative value never.
    for (int stored : {0, -5}) {
        CIdleRig rig(1, stored, 0);
        rig.Tick(59);
        QCOMPARE(rig.window.logouts, 0);
        rig.Tick(60);
        QCOMPARE(rig.window.logouts, 1);
    }
}

void AutoLogoutTest::RefusedLogoutWaitsForTheNextIdlePeriod() {
    CIdleRig rig(1, 5, 1);
    rig.Tick(300);
    QCOMPARE(rig.window.logouts, 1);
    rig.logout->OnLogoutRefused();
    QVERIFY(rig.logout->IsTimerRunning());
    // Still away: no second request (it would only be refused again).
    rig.Tick(900);
    rig.lock.SetRunning(true);
    rig.Tick(0);
    QCOMPARE(rig.window.logouts, 1);
    // Back (input, no screen saver), then away for the whole period again.
    rig.lock.SetRunning(false);
    rig.Tick(3);
    QCOMPARE(rig.window.logouts, 1);
    rig.Tick(300);
    QCOMPARE(rig.window.logouts, 2);
    // A new login starts afresh.
    rig.logout->OnLogoutRefused();
    rig.logout->StartAutoLogoutTimer();
    rig.Tick(300);
    QCOMPARE(rig.window.logouts, 3);
}

void AutoLogoutTest::TimerRunsOnlyWhileLoggedInWithAnOptionOn() {
    CIdleRig rig(0, 5, 0);
    QVERIFY(!rig.logout->IsTimerRunning());
    rig.settings.ALogout_OnScreenSaver = 1;
    rig.window.loggedIn = false;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(!rig.logout->IsTimerRunning());
    rig.window.loggedIn = true;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(rig.logout->IsTimerRunning());
    rig.logout->StopAutoLogoutTimer();
    // A tick that arrives after the logout stopped the timer does nothing.
    rig.lock.SetRunning(true);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 0);
}

void AutoLogoutTest::ScreenSaverAloneLogsOutWhenIdleLogoutIsOff() {
    CIdleRig rig(0, 5, 1);
    QVERIFY(rig.logout->IsTimerRunning());
    rig.Tick(24 * 3600);
    QCOMPARE(rig.window.logouts, 0);
    rig.lock.EmitLock();
    QCOMPARE(rig.window.logouts, 1);
    // A screen saver found running at a tick logs out too.
    rig.lock.SetRunning(true);
    rig.Tick(0);
    QCOMPARE(rig.window.logouts, 2);
    // Nothing to protect while logged out; nobody listens once the controller is gone.
    rig.window.loggedIn = false;
    rig.lock.EmitLock();
    rig.window.loggedIn = true;
    rig.logout.reset();
    rig.lock.EmitLock();
    QCOMPARE(rig.window.logouts, 2);

    // Without the option, locks and a running screen saver are ignored.
    CIdleRig off(1, 5, 0);
    off.lock.EmitLock();
    off.lock.SetRunning(true);
    off.Tick(10);
    QCOMPARE(off.window.logouts, 0);
}

void AutoLogoutTest::MinimiseHidesAndRestoreAppliesTheIconRule() {
    CTrayRig rig;
    rig.settings.Tray_Apearance = 1;
    rig.tray.UpdateTrayIcon();
    QVERIFY(!rig.icon.shown);
    // Shown while hidden even with "only if minimized"; removed again after restoring.
    QVERIFY(rig.tray.OnSysMinimize());
    QVERIFY(rig.icon.shown);
    QCOMPARE(rig.window.hides, 1);
    rig.tray.RestoreFromTray();
    QVERIFY(!rig.tray.IsHidden());
    QVERIFY(!rig.icon.shown);
    rig.settings.Tray_Apearance = 0;
    rig.tray.UpdateTrayIcon();
    QVERIFY(rig.icon.shown);
    QCOMPARE(rig.window.logouts, 0);
}

void AutoLogoutTest::HidingLogsOutWhenConfigured() {
    CTrayRig rig;
    rig.settings.ALogout_OnTray = 1;
    rig.settings.Tray_HideClose = 0;
    QVERIFY(!rig.tray.OnSysClose());
    QCOMPARE(rig.window.logouts, 0);
    QVERIFY(rig.tray.OnSysMinimize());
    QCOMPARE(rig.window.logouts, 1);
}

void AutoLogoutTest::RestoringWhileLoggedOutStartsTheLogin() {
    CTrayRig rig;
    rig.settings.ALogout_OnTray = 1;
    rig.tray.OnSysMinimize();
    rig.window.loggedIn = false;
    rig.tray.RestoreFromTray();
    QCOMPARE(rig.window.logins, 1);
    rig.window.loggedIn = true;
    rig.tray.RestoreFromTray();
    QCOMPARE(rig.window.logins, 1);
}

void AutoLogoutTest::NothingHidesWithoutAnIcon() {
    // No notification area: hiding would leave no way back, so minimise and close go on.
    CTrayRig rig;
    rig.icon.available = false;
    rig.settings.Tray_HideClose = 1;
    rig.settings.ALogout_OnTray = 1;
    QVERIFY(!rig.tray.OnSysMinimize());
    QVERIFY(!rig.tray.OnSysClose());
    // The icon switched off in the options: the same.
    CTrayRig disabled;
    disabled.settings.Tray_Enable = 0;
    disabled.icon.shown = true;
    disabled.tray.UpdateTrayIcon();
    QVERIFY(!disabled.icon.shown);
    QVERIFY(!disabled.tray.OnSysMinimize());
    QCOMPARE(rig.window.hides + disabled.window.hides, 0);
    QCOMPARE(rig.window.logouts, 0);
}

TX_APP_TEST_MAIN(AutoLogoutTest)
#include "AutoLogoutTest.moc"
