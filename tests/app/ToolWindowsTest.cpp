#include "ToolWindowsTestSupport.h"

#include "app/CsvImportWizard.h"
#include "app/CsvImportWizardPages.h"
#include "app/PasGenDlg.h"
#include "platform/TresorixSettings.h"
#include "tools/Password.h"
#include "ui/ModalRunner.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>

#include <cstring>

using apptest::WasShown;

namespace {

void SetGeneratorOptions(CTresorixSettings& s, int length, bool upper, bool lower, bool nums,
                         bool special) {
    s.Pasgen_Lenght = length;
    s.Pasgen_Upper = upper;
    s.Pasgen_Lower = lower;
    s.Pasgen_Nums = nums;
    s.Pasgen_Special = special;
    s.Pasgen_Exclude = 0;
    s.Pasgen_OtherE = 0;
    s.Pasgen_Other.clear();
    s.Pasgen_PrononceE = 0;
    s.Pasgen_Prononce = 1;
}

bool OnlyFrom(const QString& text, const char* set) {
    for (QChar c : text)
        if (!std::strchr(set, c.toLatin1()) || c.toLatin1() == 0)
            return false;
    return true;
}

void WriteText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Settings of the import the way a fresh profile has them.
void ResetImportSettings(CTresorixSettings& s) {
    s.Import_LastCsvFile.clear();
    s.Import_CsvFieldSeparator = ";";
    s.Import_CsvFirstRowIsHeader = 0;
    s.Import_CsvStripQuotes = 0;
}

} // namespace

class ToolWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void GeneratorShowsItsSettingsAndAFirstPassword();
    void GeneratorSpinWrapsAndTypedLengthIsUsed();
    void GeneratorWithoutClassShowsTheMessageAndKeepsTheText();
    void GeneratorEditingRatesTheTextAndStoresOptions();
    void GeneratorResultReachesTheCallerOnlyOnOk();
    void ImportWizardStoresTheCheckedRowsOfAFile();
    void ImportWizardChecksTheSourcePages();
};

void ToolWindowsTest::GeneratorShowsItsSettingsAndAFirstPassword() {
    CTresorixSettings settings;
    SetGeneratorOptions(settings, 20, true, false, false, false);
    settings.Pasgen_PrononceE = 1;
    settings.Pasgen_Prononce = 2;
    settings.Pasgen_Other = "xyz";
    CPasGenDlg dialog(settings);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Vurazizi Zazizedez UV"));
    QVERIFY(dialog.UpperBox()->isChecked());
    QVERIFY(!dialog.LowerBox()->isChecked());
    QVERIFY(!dialog.NumsBox()->isChecked());
    QVERIFY(!dialog.SpecialBox()->isChecked());
    QCOMPARE(dialog.LengthSpin()->value(), 20);
    QCOMPARE(dialog.OtherEdit()->text(), QStringLiteral("xyz"));
    QVERIFY(!dialog.OtherEdit()->isEnabled());
    QVERIFY(dialog.PronounceSlider()->isEnabled());
    QCOMPARE(dialog.PronounceSlider()->value(), 2);
    QCOMPARE(dialog.PronounceSlider()->minimum(), 0);
    QCOMPARE(dialog.PronounceSlider()->maximum(), 2);
    QCOMPARE(dialog.FirmnessBar()->minimum(), 0);
    QCOMPARE(dialog.FirmnessBar()->maximum(), 120);
    // Level 2 on upper case only: 20 letters, vowels and consonants alternating.
    const QString first = dialog.PasswordEdit()->text();
    QCOMPARE(first.size(), 20);
    QVERIFY(OnlyFrom(first, CPassword::kUpperSet));
    for (int i = 1; i < first.size(); ++i)
        QVERIFY(CPassword::IsVowel(first[i].toLatin1()) !=
                CPassword::IsVowel(first[i - 1].toLatin1()));
    QCOMPARE(dialog.FirmnessBar()->value(),
             CPassword::EstimateFirmness(first.toLatin1().constData()));
    QCOMPARE(dialog.Password(), first.toStdString());

    // The two check boxes enable their controls and store at once, without a new password.
    dialog.PronounceBox()->click();
    QVERIFY(!dialog.PronounceSlider()->isEnabled());
    QCOMPARE(settings.Pasgen_PrononceE, 0);
    dialog.OtherBox()->click();
    QVERIFY(dialog.OtherEdit()->isEnabled());
    QCOMPARE(settings.Pasgen_OtherE, 1);
    QCOMPARE(dialog.PasswordEdit()->text(), first);
}

