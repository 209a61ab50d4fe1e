#include "app/CsvImportWizardPages.h"

#include "app/CsvImportWizard.h"
#include "app/ProgressDlg.h"
#include "app/ProgressStrings.h"
#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "ui/FileDialogFilters.h"
#include "ui/TextBytes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr unsigned kIdsOpenFilter = 62245;
constexpr unsigned kIdsOpenTitle = 62246;
constexpr unsigned kIdsBrowse = 62232;
constexpr int kRootId = 1;
constexpr int kColumnWidths[CCsvImport::kTargetCount] = {120, 50, 50, 50, 50, 100};

QString Text(unsigned id) {
    return FromBytes(LoadString(id));
}

} // namespace

CImportCsvPageWelcome::CImportCsvPageWelcome(QWidget* parent) : QWizardPage(parent) {
    setTitle(QStringLiteral("Welcome to the Password Importing Wizard"));
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(QStringLiteral("This wizard serves for importing passwords only. It will "
                                  "not allow you to import files or credit cards."),
                   this);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addStretch();
}

CImportCsvPageFile::CImportCsvPageFile(CCsvImportWizard& wizard)
    : m_wizard(wizard),
      m_clipboard(new QRadioButton(QStringLiteral("Get data from Windows &clipboard"), this)),
      m_fileChoice(new QRadioButton(QStringLiteral("Get data from file"), this)),
      m_path(new QLineEdit(this)), m_browse(new QPushButton(QStringLiteral("Browse"), this)),
      m_header(new QCheckBox(QStringLiteral("First row contains the column headers."), this)),
      m_quotes(new QCheckBox(
          QStringLiteral("Values are surrounded by quotes (\"Name\", \"Login\"..."), this)),
      m_separator(new QLineEdit(this)) {
    setTitle(QStringLiteral("Step 1 of 4 - Select File"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_clipboard);
    group->addButton(m_fileChoice);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_clipboard);
    layout->addWidget(m_fileChoice);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);
    layout->addLayout(pathRow);
    layout->addWidget(m_header);
    layout->addWidget(m_quotes);
    auto* separatorRow = new QHBoxLayout;
    separatorRow->addWidget(new QLabel(QStringLiteral("Fields are separated by"), this));
    m_separator->setMaximumWidth(40);
    separatorRow->addWidget(m_separator);
    separatorRow->addStretch();
    layout->addLayout(separatorRow);
    layout->addStretch();

    connect(m_fileChoice, &QRadioButton::toggled, this, [this](bool on) {
        m_browse->setEnabled(on);
        m_path->setEnabled(on);
    });
    connect(m_browse, &QPushButton::clicked, this, &CImportCsvPageFile::Browse);
    connect(m_separator, &QLineEdit::textChanged, this, [this](const QString& typed) {
        const QString kept =
            FromBytes(CsvImportPages::FilterSeparator(ToBytes(m_lastSeparator), ToBytes(typed)));
        if (kept != typed) {
            m_separator->setText(kept);
            return;
        }
        m_lastSeparator = kept;
    });
}

void CImportCsvPageFile::initializePage() {
    const CsvImportPages::FILE_PAGE page = CsvImportPages::MakeFilePage(m_wizard.Settings());
    m_fileChoice->setChecked(true);
    m_browse->setEnabled(true);
    m_path->setEnabled(true);
    m_path->setText(FromBytes(page.path));
    m_header->setChecked(page.firstRowIsHeader);
    m_quotes->setChecked(page.stripQuotes);
    m_lastSeparator = FromBytes(page.separator);
    m_separator->setText(m_lastSeparator);
}

void CImportCsvPageFile::Browse() {
    const QString path = m_wizard.OpenDialog()(
        this, Text(kIdsOpenTitle),
        FileDialogFilters(Text(kIdsOpenFilter)).join(QStringLiteral(";;")), m_path->text());
    if (path.isEmpty())
        return;
    CsvImportPages::FILE_PAGE page;
    CsvImportPages::OnFileChosen(page, m_wizard.Settings(), ToBytes(path));
    m_path->setText(FromBytes(page.path));
}

