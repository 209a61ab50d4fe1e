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
    void ClipboardAndAppearancePagesWriteTheirMembers();
    void TrayPageEnablesItsControlsWithTheIcon();
    void AutoLogoutPageKeepsThePeriodInRange();
};

void OptionsPagesTest::ClipboardAndAppearancePagesWriteTheirMembers() {
    CTresorixSettings settings;
    settings.App_ClearClipboardOnExit = 0;
    settings.App_ClearClipboardOnMinimize = 1;
    settings.App_ClearClipboardHotkey = 0x00410002;
    settings.App_ShowPasswords = 0;
    CClipboardOptionsPage clipboard(settings);
    QCOMPARE(clipboard.Apply(settings), 0);
    clipboard.ClearOnExit()->setChecked(true);
    clipboard.ClearOnMinimize()->setChecked(false);
    QCOMPARE(clipboard.Apply(settings), msg::kChangeHotKey);
    QCOMPARE(settings.App_ClearClipboardOnExit, 1);
    QCOMPARE(settings.App_ClearClipboardOnMinimize, 0);
    QCOMPARE(settings.App_ClearClipboardHotkey, 0x00410002);

    // The example follows the box at once; the member only when the sheet is accepted.
    CAppearanceOptionsPage appearance(settings);
    QVERIFY(appearance.MaskPasswords()->isChecked());
    QCOMPARE(appearance.Example()->text(), QStringLiteral("Password"));
    QVERIFY(!appearance.Example()->IsShowingPassword());
    appearance.MaskPasswords()->setChecked(false);
    QVERIFY(appearance.Example()->IsShowingPassword());
    QCOMPARE(settings.App_ShowPasswords, 0);
    QCOMPARE(appearance.Apply(settings), msg::kChangeAppearance);
    QCOMPARE(settings.App_ShowPasswords, 1);
    QCOMPARE(appearance.Apply(settings), 0);

    // The view boxes start from their members and each change alone gives code 6.
    settings.View_ShowGridLines = 1;
    settings.View_FullRowSelect = 0;
    settings.View_TreeViewLargeIcons = 0;
    settings.View_FavViewLargeIcons = 1;
    settings.View_EditUnknownLinks = 1;
    CAppearanceOptionsPage view(settings);
    const bool expected[] = {true, false, false, true, true};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(view.ViewBox(i)->isChecked(), expected[i]);
    QCOMPARE(view.Apply(settings), 0);
    view.ViewBox(2)->setChecked(true);
    view.ViewBox(4)->setChecked(false);
    QCOMPARE(view.Apply(settings), msg::kChangeAppearance);
    QCOMPARE(settings.View_TreeViewLargeIcons, 1);
    QCOMPARE(settings.View_EditUnknownLinks, 0);
    QCOMPARE(settings.View_ShowGridLines, 1);
    QCOMPARE(settings.App_ShowPasswords, 1);
}

void OptionsPagesTest::TrayPageEnablesItsControlsWithTheIcon() {
    CTresorixSettings settings;
    settings.Tray_Enable = 0;
    settings.Tray_Apearance = 1;
    settings.Tray_HideClose = 0;
    CTrayOptionsPage page(settings);
    QVERIFY(page.OnlyMinimized()->isChecked());
    QVERIFY(!page.Always()->isEnabled());
    QVERIFY(!page.HideClose()->isEnabled());
    page.Enable()->setChecked(true);
    QVERIFY(page.Always()->isEnabled());
    QVERIFY(page.HideClose()->isEnabled());
    page.Always()->setChecked(true);
    page.HideClose()->setChecked(true);
    QCOMPARE(page.Apply(settings), msg::kChangeTray);
    QCOMPARE(settings.Tray_Enable, 1);
    QCOMPARE(settings.Tray_Apearance, 0);
    QCOMPARE(settings.Tray_HideClose, 1);
    QCOMPARE(page.Apply(settings), 0);
}

void OptionsPagesTest::AutoLogoutPageKeepsThePeriodInRange() {
    CTresorixSettings settings;
    settings.ALogout_Enable = 0;
    settings.ALogout_Time = 500;
    CAutoLogoutOptionsPage page(settings);
    QCOMPARE(page.Minutes()->value(), 180);
    QVERIFY(!page.Minutes()->isEnabled());
    page.Enable()->setChecked(true);
    QVERIFY(page.Minutes()->isEnabled());
    page.Minutes()->setValue(0);
    page.OnTray()->setChecked(true);
    QCOMPARE(page.Apply(settings), msg::kChangeAutoLogout);
    QCOMPARE(settings.ALogout_Enable, 1);
    QCOMPARE(settings.ALogout_Time, 1);
    QCOMPARE(settings.ALogout_OnTray, 1);
    QCOMPARE(page.Apply(settings), 0);
}

TX_APP_TEST_MAIN(OptionsPagesTest)
#include "OptionsPagesTest.moc"
