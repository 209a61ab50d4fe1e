#include "app/ExportWizardPages.h"

#include "app/ExportTreeWidget.h"
#include "app/ExportWizard.h"
#include "app/ProgressDlg.h"
#include "app/ProgressStrings.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "security/MD5Checksum.h"
#include "security/SecureZero.h"
#include "tools/ExportColumns.h"
#include "tools/ExportDataSource.h"
#include "tools/KivCsvFile.h"
#include "ui/FileDialogFilters.h"
#include "ui/TextBytes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr unsigned kIdsNoColumn = 62402;
constexpr unsigned kIdsNoFileName = 62403;
constexpr unsigned kIdsExportError = 62404;
constexpr unsigned kIdsSuccess = 62405;
constexpr unsigned kIdsFinished = 62406;
constexpr unsigned kIdsErrorState = 62407;
constexpr unsigned kIdsCsvFilter = 62409;
constexpr unsigned kIdsHtmlFilter = 62410;
constexpr unsigned kIdsXmlFilter = 62411;
constexpr unsigned kIdsNoSeparator = 61363;
constexpr unsigned kIdsMismatch = 61228;
constexpr unsigned kIdsNoPassword = 61230;
constexpr unsigned kIdsNoUser = 61231;
constexpr unsigned kIdsDefaultTitle = 61233;
constexpr const char* kTrxFilter =
    "Tresorix Pro Files (*.tpx *.trx)|*.tpx;*.trx|All Files (*.*)|*.*||";
constexpr int kRoleColumn = Qt::UserRole;

QString Text(unsigned id) {
    return FromBytes(LoadString(id));
}

void ExportBox(unsigned id) {
    KivMessageBox(LoadString(id), MB_OK | MB_ICONINFORMATION, ExportCaption());
}

// A separator edit that holds one character at most: a longer text gives the previous one.
void KeepOneCharacter(QLineEdit* edit, QString& last) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, &last](const QString& typed) {
        if (typed.size() > 1) {
            edit->setText(last);
            return;
        }
        last = typed;
    });
}

// A small picture of a report table in one of the two looks: Classic has a black header row
// and grey rows without lines, Simple a plain grid.
QPixmap LookPreview(bool simple) {
    constexpr int kWidth = 96, kRow = 10, kRows = 5;
    QPixmap pixmap(kWidth, kRow * kRows + 1);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    for (int r = 0; r < kRows; ++r) {
        const QRect row(0, r * kRow, kWidth - 1, kRow);
        if (simple) {
            painter.setPen(Qt::black);
            painter.drawRect(row);
            painter.drawLine(kWidth / 3, row.top(), kWidth / 3, row.bottom());
            painter.drawLine(2 * kWidth / 3, row.top(), 2 * kWidth / 3, row.bottom());
        } else {
            painter.fillRect(row, r == 0 ? QColor(0, 0, 0) : QColor(0xEE, 0xEE, 0xEE));
        }
        painter.fillRect(QRect(3, r * kRow + 4, kWidth / 4, 2),
                         !simple && r == 0 ? Qt::white : QColor(0x30, 0x30, 0x5F));
    }
    return pixmap;
}

} // namespace

CExportPage0_Welcome::CExportPage0_Welcome(QWidget* parent) : QWizardPage(parent) {
    setTitle(QStringLiteral("Welcome to the Data Exporting Wizard"));
    auto* text =
        new QLabel(QStringLiteral("This wizard exports your data into a CSV file (comma separated "
                                  "values), an HTML report, an XML document or TRX file (another "
                                  "data file)."),
                   this);
    text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addStretch();
}

CExportPage1_Type::CExportPage1_Type(CExportWizard& wizard) : m_wizard(wizard) {
    setTitle(QStringLiteral("Step 1 of 5 - Destination Type"));
    const char* labels[] = {"CSV (Comma Separated Values)", "HTML (Hyper Text)",
                            "XML (Web Document)", "TRX (Another Data File)"};
    auto* group = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    for (int type = 0; type < 4; ++type) {
        m_buttons[type] = new QRadioButton(QString::fromLatin1(labels[type]), this);
        group->addButton(m_buttons[type], type);
        layout->addWidget(m_buttons[type]);
        connect(m_buttons[type], &QRadioButton::clicked, this,
                [this, type] { m_wizard.Settings().Export_ExportType = type; });
    }
    layout->addStretch();
}

