#include "ToolWindowsTestSupport.h"

#include "app/ExportTreeWidget.h"
#include "app/ExportWizard.h"
#include "app/ExportWizardPages.h"
#include "platform/TresorixSettings.h"
#include "tools/ExportCheckTree.h"
#include "tools/ExportColumns.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

using apptest::WasShown;

namespace {

void ResetExportSettings(CTresorixSettings& s, int type) {
    s.Export_ExportType = type;
    s.Export_CheckCascade = 1;
    s.Export_ExportColumns.clear();
    s.Export_ColumnsSortBy = 0;
    s.Export_Filename.clear();
    s.Export_OpenFile = 1;
    s.Export_ChangeCRLF = 1;
    s.Export_HtmlReportType = 0;
    s.Export_HtmlFullWidth = 1;
    s.Export_HtmlVariegatedRows = 0;
    s.Export_HtmlReportTitle.clear();
    s.Export_HtmlReportSearchField = 0;
    s.Import_CsvFieldSeparator = ";";
    s.Import_CsvFirstRowIsHeader = 1;
    s.Import_CsvStripQuotes = 0;
}

// Settings for an export of type into the vault's folder under name, not opened afterwards;
// the file's path.
QString PrepareFileExport(CTresorixSettings& s, apptest::CSampleVault& vault, int type,
                          const QString& name) {
    ResetExportSettings(s, type);
    s.Export_OpenFile = 0;
    const QString path = vault.FilePath(name);
    s.Export_Filename = ToBytes(path);
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the export engine itself writes for the same choice, to compare the wizard's file with.
QByteArray EngineExport(CTxDoc& doc, int type, const std::vector<int>& checked,
                        const std::vector<int>& columns, const std::string& title,
                        const QString& path) {
    CExportCheckTree tree;
    if (!tree.Fill(doc.GetTresorix().Get(), 1))
        return {};
    for (int id : checked)
        tree.SetCheck(tree.FindNode(id), true);
    CTxExport exporter(doc.GetTresorix().Get());
    exporter.SetType(type);
    CReportOutput::REPORTINFO info;
    info.title = title;
    exporter.SetReportInfo(info);
    exporter.SetDataSource(std::make_unique<CExportDataSource>(&tree));
    exporter.GetOutput()->SetColumns(columns, CExportColumns::TitleId(kColumnName));
    exporter.SetFileName(ToBytes(path));
    if (!exporter.Run())
        return {};
    exporter.SetDataSource(nullptr);
    return ReadAll(path);
}

Qt::CheckState CheckOf(CExportTreeWidget* tree, int id) {
    QTreeWidgetItem* item = tree->FindItem(id);
    return item ? item->checkState(0) : Qt::PartiallyChecked;
}

} // namespace

class ExportWizardTest : public QObject {
    Q_OBJECT

private slots:
    void CsvExportFollowsThePagesAndMatchesTheEngine();
    void HtmlExportOfTheCascadedTreeAndAFailedFile();
    void TrxPageChecksUserAndPasswords();
    void XmlAndSimpleHtmlMatchTheEngine();
    void TrxWithAPasswordOpensWithIt();
};

void ExportWizardTest::CsvExportFollowsThePagesAndMatchesTheEngine() {
    apptest::CSampleVault vault;
    QVERIFY(vault.IsOpen());
    CScopedMessageRecorder messages;
    CScopedShellRecorder shell;
    CTresorixSettings& settings = TresorixSettings();
    ResetExportSettings(settings, CTxExport::kCsv);
    const QString path = vault.FilePath(QStringLiteral("out.csv"));
    CExportWizard wizard(vault.Doc(), settings);
    QString askedSuffix;
    wizard.SetSaveDialog([&](QWidget*, const QString& title, const QString& filters,
                             const QString& suffix, const QString&) {
        askedSuffix = suffix;
        return title == QStringLiteral("Save As:") &&
                       filters.startsWith(QStringLiteral("Comma Separated Values"))
                   ? path
                   : QString();
    });
    QCOMPARE(wizard.windowTitle(), QStringLiteral("Exporting Wizard"));
    wizard.show();
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kType));
    QVERIFY(wizard.TypePage()->TypeButton(CTxExport::kCsv)->isChecked());
    wizard.TypePage()->TypeButton(CTxExport::kXml)->click();
    QCOMPARE(settings.Export_ExportType, int(CTxExport::kXml));
    wizard.TypePage()->TypeButton(CTxExport::kCsv)->click();
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kCsvOptions));
    QLineEdit* separator = wizard.CsvPage()->SeparatorEdit();
    QCOMPARE(separator->text(), QStringLiteral(";"));
    separator->setText(QStringLiteral(";,"));
    QCOMPARE(separator->text(), QStringLiteral(";"));
    QVERIFY(wizard.CsvPage()->HeaderBox()->isChecked());
    wizard.next();

    // Cascading: a check spreads up and down, an uncheck down only.
    QCOMPARE(wizard.currentId(), int(CExportWizard::kData));
    CExportTreeWidget* tree = wizard.DataPage()->Tree();
    QVERIFY(wizard.DataPage()->CascadeBox()->isChecked());
    QCOMPARE(tree->topLevelItemCount(), 1);
    QVERIFY(tree->FindItem(2));
    QVERIFY(tree->FindItem(25));
    tree->FindItem(8)->setCheckState(0, Qt::Checked);
    QCOMPARE(CheckOf(tree, 5), Qt::Checked);
    QCOMPARE(CheckOf(tree, 1), Qt::Checked);
    QCOMPARE(CheckOf(tree, 9), Qt::Checked);
    QCOMPARE(CheckOf(tree, 15), Qt::Checked);
    QCOMPARE(CheckOf(tree, 3), Qt::Unchecked);
    tree->FindItem(5)->setCheckState(0, Qt::Unchecked);
    QCOMPARE(CheckOf(tree, 9), Qt::Unchecked);
    QCOMPARE(CheckOf(tree, 1), Qt::Checked);
    wizard.DataPage()->CascadeBox()->setChecked(false);
    QCOMPARE(settings.Export_CheckCascade, 0);
    tree->FindItem(1)->setCheckState(0, Qt::Unchecked);
    tree->FindItem(7)->setCheckState(0, Qt::Checked);
    QCOMPARE(CheckOf(tree, 1), Qt::Unchecked);
    wizard.next();

    // Default columns; none checked refuses; a moved entry keeps its check and selection.
    QCOMPARE(wizard.currentId(), int(CExportWizard::kFields));
    CExportPage4_Fields* fields = wizard.FieldsPage();
    QListWidget* columns = fields->Columns();
    QCOMPARE(columns->count(), int(kColumnCount));
    QCOMPARE(fields->SortList()->currentText(), QStringLiteral("Name"));
    for (int i = 0; i < columns->count(); ++i)
        QCOMPARE(columns->item(i)->checkState() == Qt::Checked, i < 6);
    for (int i = 0; i < 6; ++i)
        columns->item(i)->setCheckState(Qt::Unchecked);
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kFields));
    QVERIFY(WasShown(messages, 62402));
    columns->item(0)->setCheckState(Qt::Checked);
    columns->item(2)->setCheckState(Qt::Checked);
    columns->item(20)->setCheckState(Qt::Checked);
    columns->setCurrentRow(2);
    fields->UpButton()->click();
    QCOMPARE(columns->currentRow(), 1);
    QCOMPARE(columns->item(1)->text(), QStringLiteral("Password"));
    QCOMPARE(columns->item(1)->checkState(), Qt::Checked);
    columns->setCurrentRow(20);
    fields->DownButton()->click();
    fields->DownButton()->click();
    QCOMPARE(columns->currentRow(), 21);
    QCOMPARE(columns->item(21)->text(), QStringLiteral("Location"));
    wizard.next();
    QCOMPARE(settings.Export_ExportColumns.size(), CExportColumns::kStoredLength);
    QCOMPARE(settings.Export_ExportColumns.substr(0, 30),
             std::string("0000 0001 0002 0001 0001 0000 "));

    QCOMPARE(wizard.currentId(), int(CExportWizard::kFilename));
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kFilename));
    QVERIFY(WasShown(messages, 62403));
    wizard.FilenamePage()->BrowseButton()->click();
    QCOMPARE(askedSuffix, QStringLiteral("csv"));
    QCOMPARE(wizard.FilenamePage()->PathEdit()->text(), path);
    wizard.next();

    QCOMPARE(wizard.currentId(), int(CExportWizard::kFinish));
    CExportPage6_Finish* finish = wizard.FinishPage();
    QVERIFY(finish->Succeeded());
    QCOMPARE(finish->StateLabel()->text(), QStringLiteral("Success..."));
    QVERIFY(finish->StateLabel()->styleSheet().contains(QStringLiteral("green")));
    QVERIFY(wizard.button(QWizard::FinishButton)->isEnabled());
    QVERIFY(!wizard.button(QWizard::BackButton)->isVisible());
    QCOMPARE(shell.Calls().size(), std::size_t(1));
    QCOMPARE(shell.Calls()[0].target, ToBytes(path));
    QCOMPARE(settings.Export_Filename, ToBytes(path));

    const QByteArray written = ReadAll(path);
    QVERIFY(written.startsWith("Name;Password;Location;"));
    const QByteArray expected = EngineExport(vault.Doc(), CTxExport::kCsv, {7},
                                             {kColumnName, kColumnPassword, kColumnLocation}, {},
                                             vault.FilePath(QStringLiteral("engine.csv")));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(written, expected);
}