bool CImportCsvPageFile::validatePage() {
    CsvImportPages::FILE_PAGE page;
    page.fromClipboard = m_clipboard->isChecked();
    page.path = ToBytes(m_path->text());
    page.separator = ToBytes(m_separator->text());
    page.firstRowIsHeader = m_header->isChecked();
    page.stripQuotes = m_quotes->isChecked();
    const bool ok = CsvImportPages::OnFilePageNext(m_wizard.Import(), page, m_wizard.Settings());
    m_lastSeparator = FromBytes(page.separator);
    m_separator->setText(m_lastSeparator);
    return ok;
}

CImportCsvPageFields::CImportCsvPageFields(CCsvImportWizard& wizard) : m_wizard(wizard) {
    setTitle(QStringLiteral("Step 2 of 4 - Select Fields"));
    auto* grid = new QGridLayout(this);
    for (int k = 0; k < CCsvImport::kTargetCount; ++k) {
        m_boxes[k] = new QCheckBox(Text(CCsvImport::kTargetLabels[k]), this);
        m_lists[k] = new QComboBox(this);
        m_lists[k]->setEnabled(false);
        grid->addWidget(m_boxes[k], k, 0);
        grid->addWidget(new QLabel(QStringLiteral("="), this), k, 1);
        grid->addWidget(m_lists[k], k, 2);
        QComboBox* list = m_lists[k];
        connect(m_boxes[k], &QCheckBox::toggled, list, &QComboBox::setEnabled);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(CCsvImport::kTargetCount, 1);
}

void CImportCsvPageFields::initializePage() {
    CsvImportPages::FIELDS_PAGE page;
    for (int k = 0; k < CCsvImport::kTargetCount; ++k)
        page.checked[k] = m_boxes[k]->isChecked();
    m_sourceOk = CsvImportPages::OnFieldsPageEnter(m_wizard.Import(), page);
    for (int k = 0; k < CCsvImport::kTargetCount; ++k) {
        m_lists[k]->clear();
        for (const std::string& entry : page.entries)
            m_lists[k]->addItem(FromBytes(entry));
        if (m_sourceOk) {
            m_lists[k]->setCurrentIndex(page.selected[k]);
            m_boxes[k]->setChecked(page.checked[k]);
        }
        m_lists[k]->setEnabled(m_boxes[k]->isChecked());
    }
    emit completeChanged();
}

bool CImportCsvPageFields::validatePage() {
    CsvImportPages::FIELDS_PAGE page;
    for (int k = 0; k < CCsvImport::kTargetCount; ++k) {
        page.checked[k] = m_boxes[k]->isChecked();
        page.selected[k] = m_lists[k]->currentIndex();
    }
    return CsvImportPages::OnFieldsPageNext(m_wizard.Import(), page);
}

void CImportCsvPageFields::cleanupPage() {
    m_sourceOk = true;
    CsvImportPages::OnFieldsPageBack(m_wizard.Import());
}

CImportCsvPageValues::CImportCsvPageValues(CCsvImportWizard& wizard)
    : m_wizard(wizard), m_list(new QTreeWidget(this)),
      m_selectAll(new QPushButton(QStringLiteral("Select &All"), this)),
      m_deselectAll(new QPushButton(QStringLiteral("&Deselect All"), this)),
      m_invert(new QPushButton(QStringLiteral("Invert Selection"), this)) {
    setTitle(QStringLiteral("Step 3 of 4 - Select Values to Import"));
    QStringList headers;
    for (unsigned id : CCsvImport::kTargetLabels)
        headers << Text(id);
    m_list->setHeaderLabels(headers);
    m_list->setRootIsDecorated(false);
    for (int k = 0; k < CCsvImport::kTargetCount; ++k)
        m_list->setColumnWidth(k, kColumnWidths[k]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_selectAll);
    buttons->addWidget(m_deselectAll);
    buttons->addWidget(m_invert);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_selectAll, &QPushButton::clicked, this, [this] { SetChecks(1); });
    connect(m_deselectAll, &QPushButton::clicked, this, [this] { SetChecks(0); });
    connect(m_invert, &QPushButton::clicked, this, [this] { SetChecks(-1); });
}

void CImportCsvPageValues::SetChecks(int mode) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        const bool on = mode < 0 ? item->checkState(0) != Qt::Checked : mode == 1;
        item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
}

