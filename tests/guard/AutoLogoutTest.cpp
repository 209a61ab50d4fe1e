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
    int restores = 0;
};

struct CIdleRig {
    CIdleRig() {
        logout = std::make_unique<CAutoLogout>(
            settings, probe,
            CAutoLogout::HOOKS{[this] { return window.loggedIn; }, [this] { ++window.logouts; }});
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
               CAutoLogoutTray::HOOKS{[this] { ++window.hides; }, [this] { ++window.restores; },
                                      [this] { return window.loggedIn; },
                                      [this] { ++window.logouts; }, [this] { ++window.logins; }}) {}
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
    void TimerRunsOnlyWhileLoggedInWithAnOptionOn();
    void ScreenSaverAloneLogsOutWhenIdleLogoutIsOff();
    void ScreenSaverOptionOffIgnoresLocks();
    void StoredPeriodBelowOneMinuteCountsAsOne();
    void MissingProbesNeverLogOut();
    void MinimiseHidesAndRestoreBringsBackTheIconRule();
    void HidingLogsOutWhenConfigured();
    void NothingHidesWithoutANotificationArea();
    void RestoringWhileLoggedOutStartsTheLogin();
    void DisabledIconNeverShowsNorHides();
};

void AutoLogoutTest::IdleLimitLogsOutAtTheFirstTickPastIt() {
    CIdleRig rig;
    rig.settings.ALogout_Enable = 1;
    rig.settings.ALogout_Time = 5;
    rig.settings.ALogout_OnScreenSaver = 0;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(rig.logout->IsTimerRunning());

    rig.idle.SetIdleSeconds(299);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 0);
    QVERIFY(rig.logout->IsTimerRunning());

    rig.idle.SetIdleSeconds(300);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 1);
    // The logout is posted once; the next login starts the timer again.
    QVERIFY(!rig.logout->IsTimerRunning());
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 1);

    // The comparison is unsigned: the largest idle count logs out as well.
    rig.logout->StartAutoLogoutTimer();
    rig.idle.SetIdleSeconds(0xFFFFFFFFu);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 2);
}

void AutoLogoutTest::TimerRunsOnlyWhileLoggedInWithAnOptionOn() {
    CIdleRig rig;
    QCOMPARE(CAutoLogout::kIntervalMs, 10000);
    rig.window.loggedIn = false;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(!rig.logout->IsTimerRunning());

    rig.window.loggedIn = true;
    rig.settings.ALogout_Enable = 0;
    rig.settings.ALogout_OnScreenSaver = 0;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(!rig.logout->IsTimerRunning());

    rig.settings.ALogout_OnScreenSaver = 1;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(rig.logout->IsTimerRunning());
    rig.logout->StopAutoLogoutTimer();
    QVERIFY(!rig.logout->IsTimerRunning());
    // A tick that arrives after the logout stopped the timer does nothing.
    rig.lock.SetRunning(true);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 0);

    // Turning both options off (change code 5) stops a running timer.
    rig.logout->StartAutoLogoutTimer();
    rig.settings.ALogout_OnScreenSaver = 0;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(!rig.logout->IsTimerRunning());
}

void AutoLogoutTest::ScreenSaverAloneLogsOutWhenIdleLogoutIsOff() {
    CIdleRig rig;
    rig.settings.ALogout_Enable = 0;
    rig.settings.ALogout_Time = 5;
    rig.settings.ALogout_OnScreenSaver = 1;
    rig.logout->StartAutoLogoutTimer();
    QVERIFY(rig.logout->IsTimerRunning());

    rig.idle.SetIdleSeconds(24 * 3600);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 0);

    rig.lock.EmitLock();
    QCOMPARE(rig.window.logouts, 1);

    // A screen saver found running at a tick logs out too.
    rig.lock.SetRunning(true);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 2);

    // A lock while logged out has nothing to protect.
    rig.window.loggedIn = false;
    rig.lock.EmitLock();
    QCOMPARE(rig.window.logouts, 2);
}

void AutoLogoutTest::ScreenSaverOptionOffIgnoresLocks() {
    CIdleRig rig;
    rig.settings.ALogout_Enable = 1;
    rig.settings.ALogout_Time = 5;
    rig.settings.ALogout_OnScreenSaver = 0;
    rig.logout->StartAutoLogoutTimer();
    rig.lock.EmitLock();
    rig.lock.SetRunning(true);
    rig.logout->OnTimer();
    QCOMPARE(rig.window.logouts, 0);

    // Once the controller is gone, a lock reaches nobody.
    rig.settings.ALogout_OnScreenSaver = 1;
    rig.logout.reset();
    rig.lock.EmitLock();
    QCOMPARE(rig.window.logouts, 0);
}