void ExportWizardTest::HtmlExportOfTheCascadedTreeAndAFailedFile() {
    apptest::CSampleVault vault;
    QVERIFY(vault.IsOpen());
    CScopedMessageRecorder messages;
    CScopedShellRecorder shell;
    CTresorixSettings& settings = TresorixSettings();
    const QString path =
        PrepareFileExport(settings, vault, CTxExport::kHtml, QStringLiteral("out.htm"));
    {
        CExportWizard wizard(vault.Doc(), settings);
        wizard.show();
        wizard.next();
        wizard.next();
        QCOMPARE(wizard.currentId(), int(CExportWizard::kHtmlOptions));
        QCOMPARE(wizard.HtmlPage()->TitleEdit()->text(), QStringLiteral("My Passwords"));
        QVERIFY(wizard.HtmlPage()->ClassicButton()->isChecked());
        wizard.next();
        // With cascading, checking the root checks the recycle bin and everything below.
        CExportTreeWidget* tree = wizard.DataPage()->Tree();
        tree->FindItem(1)->setCheckState(0, Qt::Checked);
        QCOMPARE(CheckOf(tree, 2), Qt::Checked);
        QCOMPARE(CheckOf(tree, 10), Qt::Checked);
        QCOMPARE(CheckOf(tree, 23), Qt::Checked);
        wizard.next();
        wizard.next();
        QCOMPARE(wizard.currentId(), int(CExportWizard::kFilename));
        QCOMPARE(wizard.FilenamePage()->PathEdit()->text(), path);
        QVERIFY(!wizard.FilenamePage()->OpenBox()->isChecked());
        wizard.next();
        QVERIFY(wizard.FinishPage()->Succeeded());
        QVERIFY(shell.Calls().empty());
    }
    std::vector<int> all;
    for (int id = 1; id <= 25; ++id)
        all.push_back(id);
    const QByteArray written = ReadAll(path);
    QVERIFY(written.contains("My Passwords - Tresorix Pro"));
    QCOMPARE(written, EngineExport(vault.Doc(), CTxExport::kHtml, all,
                                   {kColumnName, kColumnLogin, kColumnPassword, kColumnEmail,
                                    kColumnUrl, kColumnComments},
                                   "My Passwords", vault.FilePath(QStringLiteral("engine.htm"))));

    // A file that cannot be made: the finish page turns red and cannot finish.
    const QString bad = vault.FilePath(QStringLiteral("no/such/folder/out.htm"));
    settings.Export_Filename = ToBytes(bad);
    CExportWizard wizard(vault.Doc(), settings);
    wizard.show();
    for (int i = 0; i < 6; ++i)
        wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kFinish));
    QVERIFY(!wizard.FinishPage()->Succeeded());
    QCOMPARE(wizard.FinishPage()->StateLabel()->text(), QStringLiteral("Error..."));
    QVERIFY(wizard.FinishPage()->StateLabel()->styleSheet().contains(QStringLiteral("red")));
    QVERIFY(!wizard.button(QWizard::FinishButton)->isEnabled());
    QVERIFY(WasShown(messages, 62401, ToBytes(bad)));
    QVERIFY(!QFile::exists(bad));
}