void CImportCsvPageValues::initializePage() {
    m_list->clear();
    const QColor warning(kWarningRed, kWarningGreen, kWarningBlue);
    for (const CsvImportPages::VALUE_LINE& line :
         CsvImportPages::OnValuesPageEnter(m_wizard.Import())) {
        QStringList texts;
        for (const std::string& value : line.values)
            texts << FromBytes(value);
        auto* item = new QTreeWidgetItem(m_list, texts);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, line.checked ? Qt::Checked : Qt::Unchecked);
        if (line.warning)
            for (int k = 0; k < CCsvImport::kTargetCount; ++k)
                item->setBackground(k, warning);
    }
}

bool CImportCsvPageValues::validatePage() {
    std::vector<bool> checks;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        checks.push_back(m_list->topLevelItem(i)->checkState(0) == Qt::Checked);
    return CsvImportPages::OnValuesPageNext(m_wizard.Import(), checks);
}

CImportCsvSelectFolder::CImportCsvSelectFolder(CCsvImportWizard& wizard)
    : m_wizard(wizard), m_list(new QComboBox(this)) {
    setTitle(QStringLiteral("Step 4 of 4 - Select Folder to Import To"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addStretch();
    connect(m_list, &QComboBox::activated, this, &CImportCsvSelectFolder::OnActivated);
}

int CImportCsvSelectFolder::IndexOf(int id) const {
    return m_list->findData(id);
}

void CImportCsvSelectFolder::AddFolder(int id) {
    if (id <= 0 || IndexOf(id) >= 0)
        return;
    TComPtr<ICommonProperties> record = m_wizard.Document().GetRecord(id);
    if (!record || !record->IsFolder())
        return;
    m_list->addItem(ImageList().Icon(record->GetImage()), FromBytes(record->GetName()), id);
}

void CImportCsvSelectFolder::Refresh(int select) {
    std::vector<int> listed;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->itemData(i).toInt() > 0)
            listed.push_back(m_list->itemData(i).toInt());
    m_list->clear();
    AddFolder(kRootId);
    m_list->addItem(Text(kIdsBrowse), kBrowseEntry);
    // Folders that have gone since they were listed are dropped here.
    for (int id : listed)
        AddFolder(id);
    AddFolder(select);
    const int index = IndexOf(select);
    m_list->setCurrentIndex(index >= 0 ? index : 0);
    m_previous = m_list->currentIndex();
}

void CImportCsvSelectFolder::initializePage() {
    Refresh(m_wizard.Import().GetTargetFolder());
}

void CImportCsvSelectFolder::OnActivated(int index) {
    if (m_list->itemData(index).toInt() != kBrowseEntry) {
        m_previous = index;
        return;
    }
    const int current = m_list->itemData(m_previous).toInt();
    const int chosen = m_wizard.FolderPicker()(m_wizard.Document(), current, this);
    if (chosen > 0) {
        Refresh(chosen);
        return;
    }
    m_list->setCurrentIndex(0);
    m_previous = 0;
}

int CImportCsvSelectFolder::SelectedFolder() const {
    const int id = m_list->currentData().toInt();
    return id > 0 ? id : 0;
}

bool CImportCsvSelectFolder::validatePage() {
    const int id = SelectedFolder();
    if (id <= 0)
        return false;
    m_wizard.Import().SetTargetFolder(id);
    return true;
}

CImportCsvPageFinish::CImportCsvPageFinish(CCsvImportWizard& wizard)
    : m_wizard(wizard), m_text(new QLabel(this)) {
    setTitle(QStringLiteral("Wizard completed"));
    setFinalPage(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addStretch();
}

void CImportCsvPageFinish::initializePage() {
    // Cancelling rolls the import back: the page then reports that nothing was imported.
    CProgressDlg progress(m_wizard.windowTitle(), Tr(pids::kImporting), true, &m_wizard);
    struct PROGRESS_SCOPE {
        CCsvImport& import;
        ~PROGRESS_SCOPE() { import.SetCommitProgress({}); }
    } scope{m_wizard.Import()};
    progress.Begin();
    m_wizard.Import().SetCommitProgress(progress.Callback());
    const CsvImportPages::FINISH_PAGE page = CsvImportPages::OnFinishPageEnter(m_wizard.Import());
    progress.End();
    m_committed = true;
    m_count = page.count;
    m_text->setText(FromBytes(page.text));
    m_wizard.setButtonText(QWizard::FinishButton, FromBytes(page.finishCaption));
    // The records are stored: there is no way back and nothing to cancel.
    m_wizard.setOption(QWizard::NoBackButtonOnLastPage, true);
    m_wizard.setOption(QWizard::NoCancelButtonOnLastPage, true);
}