void CExportPage1_Type::initializePage() {
    const int type = m_wizard.Settings().Export_ExportType;
    m_buttons[type >= 0 && type < 4 ? type : 0]->setChecked(true);
}

bool CExportPage1_Type::validatePage() {
    for (int type = 0; type < 4; ++type)
        if (m_buttons[type]->isChecked())
            m_wizard.Settings().Export_ExportType = type;
    m_wizard.Export().SetType(m_wizard.Settings().Export_ExportType);
    return true;
}

int CExportPage1_Type::nextId() const {
    for (int type = 0; type < 4; ++type)
        if (m_buttons[type]->isChecked()) {
            const int pages[] = {CExportWizard::kCsvOptions, CExportWizard::kHtmlOptions,
                                 CExportWizard::kXmlOptions, CExportWizard::kTrxOptions};
            return pages[type];
        }
    return CExportWizard::kCsvOptions;
}

CExportPage2_CsvOptions::CExportPage2_CsvOptions(CExportWizard& wizard)
    : m_wizard(wizard),
      m_header(new QCheckBox(QStringLiteral("Place the column headers into the first row."), this)),
      m_quotes(
          new QCheckBox(QStringLiteral("Surround values by quotes (\"Name\", \"Login\"..."), this)),
      m_crlf(new QCheckBox(QStringLiteral("Change carriage return symbols to \"\\n\""), this)),
      m_separator(new QLineEdit(this)) {
    setTitle(QStringLiteral("Step 2 of 5 - CSV Options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_quotes);
    layout->addWidget(m_crlf);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Separated fields by"), this));
    m_separator->setMaximumWidth(40);
    row->addWidget(m_separator);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    KeepOneCharacter(m_separator, m_lastSeparator);
}

void CExportPage2_CsvOptions::initializePage() {
    const CTresorixSettings& s = m_wizard.Settings();
    m_header->setChecked(s.Import_CsvFirstRowIsHeader);
    m_quotes->setChecked(s.Import_CsvStripQuotes);
    m_crlf->setChecked(s.Export_ChangeCRLF);
    m_lastSeparator = FromBytes(s.Import_CsvFieldSeparator).left(1);
    m_separator->setText(m_lastSeparator);
}

bool CExportPage2_CsvOptions::validatePage() {
    CTresorixSettings& s = m_wizard.Settings();
    s.Import_CsvFirstRowIsHeader = m_header->isChecked();
    s.Import_CsvStripQuotes = m_quotes->isChecked();
    s.Export_ChangeCRLF = m_crlf->isChecked();
    // Without a separator the file could not be read back.
    if (m_separator->text().isEmpty()) {
        ExportBox(kIdsNoSeparator);
        s.Import_CsvFieldSeparator = ";";
        m_separator->setText(QStringLiteral(";"));
        return false;
    }
    s.Import_CsvFieldSeparator = ToBytes(m_separator->text());
    return true;
}

int CExportPage2_CsvOptions::nextId() const {
    return CExportWizard::kData;
}

CExportPage2_HtmlOptions::CExportPage2_HtmlOptions(CExportWizard& wizard)
    : m_wizard(wizard), m_title(new QLineEdit(this)),
      m_classic(new QRadioButton(QStringLiteral("&Classic"), this)),
      m_simple(new QRadioButton(QStringLiteral("&Simple"), this)),
      m_variegated(new QCheckBox(QStringLiteral("&Variegated rows in the Classic view"), this)),
      m_searchField(new QCheckBox(QStringLiteral("Search &field on a page"), this)) {
    setTitle(QStringLiteral("Step 2 of 5 - HTML Options"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Report title:"), m_title);
    auto* looks = new QHBoxLayout;
    for (QRadioButton* look : {m_classic, m_simple}) {
        auto* picture = new QLabel(this);
        picture->setPixmap(LookPreview(look == m_simple));
        auto* column = new QVBoxLayout;
        column->addWidget(look);
        column->addWidget(picture);
        looks->addLayout(column);
    }
    looks->addStretch();
    layout->addRow(QStringLiteral("Appearance:"), looks);
    layout->addRow(m_variegated);
    layout->addRow(m_searchField);
}

void CExportPage2_HtmlOptions::initializePage() {
    CTresorixSettings& s = m_wizard.Settings();
    if (s.Export_HtmlReportTitle.empty())
        s.Export_HtmlReportTitle = LoadString(kIdsDefaultTitle);
    m_title->setText(FromBytes(s.Export_HtmlReportTitle));
    (s.Export_HtmlReportType == 1 ? m_simple : m_classic)->setChecked(true);
    m_variegated->setChecked(s.Export_HtmlVariegatedRows);
    m_searchField->setChecked(s.Export_HtmlReportSearchField);
}

bool CExportPage2_HtmlOptions::validatePage() {
    CTresorixSettings& s = m_wizard.Settings();
    s.Export_HtmlReportTitle = ToBytes(m_title->text());
    s.Export_HtmlReportType = m_simple->isChecked() ? 1 : 0;
    s.Export_HtmlVariegatedRows = m_variegated->isChecked();
    s.Export_HtmlReportSearchField = m_searchField->isChecked();
    CReportOutput::REPORTINFO info;
    info.title = s.Export_HtmlReportTitle;
    m_wizard.Export().SetReportInfo(info);
    return true;
}

int CExportPage2_HtmlOptions::nextId() const {
    return CExportWizard::kData;
}

CExportPage2_TrxOptions::CExportPage2_TrxOptions(CExportWizard& wizard)
    : m_wizard(wizard), m_user(new QLineEdit(this)), m_password(new QLineEdit(this)),
      m_retype(new QLineEdit(this)), m_hint(new QLineEdit(this)) {
    setTitle(QStringLiteral("Step 2 of 5 - TRX Options"));
    m_password->setEchoMode(QLineEdit::Password);
    m_retype->setEchoMode(QLineEdit::Password);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Type a username for the new data file:"), this));
    layout->addWidget(m_user);
    layout->addWidget(
        new QLabel(QStringLiteral("Type a password (password is case sensitive):"), this));
    layout->addWidget(m_password);
    layout->addWidget(new QLabel(QStringLiteral("Retype password:"), this));
    layout->addWidget(m_retype);
    layout->addWidget(
        new QLabel(QStringLiteral("Type a word or phrase to use as a password hint:"), this));
    layout->addWidget(m_hint);
    auto* warning = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    warning->addWidget(icon);
    auto* text = new QLabel(
        QStringLiteral("WARNING: If you forget your password, you will never get access to your "
                       "data file.\nPlease keep it in mind!"),
        this);
    text->setWordWrap(true);
    warning->addWidget(text, 1);
    layout->addLayout(warning);
    layout->addStretch();
}

bool CExportPage2_TrxOptions::validatePage() {
    if (m_user->text().isEmpty()) {
        KivMessageBox(LoadString(kIdsNoUser), MB_OK | MB_ICONEXCLAMATION);
        m_user->setFocus();
        return false;
    }
    if (m_password->text() != m_retype->text()) {
        KivMessageBox(LoadString(kIdsMismatch), MB_OK | MB_ICONEXCLAMATION);
        m_password->setFocus();
        return false;
    }
    if (m_password->text().isEmpty() &&
        KivMessageBox(LoadString(kIdsNoPassword), MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
        m_password->setFocus();
        return false;
    }
    std::string password = ToBytes(m_password->text());
    m_wizard.Export().SetOptionStrings(ToBytes(m_user->text()), CMD5Checksum::GetMD5(password),
                                       ToBytes(m_hint->text()));
    SecureZero(password.data(), password.size());
    return true;
}

int CExportPage2_TrxOptions::nextId() const {
    return CExportWizard::kData;
}

CExportPage2_XmlOptions::CExportPage2_XmlOptions(CExportWizard& wizard)
    : m_wizard(wizard), m_title(new QLineEdit(this)),
      m_customFields(new QCheckBox(QStringLiteral("Export &custom fields"), this)) {
    setTitle(QStringLiteral("Step 2 of 5 - XML Options"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Report title:"), m_title);
    layout->addRow(m_customFields);
}

void CExportPage2_XmlOptions::initializePage() {
    const CTresorixSettings& s = m_wizard.Settings();
    m_title->setText(FromBytes(s.Export_HtmlReportTitle));
    m_customFields->setChecked(s.Export_XmlReportCustomFields);
}

bool CExportPage2_XmlOptions::validatePage() {
    CTresorixSettings& s = m_wizard.Settings();
    s.Export_HtmlReportTitle = ToBytes(m_title->text());
    s.Export_XmlReportCustomFields = m_customFields->isChecked();
    CReportOutput::REPORTINFO info;
    info.title = s.Export_HtmlReportTitle;
    m_wizard.Export().SetReportInfo(info);
    return true;
}

int CExportPage2_XmlOptions::nextId() const {
    return CExportWizard::kData;
}

CExportPage3_Data::CExportPage3_Data(CExportWizard& wizard)
    : m_wizard(wizard), m_tree(new CExportTreeWidget(this)),
      m_cascade(new QCheckBox(QStringLiteral("&Cascade check"), this)) {
    setTitle(QStringLiteral("Step 3 of 5 - Choose Data"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_cascade);
    connect(m_cascade, &QCheckBox::toggled, this, [this](bool on) {
        m_wizard.Settings().Export_CheckCascade = on;
        m_tree->SetCascade(on);
    });
}

void CExportPage3_Data::initializePage() {
    m_cascade->setChecked(m_wizard.Settings().Export_CheckCascade);
    m_tree->SetCascade(m_cascade->isChecked());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_tree->Fill(m_wizard.Document());
    QApplication::restoreOverrideCursor();
}

bool CExportPage3_Data::validatePage() {
    m_wizard.Export().SetDataSource(std::make_unique<CExportDataSource>(m_tree));
    return true;
}

int CExportPage3_Data::nextId() const {
    return m_wizard.Export().GetType() == CTxExport::kTrx ? CExportWizard::kFilename
                                                          : CExportWizard::kFields;
}

CExportPage4_Fields::CExportPage4_Fields(CExportWizard& wizard)
    : m_wizard(wizard), m_sort(new QComboBox(this)), m_columns(new QListWidget(this)),
      m_up(new QPushButton(QStringLiteral("Move &Up"), this)),
      m_down(new QPushButton(QStringLiteral("Move &Down"), this)) {
    setTitle(QStringLiteral("Step 4 of 5 - Choose Fields"));
    for (int i = 0; i < kColumnCount; ++i)
        m_sort->addItem(FromBytes(CExportColumns::Title(i)));
    auto* layout = new QVBoxLayout(this);
    auto* sortRow = new QHBoxLayout;
    sortRow->addWidget(new QLabel(QStringLiteral("Sort Items by:"), this));
    sortRow->addWidget(m_sort, 1);
    layout->addLayout(sortRow);
    layout->addWidget(new QLabel(QStringLiteral("Columns"), this));
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_columns, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_up);
    buttons->addWidget(m_down);
    buttons->addStretch();
    listRow->addLayout(buttons);
    layout->addLayout(listRow, 1);
    connect(m_up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { Move(1); });
}

void CExportPage4_Fields::initializePage() {
    const CTresorixSettings& s = m_wizard.Settings();
    const int sortBy = s.Export_ColumnsSortBy;
    m_sort->setCurrentIndex(sortBy >= 0 && sortBy < kColumnCount ? sortBy : 0);
    m_columns->clear();
    for (const CExportColumns::ENTRY& entry : CExportColumns::Parse(s.Export_ExportColumns)) {
        auto* item = new QListWidgetItem(FromBytes(CExportColumns::Title(entry.index)), m_columns);
        item->setData(kRoleColumn, entry.index);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
    }
    m_columns->setCurrentRow(0);
}

void CExportPage4_Fields::Move(int delta) {
    const int row = m_columns->currentRow();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= m_columns->count())
        return;
    QListWidgetItem* item = m_columns->takeItem(row);
    m_columns->insertItem(target, item);
    m_columns->setCurrentRow(target);
}

bool CExportPage4_Fields::validatePage() {
    std::vector<CExportColumns::ENTRY> entries;
    for (int i = 0; i < m_columns->count(); ++i) {
        const QListWidgetItem* item = m_columns->item(i);
        entries.push_back({item->data(kRoleColumn).toInt(), item->checkState() == Qt::Checked});
    }
    CTresorixSettings& s = m_wizard.Settings();
    s.Export_ExportColumns = CExportColumns::Format(entries);
    s.Export_ColumnsSortBy = m_sort->currentIndex();
    const std::vector<int> columns = CExportColumns::CheckedColumns(entries);
    if (columns.empty()) {
        ExportBox(kIdsNoColumn);
        return false;
    }
    if (CReportOutput* output = m_wizard.Export().GetOutput())
        output->SetColumns(columns, CExportColumns::TitleId(s.Export_ColumnsSortBy));
    return true;
}

int CExportPage4_Fields::nextId() const {
    return CExportWizard::kFilename;
}

CExportPage5_Filename::CExportPage5_Filename(CExportWizard& wizard)
    : m_wizard(wizard), m_path(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("Browse"), this)),
      m_open(new QCheckBox(QStringLiteral("&Open exported file in the associated application"),
                           this)) {
    setTitle(QStringLiteral("Step 5 of 5 - Choose Filename"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_path, 1);
    row->addWidget(m_browse);
    layout->addLayout(row);
    layout->addWidget(m_open);
    layout->addStretch();
    connect(m_browse, &QPushButton::clicked, this, &CExportPage5_Filename::Browse);
}

void CExportPage5_Filename::initializePage() {
    const CTresorixSettings& s = m_wizard.Settings();
    m_path->setText(FromBytes(s.Export_Filename));
    m_open->setChecked(s.Export_OpenFile);
}

void CExportPage5_Filename::Browse() {
    QString filters;
    QString suffix;
    switch (m_wizard.Export().GetType()) {
    case CTxExport::kHtml:
        filters = Text(kIdsHtmlFilter);
        suffix = QStringLiteral("htm");
        break;
    case CTxExport::kXml:
        filters = Text(kIdsXmlFilter);
        suffix = QStringLiteral("xml");
        break;
    case CTxExport::kTrx:
        filters = QString::fromLatin1(kTrxFilter);
        suffix = QStringLiteral("tpx");
        break;
    default:
        filters = Text(kIdsCsvFilter);
        suffix = QStringLiteral("csv");
        break;
    }
    const QString path = m_wizard.SaveDialog()(
        this, QStringLiteral("Save As:"), FileDialogFilters(filters).join(QStringLiteral(";;")),
        suffix, m_path->text());
    if (!path.isEmpty())
        m_path->setText(path);
}

bool CExportPage5_Filename::validatePage() {
    CTresorixSettings& s = m_wizard.Settings();
    s.Export_Filename = ToBytes(m_path->text());
    s.Export_OpenFile = m_open->isChecked();
    if (s.Export_Filename.empty()) {
        ExportBox(kIdsNoFileName);
        return false;
    }
    m_wizard.Export().SetFileName(s.Export_Filename);
    return true;
}

int CExportPage5_Filename::nextId() const {
    return CExportWizard::kFinish;
}

CExportPage6_Finish::CExportPage6_Finish(CExportWizard& wizard)
    : m_wizard(wizard), m_state(new QLabel(this)), m_text(new QLabel(this)) {
    setTitle(QStringLiteral("Wizard Completed"));
    setFinalPage(true);
    QFont bold = m_state->font();
    bold.setBold(true);
    m_state->setFont(bold);
    m_text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(m_text);
    layout->addStretch();
}

void CExportPage6_Finish::initializePage() {
    {
        CProgressDlg progress(m_wizard.windowTitle(), Tr(pids::kExporting), true, &m_wizard);
        progress.Begin();
        if (CReportOutput* output = m_wizard.Export().GetOutput())
            output->ReadSettings(m_wizard.Settings());
        m_succeeded = m_wizard.Export().Run(progress.Callback());
        progress.End();
    }
    if (!m_succeeded && m_wizard.Export().WasCancelled()) {
        // Nothing was written and nothing went wrong: back to the file name, to run it again
        // or leave. Queued, since the wizard is still entering this page.
        m_state->clear();
        m_text->clear();
        QMetaObject::invokeMethod(
            &m_wizard,
            [wizard = &m_wizard] {
                if (wizard->currentId() == CExportWizard::kFinish)
                    wizard->back();
            },
            Qt::QueuedConnection);
        emit completeChanged();
        return;
    }
    if (m_succeeded) {
        m_state->setText(Text(kIdsSuccess));
        m_state->setStyleSheet(QStringLiteral("color: green;"));
        m_text->setText(Text(kIdsFinished));
        m_wizard.setOption(QWizard::NoBackButtonOnLastPage, true);
        m_wizard.setOption(QWizard::NoCancelButtonOnLastPage, true);
        if (m_wizard.Settings().Export_OpenFile)
            Shell().OpenDocument(m_wizard.Export().GetFileName());
    } else {
        m_state->setText(Text(kIdsErrorState));
        m_state->setStyleSheet(QStringLiteral("color: red;"));
        m_text->setText(Text(kIdsExportError));
    }
    emit completeChanged();
}