void ExportWizardTest::TrxPageChecksUserAndPasswords() {
    apptest::CSampleVault vault;
    QVERIFY(vault.IsOpen());
    CScopedMessageRecorder messages;
    CTresorixSettings& settings = TresorixSettings();
    ResetExportSettings(settings, CTxExport::kTrx);
    CExportWizard wizard(vault.Doc(), settings);
    wizard.show();
    wizard.next();
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kTrxOptions));
    CExportPage2_TrxOptions* trx = wizard.TrxPage();
    wizard.next();
    QVERIFY(WasShown(messages, 61231));
    trx->UserEdit()->setText(QStringLiteral("erin"));
    trx->PasswordEdit()->setText(QStringLiteral("one"));
    trx->RetypeEdit()->setText(QStringLiteral("two"));
    wizard.next();
    QVERIFY(WasShown(messages, 61228));
    QCOMPARE(wizard.currentId(), int(CExportWizard::kTrxOptions));
    trx->PasswordEdit()->clear();
    trx->RetypeEdit()->clear();
    messages.Script({IDYES});
    wizard.next();
    QVERIFY(WasShown(messages, 61230));
    QCOMPARE(wizard.currentId(), int(CExportWizard::kTrxOptions));
    messages.Script({IDNO});
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kData));
    QCOMPARE(wizard.Export().GetOptionString(CTxExport::kOptionUserName), std::string("erin"));
    QCOMPARE(wizard.Export().GetOptionString(CTxExport::kOptionKeyText),
             std::string("d41d8cd98f00b204e9800998ecf8427e"));
    // TRX has no columns: the data page leads straight to the file name.
    wizard.DataPage()->Tree()->FindItem(3)->setCheckState(0, Qt::Checked);
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kFilename));
    wizard.FilenamePage()->PathEdit()->setText(vault.FilePath(QStringLiteral("copy.tpx")));
    wizard.FilenamePage()->OpenBox()->setChecked(false);
    wizard.next();
    QVERIFY(wizard.FinishPage()->Succeeded());
    QVERIFY(QFile::exists(vault.FilePath(QStringLiteral("copy.tpx"))));
    QVERIFY(!wizard.button(QWizard::BackButton)->isVisible());
}