void ToolWindowsTest::GeneratorSpinWrapsAndTypedLengthIsUsed() {
    CTresorixSettings settings;
    SetGeneratorOptions(settings, 64, true, true, true, true);
    CPasGenDlg dialog(settings);
    dialog.show();
    CLengthSpin* spin = dialog.LengthSpin();
    spin->stepBy(1);
    QCOMPARE(spin->value(), 1);
    spin->stepBy(-1);
    QCOMPARE(spin->value(), 64);
    spin->stepBy(-3);
    QCOMPARE(spin->value(), 61);
    // A typed number beyond the arrows' range is used as it is.
    spin->Edit()->selectAll();
    QTest::keyClicks(spin->Edit(), QStringLiteral("100"));
    dialog.GenerateButton()->click();
    QCOMPARE(settings.Pasgen_Lenght, 100);
    QCOMPARE(dialog.PasswordEdit()->text().size(), 100);
    QCOMPARE(dialog.FirmnessBar()->value(), 120);
    // Arrows from outside the range come back into it.
    spin->stepBy(1);
    QCOMPARE(spin->value(), 1);
    spin->Edit()->selectAll();
    QTest::keyClicks(spin->Edit(), QStringLiteral("0"));
    dialog.GenerateButton()->click();
    QCOMPARE(dialog.PasswordEdit()->text(), QString());
    QCOMPARE(dialog.FirmnessBar()->value(), 0);
    // Typing cannot ask for an unbounded password.
    spin->Edit()->selectAll();
    QTest::keyClicks(spin->Edit(), QStringLiteral("999999999"));
    dialog.GenerateButton()->click();
    QVERIFY(settings.Pasgen_Lenght <= CLengthSpin::kMaxTyped);
    QVERIFY(dialog.PasswordEdit()->text().size() <= CLengthSpin::kMaxTyped);
}

void ToolWindowsTest::GeneratorWithoutClassShowsTheMessageAndKeepsTheText() {
    CScopedMessageRecorder messages;
    CTresorixSettings settings;
    SetGeneratorOptions(settings, 16, false, false, false, false);
    settings.Pasgen_Exclude = 1;
    CPasGenDlg dialog(settings);
    // Opening generates without the check: nothing selected gives an empty password.
    QVERIFY(messages.Messages().empty());
    QCOMPARE(dialog.PasswordEdit()->text(), QString());
    dialog.PasswordEdit()->setText(QStringLiteral("typed"));
    dialog.GenerateButton()->click();
    QCOMPARE(messages.Messages().size(), std::size_t(1));
    QCOMPARE(messages.Messages()[0].text, LoadString(61271));
    QCOMPARE(messages.Messages()[0].caption, std::string("Password Generator"));
    QCOMPARE(messages.Messages()[0].flags & 0xF0u, unsigned(MB_ICONINFORMATION));
    QCOMPARE(dialog.PasswordEdit()->text(), QStringLiteral("typed"));

    // "Other" with an empty text still fails the check; with text it passes, and blanks and
    // commas are not drawn.
    dialog.OtherBox()->click();
    dialog.GenerateButton()->click();
    QCOMPARE(messages.Messages().size(), std::size_t(2));
    dialog.ExcludeBox()->click();
    dialog.OtherEdit()->setText(QStringLiteral(" a,b "));
    dialog.GenerateButton()->click();
    QCOMPARE(messages.Messages().size(), std::size_t(2));
    QCOMPARE(dialog.PasswordEdit()->text().size(), 16);
    QVERIFY(OnlyFrom(dialog.PasswordEdit()->text(), "ab"));
    // Only blanks and commas: the check passes on the typed text, the password is empty.
    dialog.OtherEdit()->setText(QStringLiteral(" , "));
    dialog.GenerateButton()->click();
    QCOMPARE(messages.Messages().size(), std::size_t(2));
    QCOMPARE(dialog.PasswordEdit()->text(), QString());
}