void AutoLogoutTest::StoredPeriodBelowOneMinuteCountsAsOne() {
    for (int stored : {0, -5}) {
        CIdleRig rig;
        rig.settings.ALogout_Enable = 1;
        rig.settings.ALogout_OnScreenSaver = 0;
        rig.settings.ALogout_Time = stored;
        rig.logout->StartAutoLogoutTimer();
        rig.idle.SetIdleSeconds(59);
        rig.logout->OnTimer();
        QCOMPARE(rig.window.logouts, 0);
        rig.idle.SetIdleSeconds(60);
        rig.logout->OnTimer();
        QCOMPARE(rig.window.logouts, 1);
    }
}

void AutoLogoutTest::MissingProbesNeverLogOut() {
    CTresorixSettings settings;
    settings.ALogout_Enable = 1;
    settings.ALogout_Time = 1;
    settings.ALogout_OnScreenSaver = 1;
    CLastInputInfo probe(nullptr, nullptr);
    int logouts = 0;
    CAutoLogout logout(settings, probe, {[] { return true; }, [&] { ++logouts; }});
    logout.StartAutoLogoutTimer();
    logout.OnTimer();
    QCOMPARE(probe.GetIdleSeconds(), 0u);
    QCOMPARE(logouts, 0);
    QVERIFY(logout.IsTimerRunning());
}

void AutoLogoutTest::MinimiseHidesAndRestoreBringsBackTheIconRule() {
    CTrayRig rig;
    rig.settings.Tray_Enable = 1;
    rig.settings.Tray_Apearance = 1;
    rig.settings.Tray_HideMinimize = 1;
    rig.settings.ALogout_OnTray = 0;
    rig.tray.UpdateTrayIcon();
    QVERIFY(!rig.icon.shown);

    QVERIFY(rig.tray.OnSysMinimize());
    QVERIFY(rig.tray.IsHidden());
    QVERIFY(rig.icon.shown);
    QCOMPARE(rig.window.hides, 1);
    QCOMPARE(rig.window.logouts, 0);

    rig.tray.RestoreFromTray();
    QVERIFY(!rig.tray.IsHidden());
    QCOMPARE(rig.window.restores, 1);
    QVERIFY(!rig.icon.shown);
    QCOMPARE(rig.window.logins, 0);

    // "Always" keeps the icon after restoring.
    rig.settings.Tray_Apearance = 0;
    rig.tray.OnSysMinimize();
    rig.tray.RestoreFromTray();
    QVERIFY(rig.icon.shown);
}

void AutoLogoutTest::HidingLogsOutWhenConfigured() {
    CTrayRig rig;
    rig.settings.Tray_HideMinimize = 1;
    rig.settings.ALogout_OnTray = 1;
    QVERIFY(rig.tray.OnSysMinimize());
    QCOMPARE(rig.window.logouts, 1);

    CTrayRig keep;
    keep.settings.Tray_HideMinimize = 1;
    keep.settings.ALogout_OnTray = 0;
    QVERIFY(keep.tray.OnSysMinimize());
    QCOMPARE(keep.window.logouts, 0);
}

void AutoLogoutTest::NothingHidesWithoutANotificationArea() {
    CTrayRig rig;
    rig.icon.available = false;
    rig.settings.Tray_HideMinimize = 1;
    rig.settings.Tray_HideClose = 1;
    rig.settings.ALogout_OnTray = 1;
    // The window minimises and closes as usual; hiding it would leave no way back.
    QVERIFY(!rig.tray.OnSysMinimize());
    QVERIFY(!rig.tray.OnSysClose());
    QVERIFY(!rig.tray.IsHidden());
    QCOMPARE(rig.window.hides, 0);
    QCOMPARE(rig.window.logouts, 0);
}

void AutoLogoutTest::RestoringWhileLoggedOutStartsTheLogin() {
    CTrayRig rig;
    rig.settings.Tray_HideMinimize = 1;
    rig.settings.ALogout_OnTray = 1;
    rig.tray.OnSysMinimize();
    // The posted logout has run.
    rig.window.loggedIn = false;
    rig.tray.RestoreFromTray();
    QCOMPARE(rig.window.restores, 1);
    QCOMPARE(rig.window.logins, 1);
    QVERIFY(!rig.tray.IsHidden());

    rig.window.loggedIn = true;
    rig.tray.RestoreFromTray();
    QCOMPARE(rig.window.logins, 1);
}

void AutoLogoutTest::DisabledIconNeverShowsNorHides() {
    CTrayRig rig;
    rig.settings.Tray_Enable = 0;
    rig.settings.Tray_Apearance = 0;
    rig.settings.Tray_HideMinimize = 1;
    rig.icon.shown = true;
    rig.tray.UpdateTrayIcon();
    QVERIFY(!rig.icon.shown);
    QVERIFY(!rig.tray.OnSysMinimize());
    QVERIFY(!rig.icon.shown);
    QCOMPARE(rig.window.hides, 0);
}

TX_APP_TEST_MAIN(AutoLogoutTest)
#include "AutoLogoutTest.moc"
