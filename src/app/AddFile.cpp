#include "app/AddFile.h"

#include "app/AppStrings.h"
#include "app/FileRecordDlg.h"
#include "app/FileStrings.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "ui/FileDialogFilters.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// The 1-based number of the chosen filter. With details hidden the dialog may name it by its
// label alone.
int FilterNumber(const QStringList& filters, const QString& selected, int fallback) {
    for (qsizetype i = 0; i < filters.size(); ++i)
        if (filters[i] == selected || filters[i].startsWith(selected + QStringLiteral(" (")))
            return static_cast<int>(i) + 1;
    return fallback;
}

} // namespace

std::string ChooseFileToAdd(QWidget* parent) {
    CTresorixSettings& settings = TresorixSettings();
    QString start = QFile::decodeName(settings.Files_LastSelectedFolderAddFile.c_str());
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QDir::homePath();
    const QStringList filters = FileDialogFilters(LoadString(fids::kAddFileFilter));
    QFileDialog dialog(parent, Tr(fids::kSelectFileTitle), start);
    dialog.setObjectName(QStringLiteral("AddFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    int index = settings.Files_LastSelectedFilterAddFile;
    if (index < 1 || index > filters.size())
        index = 1;
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters[index - 1]);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    settings.Files_LastSelectedFolderAddFile =
        QFile::encodeName(QFileInfo(path).absolutePath()).toStdString();
    settings.Files_LastSelectedFilterAddFile =
        FilterNumber(filters, dialog.selectedNameFilter(), index);
    return QFile::encodeName(path).toStdString();
}

int RunAddFile(CTxDoc& doc, int folder, QWidget* parent) {
    if (!doc.IsAuthorised() || folder <= 0)
        return 0;
    doc.CheckWatches();
    const std::string path = ChooseFileToAdd(parent);
    // The session may have ended while the dialog was open.
    if (path.empty() || !doc.IsAuthorised())
        return 0;
    CFileRecordDlg dialog(doc, 0, folder, parent);
    dialog.SetChosenFile(path);
    RunModal(dialog);
    return dialog.IsNew() ? 0 : dialog.GetItemId();
}

void RunFileRecordDialog(CTxDoc& doc, int id, QWidget* parent) {
    if (!doc.IsAuthorised() || id <= 0)
        return;
    CFileRecordDlg dialog(doc, id, 0, parent);
    RunModal(dialog);
}
