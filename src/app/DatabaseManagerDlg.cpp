#include "app/DatabaseManagerDlg.h"

#include "app/ChangePaswordDlg.h"
#include "app/ProgressDlg.h"
#include "app/ProgressStrings.h"
#include "app/WiringStrings.h"
#include "model/Interfaces.h"
#include "model/TransactionScope.h"
#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "storage/Compaction.h"
#include "ui/FileDialogFilters.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr unsigned kIdNotLoggedIn = 61333;

} // namespace

CDatabaseManagerDlg::CDatabaseManagerDlg(CTxDoc& doc, const std::string& path, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_path(path) {
    setObjectName(QStringLiteral("DatabaseManagerDlg"));
    setWindowTitle(Tr(wids::kManagerTitle));
    auto* file = new QLineEdit(FromBytes(path));
    file->setReadOnly(true);
    auto button = [](unsigned text, const char* name) {
        auto* b = new QPushButton(Tr(text));
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    QPushButton* change = button(wids::kChangePassword, "ChangePassword");
    QPushButton* compress = button(wids::kCompress, "Compress");
    QPushButton* locate = button(wids::kLocate, "Locate");
    QPushButton* create = button(wids::kCreateNew, "CreateNew");
    QPushButton* open = button(wids::kOpenExisting, "OpenExisting");
    QPushButton* close = button(wids::kClose, "Close");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(Tr(wids::kCurrentFile)), 0, 0, 1, 2);
    grid->addWidget(file, 1, 0, 1, 2);
    grid->addWidget(change, 2, 0);
    grid->addWidget(compress, 2, 1);
    grid->addWidget(locate, 3, 0);
    grid->addWidget(create, 3, 1);
    grid->addWidget(open, 4, 0);
    grid->addWidget(close, 4, 1);
    connect(change, &QPushButton::clicked, this, &CDatabaseManagerDlg::OnChangePassword);
    connect(compress, &QPushButton::clicked, this, &CDatabaseManagerDlg::OnCompress);
    connect(locate, &QPushButton::clicked, this, &CDatabaseManagerDlg::OnLocate);
    connect(create, &QPushButton::clicked, this, [this] { done(kCreate); });
    connect(open, &QPushButton::clicked, this, &CDatabaseManagerDlg::OnOpenExisting);
    connect(close, &QPushButton::clicked, this, [this] { done(kNothing); });
}

void CDatabaseManagerDlg::OnChangePassword() {
    // The current password is checked against the open file's key.
    if (!m_doc.IsAuthorised()) {
        TxInfoBox(kIdNotLoggedIn);
        return;
    }
    // CanClose tells the user itself what is still open.
    if (!m_doc.CanClose())
        return;
    CChangePaswordDlg dialog(m_doc, this);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    m_result = dialog.ChangedPath();
    done(kPasswordChanged);
}

void CDatabaseManagerDlg::OnCompress() {
    CKivDatabase* db = m_doc.IsAuthorised() ? m_doc.GetDatabase() : nullptr;
    TComPtr<ITresorix> tresorix = m_doc.GetTresorix();
    const std::string path = db && tresorix ? tresorix->GetFileName() : std::string();
    // Closing the connection would end an open transaction: that is the engine's refusal.
    if (db && CTransactionScope::IsActive(*db)) {
        CompactDataFile(db);
        return;
    }
    CProgressDlg progress(windowTitle(), Tr(pids::kCompacting), false, this);
    // The worker tells its progress through the event loop; widgets belong to this thread.
    const PROGRESS_CALLBACK report = [&progress](std::uint64_t done, std::uint64_t total) {
        QMetaObject::invokeMethod(
            &progress,
            [&progress, done, total] {
                progress.SetRange(total);
                progress.SetPos(done);
            },
            Qt::QueuedConnection);
        return true;
    };
    const COMPACT_RESULT result = CompactOpenDataFile(
        db, path,
        [&](const std::function<void()>& work) {
            RunProgressWorker(progress, work);
            // Whatever ran meanwhile must not have closed the document and its connection.
            return m_doc.IsAuthorised() && m_doc.GetDatabase() == db;
        },
        report);
    if (!tresorix)
        return;
    if (result == COMPACT_RESULT::kNotReopened) {
        // Without its connection the document cannot go on. Editors with changes refuse the
        // logout; their save then fails with the engine's message and keeps their text.
        m_doc.Logout();
        return;
    }
    // The rebuilt file holds the same rows; the new write time must not count as a change.
    tresorix->ClearCache();
    tresorix->StampFileTime();
}

void CDatabaseManagerDlg::OnLocate() {
    LocateDataFile(m_doc.IsAuthorised() ? m_path : std::string());
}

void CDatabaseManagerDlg::OnOpenExisting() {
    QFileDialog dialog(this, Tr(wids::kOpenTitle));
    dialog.setObjectName(QStringLiteral("OpenDataFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(FileDialogFilters(Tr(wids::kFileFilter)));
    dialog.setDefaultSuffix(QStringLiteral("tpx"));
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenFile(ToBytes(dialog.selectedFiles().front()));
}

void CDatabaseManagerDlg::OpenFile(const std::string& path) {
    if (path.empty())
        return;
    m_result = path;
    done(kOpen);
}
