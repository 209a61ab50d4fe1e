#include "AppTestSupport.h"

#include "app/AppearanceOptionsPage.h"
#include "app/AutoLogoutOptionsPage.h"
#include "app/ClipboardOptionsPage.h"
#include "app/Messages.h"
#include "app/TrayOptionsPage.h"
#include "platform/TresorixSettings.h"
#include "ui/PasswordEdit.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>

class OptionsPagesTest : public QObject {
    Q_OBJECT

private slots:
    void ClipboardPageWritesItsFlags();
    void TrayPageEnablesItsControlsWithTheIcon();
    void AutoLogoutPageKeepsThePeriodInRange();
    void AppearancePageMasksTheExampleAtOnce();
};

void OptionsPagesTest::ClipboardPageWritesItsFlags() {
    CTresorixSettings settings;
    settings.App_ClearClipboardOnExit = 0;
    settings.App_ClearClipboardOnMinimize = 1;
    settings.App_ClearClipboardHotkey = 0x00410002;
    CClipboardOptionsPage page(settings);
    QCOMPARE(page.Title(), QStringLiteral("Clipboard"));
    QVERIFY(!page.ClearOnExit()->isChecked());
    QVERIFY(page.ClearOnMinimize()->isChecked());
    QCOMPARE(page.Apply(settings), 0);

    page.ClearOnExit()->setChecked(true);
    page.ClearOnMinimize()->setChecked(false);
    QCOMPARE(page.Apply(settings), msg::kChangeHotKey);
    QCOMPARE(settings.App_ClearClipboardOnExit, 1);
    QCOMPARE(settings.App_ClearClipboardOnMinimize, 0);
    QCOMPARE(settings.App_ClearClipboardHotkey, 0x00410002);
}

void OptionsPagesTest::TrayPageEnablesItsControlsWithTheIcon() {
    CTresorixSettings settings;
    settings.Tray_Enable = 0;
    settings.Tray_Apearance = 1;
    settings.Tray_HideMinimize = 1;
    settings.Tray_HideClose = 0;
    CTrayOptionsPage page(settings);
    QCOMPARE(page.Title(), QStringLiteral("Tray Icon"));
    QVERIFY(page.OnlyMinimized()->isChecked());
    for (QWidget* control :
         {static_cast<QWidget*>(page.Always()), static_cast<QWidget*>(page.OnlyMinimized()),
          static_cast<QWidget*>(page.HideMinimize()), static_cast<QWidget*>(page.HideClose())})
        QVERIFY(!control->isEnabled());
    page.Enable()->setChecked(true);
    QVERIFY(page.Always()->isEnabled());
    QVERIFY(page.HideClose()->isEnabled());

    page.Always()->setChecked(true);
    page.HideClose()->setChecked(true);
    QCOMPARE(page.Apply(settings), msg::kChangeTray);
    QCOMPARE(settings.Tray_Enable, 1);
    QCOMPARE(settings.Tray_Apearance, 0);
    QCOMPARE(settings.Tray_HideMinimize, 1);
    QCOMPARE(settings.Tray_HideClose, 1);
    QCOMPARE(page.Apply(settings), 0);
}

void OptionsPagesTest::AutoLogoutPageKeepsThePeriodInRange() {
    CTresorixSettings settings;
    settings.ALogout_Enable = 0;
    settings.ALogout_Time = 500;
    settings.ALogout_OnTray = 0;
    settings.ALogout_OnScreenSaver = 1;
    CAutoLogoutOptionsPage page(settings);
    QCOMPARE(page.Title(), QStringLiteral("Auto Logout"));
    QCOMPARE(page.Minutes()->minimum(), 1);
    QCOMPARE(page.Minutes()->maximum(), 180);
    QCOMPARE(page.Minutes()->value(), 180);
    QVERIFY(!page.Minutes()->isEnabled());
    QVERIFY(page.OnScreenSaver()->isChecked());
    page.Enable()->setChecked(true);
    QVERIFY(page.Minutes()->isEnabled());

    page.Minutes()->setValue(0);
    QCOMPARE(page.Minutes()->value(), 1);
    page.OnTray()->setChecked(true);
    QCOMPARE(page.Apply(settings), msg::kChangeAutoLogout);
    QCOMPARE(settings.ALogout_Enable, 1);
    QCOMPARE(settings.ALogout_Time, 1);
    QCOMPARE(settings.ALogout_OnTray, 1);
    QCOMPARE(settings.ALogout_OnScreenSaver, 1);
    QCOMPARE(page.Apply(settings), 0);
}

void OptionsPagesTest::AppearancePageMasksTheExampleAtOnce() {
    CTresorixSettings settings;
    settings.App_ShowPasswords = 0;
    CAppearanceOptionsPage page(settings);
    QCOMPARE(page.Title(), QStringLiteral("Appearance"));
    QVERIFY(page.MaskPasswords()->isChecked());
    QCOMPARE(page.Example()->text(), QStringLiteral("Password"));
    QVERIFY(!page.Example()->IsShowingPassword());
    page.MaskPasswords()->setChecked(false);
    QVERIFY(page.Example()->IsShowingPassword());
    // Nothing is stored before the sheet is accepted.
    QCOMPARE(settings.App_ShowPasswords, 0);
    QCOMPARE(page.Apply(settings), msg::kChangeAppearance);
    QCOMPARE(settings.App_ShowPasswords, 1);
    QCOMPARE(page.Apply(settings), 0);
}

TX_APP_TEST_MAIN(OptionsPagesTest)
#include "OptionsPagesTest.moc"