void ToolWindowsTest::GeneratorEditingRatesTheTextAndStoresOptions() {
    CTresorixSettings settings;
    SetGeneratorOptions(settings, 16, true, true, true, true);
    CPasGenDlg dialog(settings);
    QCOMPARE(dialog.PasswordEdit()->text().size(), 16);
    dialog.LowerBox()->setChecked(false);
    QCOMPARE(settings.Pasgen_Lower, 1);
    dialog.PasswordEdit()->setText(QStringLiteral("abc"));
    QCOMPARE(dialog.FirmnessBar()->value(), 15);
    QCOMPARE(settings.Pasgen_Lower, 0);
    QCOMPARE(dialog.Password(), std::string("abc"));
    dialog.PasswordEdit()->setText(QString());
    QCOMPARE(dialog.FirmnessBar()->value(), 0);
}

void ToolWindowsTest::GeneratorResultReachesTheCallerOnlyOnOk() {
    CTresorixSettings& settings = TresorixSettings();
    SetGeneratorOptions(settings, 12, false, true, false, false);
    QString seen;
    SetModalHook([&seen](QDialog& d) {
        auto& dialog = dynamic_cast<CPasGenDlg&>(d);
        seen = dialog.PasswordEdit()->text();
        dialog.NumsBox()->setChecked(true);
        dialog.PasswordEdit()->setText(QStringLiteral("chosen"));
        dialog.accept();
        return dialog.result();
    });
    std::string password = "old";
    QVERIFY(RunPasswordGeneratorFor(nullptr, password));
    QCOMPARE(password, std::string("chosen"));
    QCOMPARE(seen.size(), 12);
    // OK stores the options read last.
    QCOMPARE(settings.Pasgen_Nums, 1);

    SetModalHook([](QDialog& d) {
        d.reject();
        return d.result();
    });
    password = "old";
    QVERIFY(!RunPasswordGeneratorFor(nullptr, password));
    QCOMPARE(password, std::string("old"));

    // OK on an emptied password leaves the editor's password too.
    SetModalHook([](QDialog& d) {
        auto& dialog = dynamic_cast<CPasGenDlg&>(d);
        dialog.PasswordEdit()->clear();
        dialog.accept();
        return dialog.result();
    });
    QVERIFY(!RunPasswordGeneratorFor(nullptr, password));
    QCOMPARE(password, std::string("old"));
    QCOMPARE(RunPasswordGenerator(nullptr), int(QDialog::Accepted));
    SetModalHook({});
}

