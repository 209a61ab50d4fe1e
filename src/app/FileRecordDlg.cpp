#include "app/FileRecordDlg.h"

#include "app/AddFile.h"
#include "app/AppStrings.h"
#include "app/FileEditPanel.h"
#include "app/FileProgress.h"
#include "app/FileStrings.h"
#include "app/ProgressDlg.h"
#include "model/Factory.h"
#include "model/FileItem.h"
#include "model/FileParts.h"
#include "model/Interfaces.h"
#include "model/TransactionScope.h"
#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/qt/WaitCursor.h"
#include "storage/SQLiteException.h"
#include "ui/FileDialogFilters.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace {

// The name a new node carries until the same save gives it the dialog's name.
constexpr char kTemporaryName[] = "File";

// The extension as the record keeps it: from the last dot of the file name, dot included.
std::string ExtensionOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

CFileRecordDlg::CFileRecordDlg(CTxDoc& doc, int id, int parent, QWidget* parentWidget)
    : QDialog(parentWidget), m_doc(doc), m_panel(new CFileEditPanel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      m_id(id), m_parent(parent), m_new(id == 0) {
    setObjectName(QStringLiteral("FileRecordDlg"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel, 1);
    layout->addWidget(m_buttons);
    resize(520, 460);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CFileRecordDlg::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CFileRecordDlg::reject);
    connect(m_panel, &CEditPanel::CloseRequested, this, &CFileRecordDlg::reject);
    connect(m_panel, &CEditPanel::Modified, this, [this] {
        UpdateTitle();
        UpdateButtons();
    });
    connect(m_panel->BrowseButton(), &QPushButton::clicked, this, [this] { ChangeFile(); });
    connect(m_panel->SaveToDiskButton(), &QPushButton::clicked, this, [this] { SaveFileOnDisk(); });
    connect(m_panel->OpenButton(), &QPushButton::clicked, this, [this] { OpenFile(); });
    m_panel->InstallKeyHandling();
    Load();
    Register();
}

CFileRecordDlg::~CFileRecordDlg() {
    QObject::disconnect(m_panel, nullptr, this, nullptr);
    m_doc.GetWindowManager().Remove(this);
}

void CFileRecordDlg::Register() {
    CWindowManager& windows = m_doc.GetWindowManager();
    windows.Remove(this);
    windows.Add(m_id, this);
}

void CFileRecordDlg::Load() {
    TComPtr<ICommonProperties> record;
    if (!m_new) {
        record = m_doc.GetRecord(m_id);
        if (TComPtr<ITreeItem> node = m_doc.GetNode(m_id))
            m_parent = node->GetParentID();
    }
    m_panel->Load(record.Get(), CFileItem::kDefaultImage);
    UpdateTitle();
    UpdateButtons();
}

void CFileRecordDlg::UpdateTitle() {
    std::string name = m_panel->Name();
    if (name.empty())
        name = LoadString(fids::kUntitled);
    setWindowTitle(FromBytes(FormatString(LoadString(fids::kTitle), name)));
}

void CFileRecordDlg::UpdateButtons() {
    // Only bytes already in the data file can be written out or opened.
    const bool stored = !m_new && !m_fileChanged;
    m_panel->SaveToDiskButton()->setEnabled(stored);
    m_panel->OpenButton()->setEnabled(stored);
}

QPushButton* CFileRecordDlg::OkButton() const {
    return m_buttons->button(QDialogButtonBox::Ok);
}

QPushButton* CFileRecordDlg::CancelButton() const {
    return m_buttons->button(QDialogButtonBox::Cancel);
}

void CFileRecordDlg::SetChosenFile(const std::string& path) {
    m_chosenPath = path;
    m_fileChanged = true;
    const std::string fileName = FileNameOf(path);
    m_panel->SetFileName(fileName);
    m_panel->SetExtension(ExtensionOf(fileName));
    if (m_panel->Name().empty())
        m_panel->NameBox()->setText(FromBytes(fileName));
    UpdateTitle();
    UpdateButtons();
}

bool CFileRecordDlg::IsModified() const {
    return m_fileChanged || m_panel->IsModified();
}

bool CFileRecordDlg::Save() {
    CKivDatabase* db = m_doc.IsAuthorised() ? m_doc.GetDatabase() : nullptr;
    TComPtr<ITresorix> tresorix = m_doc.GetTresorix();
    if (!db || !tresorix)
        return false;
    CWaitCursor wait;
    QScopedValueRollback<bool> busy(m_busy, true);
    int id = m_id;
    bool saved = false;
    try {
        // The new node, the record and the file's parts land together or not at all.
        CTransactionScope transaction(*db);
        if (m_new)
            id = m_doc.CreateNewObject(CLSID_FileItem, m_parent, kTemporaryName);
        TComPtr<ITreeItem> node = id ? MakeTreeItem(tresorix.Get(), id) : TComPtr<ITreeItem>();
        TComPtr<ICommonProperties> record =
            node ? GetCommonProperties(node->GetData()) : TComPtr<ICommonProperties>();
        TComPtr<IFileProperties> file = record.As<IFileProperties>();
        if (file && m_panel->Store(record.Get())) {
            bool stored = true;
            if (m_fileChanged) {
                file->SetExtension(ExtensionOf(FileNameOf(m_chosenPath)));
                stored = CFileParts::StoreFile(m_chosenPath, id, *db, tresorix->GetPassword(),
                                               MakeFileProgress(CFileParts::kStoring, this));
            }
            if (stored) {
                saved = node->SetData(record.Get()) && transaction.Commit();
            }
        }
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        saved = false;
    }
    if (!saved) {
        // The cache may hold the dialog's values, or a node that was rolled back.
        if (id)
            tresorix->RemoveCachedItem(id);
        return false;
    }
    const bool added = m_new;
    m_id = id;
    m_new = false;
    m_fileChanged = false;
    m_chosenPath.clear();
    m_panel->ClearModified();
    Register();
    UpdateTitle();
    UpdateButtons();
    m_doc.UpdateAllViews(nullptr, added ? CTxDoc::kHintFileAdded : CTxDoc::kHintRecordsChanged);
    return true;
}

bool CFileRecordDlg::ChangeFile() {
    const std::string path = ChooseFileToAdd(this);
    if (path.empty())
        return false;
    SetChosenFile(path);
    return true;
}

bool CFileRecordDlg::SaveFileOnDisk() {
    TComPtr<ITresorix> tresorix = m_doc.GetTresorix();
    TComPtr<IFileProperties> file = m_doc.GetRecord(m_id).As<IFileProperties>();
    if (m_new || m_fileChanged || !m_doc.IsAuthorised() || !tresorix || !file)
        return false;
    const QString fileName = FromBytes(file->GetFileName());
    QString suffix = FromBytes(file->GetExtension());
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    QFileDialog dialog(this, Tr(fids::kSaveFileOnDisk), QDir::home().filePath(fileName));
    dialog.setObjectName(QStringLiteral("SaveFileOnDiskDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing is asked below, through the program's own message box.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(FileDialogFilters(LoadString(fids::kSaveFileFilter)));
    if (!suffix.isEmpty())
        dialog.setDefaultSuffix(suffix);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString target = dialog.selectedFiles().front();
    if (QFileInfo::exists(target) &&
        KivMessageBox(FormatString(LoadString(fids::kReplaceFile), ToBytes(target)),
                      MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return false;
    CWaitCursor wait;
    QScopedValueRollback<bool> busy(m_busy, true);
    return CFileParts::SaveFileTo(QFile::encodeName(target).toStdString(), m_id, tresorix.Get(),
                                  MakeFileProgress(CFileParts::kSaving, this));
}

bool CFileRecordDlg::OpenFile() {
    if (m_new || m_fileChanged)
        return false;
    QScopedValueRollback<bool> busy(m_busy, true);
    return m_doc.OpenFileItem(m_id);
}

void CFileRecordDlg::accept() {
    if (Save())
        QDialog::accept();
}

void CFileRecordDlg::reject() {
    if (m_closing)
        return;
    if (IsModified()) {
        switch (KivMessageBox(LoadString(fids::kDataChanged), MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            if (Save())
                QDialog::accept();
            return;
        case IDNO:
            break;
        default:
            return;
        }
    }
    QDialog::reject();
}

bool CFileRecordDlg::QueryClose() {
    return !IsModified();
}

void CFileRecordDlg::Close() {
    m_closing = true;
    m_doc.GetWindowManager().Remove(this);
    QDialog::done(QDialog::Rejected);
}

void CFileRecordDlg::Activate() {
    raise();
    activateWindow();
}

void CFileRecordDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Coming back from the application that has an opened copy is when it may have changed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_closing && !m_busy &&
        !CProgressDlg::IsAnyActive())
        m_doc.CheckWatches();
}
