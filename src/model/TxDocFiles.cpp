#include "model/TxDoc.h"

#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/Interfaces.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"

#include <sys/stat.h>

namespace {

constexpr unsigned kIdCannotExecute = 62700;
constexpr unsigned kIdAlreadyExists = 62702;

} // namespace

bool CTxDoc::OpenFileItem(int id) {
    if (!m_authorised)
        return false;
    TComPtr<ITreeItem> node = GetNode(id);
    TComPtr<IFileProperties> file = node ? GetFileProperties(node->GetData()) : nullptr;
    if (!file)
        return false;
    int error = 0;
    if (!m_tempFolder.Prepare(error)) {
        KivMessageBox(FormatString(LoadString(kIdCannotExecute), std::to_string(error)),
                      MB_OK | MB_ICONSTOP);
        return false;
    }
    const std::string path = m_tempFolder.PathFor(file->GetFileName(), file->GetExtension());
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 &&
        KivMessageBox(FormatString(LoadString(kIdAlreadyExists), path),
                      MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return false;
    // Two records with the same file name share the copy's path: the copy now holds this
    // record's bytes, so its changes must go to this record and no other.
    m_fileWatcher.RemoveWatch(path);
    if (!CFileParts::SaveFileTo(path, id, m_tresorix.Get()))
        return false;
    m_fileWatcher.AddWatch(path, id);
    return Shell().OpenDocument(path);
}