void ExportWizardTest::XmlAndSimpleHtmlMatchTheEngine() {
    apptest::CSampleVault vault;
    QVERIFY(vault.IsOpen());
    CScopedMessageRecorder messages;
    CScopedShellRecorder shell;
    CTresorixSettings& settings = TresorixSettings();
    const std::vector<int> columns = {kColumnName,  kColumnLogin, kColumnPassword,
                                      kColumnEmail, kColumnUrl,   kColumnComments};
    for (int type : {int(CTxExport::kXml), int(CTxExport::kHtml)}) {
        const QString path = PrepareFileExport(settings, vault, type,
                                               type == CTxExport::kXml ? QStringLiteral("out.xml")
                                                                       : QStringLiteral("out.htm"));
        settings.Export_XmlReportCustomFields = 0;
        {
            CExportWizard wizard(vault.Doc(), settings);
            wizard.show();
            wizard.next();
            wizard.next();
            if (type == CTxExport::kXml) {
                QCOMPARE(wizard.currentId(), int(CExportWizard::kXmlOptions));
                wizard.XmlPage()->TitleEdit()->setText(QStringLiteral("Vault"));
                wizard.XmlPage()->CustomFieldsBox()->setChecked(true);
            } else {
                QCOMPARE(wizard.currentId(), int(CExportWizard::kHtmlOptions));
                wizard.HtmlPage()->SimpleButton()->setChecked(true);
            }
            wizard.next();
            // A folder whose record carries custom fields, and the sub-folder tree.
            wizard.DataPage()->Tree()->FindItem(7)->setCheckState(0, Qt::Checked);
            wizard.DataPage()->Tree()->FindItem(5)->setCheckState(0, Qt::Checked);
            wizard.next();
            wizard.next();
            wizard.next();
            QCOMPARE(wizard.currentId(), int(CExportWizard::kFinish));
            QVERIFY(wizard.FinishPage()->Succeeded());
        }
        if (type == CTxExport::kXml)
            QCOMPARE(settings.Export_XmlReportCustomFields, 1);
        else
            QCOMPARE(settings.Export_HtmlReportType, 1);
        const QByteArray written = ReadAll(path);
        QVERIFY(!written.isEmpty());
        const QByteArray expected = EngineExport(
            vault.Doc(), type, {1, 5, 7, 8, 9, 12, 14, 15, 17, 18, 22, 25}, columns,
            settings.Export_HtmlReportTitle, vault.FilePath(QStringLiteral("engine.out")));
        QCOMPARE(written, expected);
    }
    QVERIFY(shell.Calls().empty());
    QVERIFY(messages.Messages().empty());
}