void ToolWindowsTest::ImportWizardStoresTheCheckedRowsOfAFile() {
    apptest::CSampleVault vault;
    QVERIFY(vault.IsOpen());
    CScopedMessageRecorder messages;
    CTresorixSettings settings;
    ResetImportSettings(settings);
    const QString csv = vault.FilePath(QStringLiteral("in.csv"));
    WriteText(csv,
              "Name;Login;Password\n\"New mail\";\"bob\";pw1\n;alice;pw2\nShort;x\n\nAfter;y;z\n");

    CCsvImportWizard wizard(vault.Doc(), settings, 3);
    QCOMPARE(wizard.windowTitle(), QStringLiteral("Importing Wizard"));
    wizard.SetOpenDialog(
        [&csv](QWidget*, const QString& title, const QString& filters, const QString&) {
            return title == QStringLiteral("Open:") &&
                           filters.startsWith(QStringLiteral("Comma Separated Values (*.csv)"))
                       ? csv
                       : QString();
        });
    int pickerAnswer = 6;
    wizard.SetFolderPicker([&pickerAnswer](CTxDoc&, int, QWidget*) { return pickerAnswer; });
    wizard.show();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kWelcome));
    wizard.next();

    CImportCsvPageFile* file = wizard.FilePage();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFile));
    QVERIFY(file->FileChoice()->isChecked());
    QCOMPARE(file->PathEdit()->text(), QString());
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFile));
    QVERIFY(WasShown(messages, 61361));
    file->BrowseButton()->click();
    QCOMPARE(file->PathEdit()->text(), csv);
    QCOMPARE(settings.Import_LastCsvFile, ToBytes(csv));
    // The separator holds one character; an empty one is reset to ";".
    file->SeparatorEdit()->setText(QStringLiteral(","));
    file->SeparatorEdit()->setText(QStringLiteral(",;"));
    QCOMPARE(file->SeparatorEdit()->text(), QStringLiteral(","));
    file->SeparatorEdit()->clear();
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFile));
    QVERIFY(WasShown(messages, 61363));
    QCOMPARE(file->SeparatorEdit()->text(), QStringLiteral(";"));
    file->HeaderBox()->setChecked(true);
    file->QuotesBox()->setChecked(true);
    wizard.next();

    CImportCsvPageFields* fields = wizard.FieldsPage();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFields));
    QCOMPARE(settings.Import_CsvFirstRowIsHeader, 1);
    for (int k = 0; k < CCsvImport::kTargetCount; ++k) {
        QCOMPARE(fields->TargetBox(k)->isChecked(), k < 3);
        QCOMPARE(fields->TargetList(k)->isEnabled(), k < 3);
        QCOMPARE(fields->TargetList(k)->count(), 3);
    }
    QCOMPARE(fields->TargetList(0)->itemText(0), QStringLiteral("[Field 1]: Name"));
    QCOMPARE(fields->TargetList(2)->currentText(), QStringLiteral("[Field 3]: Password"));
    for (int k = 0; k < 3; ++k)
        fields->TargetBox(k)->setChecked(false);
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFields));
    QVERIFY(WasShown(messages, 61364));
    for (int k = 0; k < 3; ++k)
        fields->TargetBox(k)->setChecked(true);
    wizard.next();

    // Rows after the empty line are not read; a nameless row is named by the count before it.
    CImportCsvPageValues* values = wizard.ValuesPage();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kValues));
    QTreeWidget* list = values->List();
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("New mail"));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("bob"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Password (1)"));
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("x"));
    const QColor warning(255, 190, 125);
    QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Checked);
    QVERIFY(list->topLevelItem(0)->background(0).color() != warning);
    for (int i = 1; i < 3; ++i) {
        QCOMPARE(list->topLevelItem(i)->checkState(0), Qt::Unchecked);
        QCOMPARE(list->topLevelItem(i)->background(0).color(), warning);
        QCOMPARE(list->topLevelItem(i)->background(5).color(), warning);
    }
    values->InvertButton()->click();
    QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Unchecked);
    QCOMPARE(list->topLevelItem(2)->checkState(0), Qt::Checked);
    values->DeselectAllButton()->click();
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kValues));
    QVERIFY(WasShown(messages, 61377));
    values->SelectAllButton()->click();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(list->topLevelItem(i)->checkState(0), Qt::Checked);
    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    wizard.next();

    // The target folder is listed after the root and "Browse..."; the picker adds its choice.
    CImportCsvSelectFolder* folder = wizard.FolderPage();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFolder));
    QComboBox* folders = folder->FolderList();
    QCOMPARE(folders->count(), 3);
    QCOMPARE(folders->itemText(0), QStringLiteral("My Passwords"));
    QCOMPARE(folders->itemText(1), QStringLiteral("Browse..."));
    QCOMPARE(folder->SelectedFolder(), 3);
    folders->setCurrentIndex(1);
    emit folders->activated(1);
    QCOMPARE(folder->SelectedFolder(), 6);
    QCOMPARE(folders->currentText(), QStringLiteral("Private"));
    pickerAnswer = 0;
    folders->setCurrentIndex(1);
    emit folders->activated(1);
    QCOMPARE(folder->SelectedFolder(), 1);
    folders->setCurrentIndex(folders->findData(6));
    emit folders->activated(folders->currentIndex());
    wizard.next();

    CImportCsvPageFinish* finish = wizard.FinishPage();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFinish));
    QCOMPARE(finish->Count(), 2);
    QCOMPARE(finish->TextLabel()->text(), QStringLiteral("2 item(s) has been imported."));
    QCOMPARE(wizard.buttonText(QWizard::FinishButton), QStringLiteral("Done"));
    QVERIFY(!wizard.button(QWizard::BackButton)->isVisible());
    wizard.button(QWizard::FinishButton)->click();
    QCOMPARE(wizard.result(), int(QDialog::Accepted));

    const QStringList names = vault.ChildNames(6);
    QVERIFY(names.contains(QStringLiteral("New mail")));
    QVERIFY(names.contains(QStringLiteral("Short")));
    QVERIFY(!names.contains(QStringLiteral("Password (1)")));
    QVERIFY(!names.contains(QStringLiteral("After")));
    QVERIFY(!vault.ChildNames(3).contains(QStringLiteral("New mail")));
}

void ToolWindowsTest::ImportWizardChecksTheSourcePages() {
    apptest::CSampleVault vault;
    QVERIFY(vault.IsOpen());
    CScopedMessageRecorder messages;
    CScopedMemoryClipboard clipboard;
    CTresorixSettings settings;
    ResetImportSettings(settings);
    const QString csv = vault.FilePath(QStringLiteral("header.csv"));
    WriteText(csv, "Name;Login;Password\n");
    settings.Import_LastCsvFile = ToBytes(csv);
    settings.Import_CsvFirstRowIsHeader = 1;

    CCsvImportWizard wizard(vault.Doc(), settings, 0);
    wizard.show();
    wizard.next();
    CImportCsvPageFile* file = wizard.FilePage();
    QCOMPARE(file->PathEdit()->text(), csv);
    QVERIFY(file->HeaderBox()->isChecked());
    // A file that cannot be opened.
    file->PathEdit()->setText(vault.FilePath(QStringLiteral("missing.csv")));
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFile));
    QVERIFY(WasShown(messages, 61365, ToBytes(vault.FilePath(QStringLiteral("missing.csv")))));
    // Only a header row with the header option on: the fields page keeps the wizard there.
    file->PathEdit()->setText(csv);
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFields));
    messages.Clear();
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFields));
    QVERIFY(messages.Messages().empty());

    // The clipboard: empty first, then with text; Back and Next open the source again.
    wizard.back();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFile));
    file->ClipboardChoice()->setChecked(true);
    QVERIFY(!file->BrowseButton()->isEnabled());
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFile));
    QVERIFY(WasShown(messages, 61366));
    QVERIFY(CopyTextToClipboard("a;b;c;d\ne;f;g;h\n"));
    file->HeaderBox()->setChecked(false);
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFields));
    QCOMPARE(wizard.FieldsPage()->TargetList(3)->currentText(), QStringLiteral("[Field 4]: d"));
    QVERIFY(wizard.FieldsPage()->TargetBox(3)->isChecked());
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kValues));
    QCOMPARE(wizard.ValuesPage()->List()->topLevelItemCount(), 2);
    wizard.next();
    // No folder was open: the root is offered.
    QCOMPARE(wizard.FolderPage()->SelectedFolder(), 1);
    wizard.next();
    QCOMPARE(wizard.FinishPage()->Count(), 2);
    QVERIFY(vault.ChildNames(1).contains(QStringLiteral("e")));
}

TX_APP_TEST_MAIN(ToolWindowsTest)
#include "ToolWindowsTest.moc"