void ExportWizardTest::TrxWithAPasswordOpensWithIt() {
    apptest::CSampleVault vault;
    QVERIFY(vault.IsOpen());
    CScopedMessageRecorder messages;
    CTresorixSettings& settings = TresorixSettings();
    const QString path =
        PrepareFileExport(settings, vault, CTxExport::kTrx, QStringLiteral("copy.tpx"));
    {
        CExportWizard wizard(vault.Doc(), settings);
        wizard.show();
        wizard.next();
        wizard.next();
        wizard.TrxPage()->UserEdit()->setText(QStringLiteral("erin"));
        wizard.TrxPage()->PasswordEdit()->setText(QStringLiteral("pw-4711"));
        wizard.TrxPage()->RetypeEdit()->setText(QStringLiteral("pw-4711"));
        wizard.next();
        QCOMPARE(wizard.currentId(), int(CExportWizard::kData));
        wizard.DataPage()->Tree()->FindItem(3)->setCheckState(0, Qt::Checked);
        wizard.next();
        wizard.next();
        QVERIFY(wizard.FinishPage()->Succeeded());
    }
    QVERIFY(messages.Messages().empty());
    const QString folder = FromBytes(vault.Doc().GetRecord(3)->GetName());
    const QString record = FromBytes(vault.Doc().GetRecord(11)->GetName());

    apptest::CSampleLogin wrong("erin", "S3cret!pass");
    CTxDoc refused;
    refused.SetLoginDialog(&wrong);
    QVERIFY(!refused.OpenDataFile(ToBytes(path)));

    apptest::CSampleLogin right("erin", "pw-4711");
    CTxDoc copy;
    copy.SetLoginDialog(&right);
    QVERIFY(copy.OpenDataFile(ToBytes(path)));
    int copiedFolder = 0;
    TComPtr<ITreeIterator> it = copy.GetNode(1)->GetIterator(ITreeItem::kChildren);
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next())
        if (FromBytes(copy.GetRecord(child->GetID())->GetName()) == folder)
            copiedFolder = child->GetID();
    QVERIFY(copiedFolder > 0);
    it = copy.GetNode(copiedFolder)->GetIterator(ITreeItem::kChildren);
    TComPtr<ITreeItem> child = it->First();
    QVERIFY(child);
    QCOMPARE(FromBytes(copy.GetRecord(child->GetID())->GetName()), record);
    copy.CloseContents();
}

TX_APP_TEST_MAIN(ExportWizardTest)
#include "ExportWizardTest.moc"
