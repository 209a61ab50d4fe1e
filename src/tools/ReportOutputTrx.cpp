#include "tools/ReportOutputTrx.h"

#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/TempCopyFolder.h"
#include "model/TransactionScope.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"
#include "security/SecureZero.h"
#include "storage/CreatorFiles.h"
#include "storage/CreatorSQLite.h"
#include "storage/SQLiteException.h"
#include "tools/ExportDataSource.h"
#include "tools/TxExport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr unsigned kIdWriteError = 62408;
constexpr unsigned kIdContentsNotCopied = 62412;
constexpr char kTempPrefix[] = "trx10";

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A free name beside path for the file under construction.
std::string FreeNameBeside(const std::string& path) {
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::string temp = FolderOf(path) + "/." + name.substr(0, 200) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return {};
    ::close(fd);
    // The creator makes the file itself and refuses to replace one that exists.
    ::unlink(temp.c_str());
    return temp;
}

// An independent copy of a record, so that storing it leaves the source's cached one alone.
TComPtr<ICommonProperties> CloneRecord(ICommonProperties* record) {
    CMemFile stream;
    if (!record->Serialize(stream, true))
        return {};
    stream.SeekToBegin();
    TComPtr<ICommonProperties> copy;
    if (LoadItem(stream, copy) != S_OK)
        return {};
    return copy;
}

} // namespace

CReportOutputTrx::CReportOutputTrx() : m_tempBase(CTempCopyFolder::DefaultBase()) {}

CReportOutputTrx::~CReportOutputTrx() {
    CloseFile();
    SecureZero(m_keyText);
}

void CReportOutputTrx::SetCredentials(const std::string& userName, const std::string& keyText,
                                      const std::string& hint) {
    m_userName = userName;
    SecureZero(m_keyText);
    m_keyText = keyText;
    m_hint = hint;
    m_haveCredentials = true;
}

void CReportOutputTrx::ReportFailure(const std::string& reason) {
    KivMessageBox(FormatString(LoadString(kIdWriteError), m_targetPath, reason),
                  MB_OK | MB_ICONSTOP, ExportCaption());
}

bool CReportOutputTrx::OpenFile(const std::string& path) {
    CloseFile();
    m_copies.clear();
    m_targetPath = path;
    if (m_export && !m_haveCredentials) {
        SetCredentials(m_export->GetOptionString(CTxExport::kOptionUserName),
                       m_export->GetOptionString(CTxExport::kOptionKeyText),
                       m_export->GetOptionString(CTxExport::kOptionHint));
        m_haveCredentials = false;
    }
    struct stat info;
    if (path.empty() || path.back() == '/' ||
        (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)))
        return false;
    m_tempPath = FreeNameBeside(path);
    if (m_tempPath.empty())
        return false;

    CCreatorSQLite creator;
    creator.SetFileName(m_tempPath);
    creator.SetUserName(m_userName);
    creator.SetKey(m_keyText);
    creator.SetHint(m_hint);
    creator.SetCreateCategories(false);
    if (!creator.Create()) {
        RemoveTempDatabase(m_tempPath);
        m_tempPath.clear();
        return false;
    }
    m_target = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    if (!m_target || !m_target->Open(m_tempPath)) {
        CloseFile();
        return false;
    }
    m_target->SetUserName(m_userName);
    m_target->SetPassword(m_keyText);
    m_target->SetAuthorised(true);
    if (!m_target->IsAuthorised() || !m_target->GetDatabase()) {
        CloseFile();
        return false;
    }
    try {
        // One transaction for the whole copy: fast, and nothing is committed unless complete.
        m_transaction = std::make_unique<CTransactionScope>(*m_target->GetDatabase());
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        CloseFile();
        return false;
    }
    return true;
}

void CReportOutputTrx::CloseFile() {
    // The transaction ends before its connection goes.
    m_transaction.reset();
    if (m_target) {
        m_target->Close();
        m_target = nullptr;
    }
    if (!m_tempPath.empty()) {
        RemoveTempDatabase(m_tempPath);
        m_tempPath.clear();
    }
}

bool CReportOutputTrx::FinishFile(bool keep) {
    if (!m_target || !m_transaction)
        return false;
    if (!keep) {
        CloseFile();
        return false;
    }
    try {
        if (!m_transaction->Commit()) {
            CloseFile();
            return false;
        }
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        CloseFile();
        return false;
    }
    m_transaction.reset();
    m_target->Close();
    m_target = nullptr;
    std::string backup;
    std::string reason;
    if (!BackUpExisting(m_targetPath, &backup, &reason)) {
        ReportFailure(reason);
        CloseFile();
        return false;
    }
    if (!MoveFileNoReplace(m_tempPath, m_targetPath)) {
        ReportFailure(std::strerror(errno));
        CloseFile();
        return false;
    }
    RemoveTempDatabase(m_tempPath);
    m_tempPath.clear();
    return true;
}

int CReportOutputTrx::GetCopyId(int sourceId) const {
    auto found = m_copies.find(sourceId);
    return found == m_copies.end() ? 0 : found->second;
}

bool CReportOutputTrx::BeginReport(const REPORTINFO&) {
    return true;
}

bool CReportOutputTrx::EndReport(const REPORTINFO&) {
    return true;
}

bool CReportOutputTrx::BeginGroup(CExportGroup&) {
    return true;
}

bool CReportOutputTrx::EndGroup(CExportGroup&) {
    return true;
}

bool CReportOutputTrx::WriteGroup(CExportGroup& group) {
    if (!m_target)
        return false;
    for (int id : group.GetItems()) {
        if (!CopyItem(id, group.GetID()) || !ItemWritten())
            return false;
    }
    return true;
}

bool CReportOutputTrx::CopyItem(int sourceId, int groupId) {
    // The fixed folders exist in every new file already.
    if (sourceId == kRootFolderId || sourceId == kDeletedFolderId)
        return true;
    TComPtr<ICommonProperties> record = GetItemProperties(m_tresorix.Get(), sourceId);
    if (!record)
        return true;
    TComPtr<ICommonProperties> copy = CloneRecord(record.Get());
    if (!copy)
        return true;

    int parent = kRootFolderId;
    if (groupId == kRootFolderId || groupId == kDeletedFolderId)
        parent = groupId;
    else if (const int copied = GetCopyId(groupId))
        parent = copied;

    TComPtr<ITreeItem> node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, m_target.Get());
    if (!node || !node->Insert())
        return false;
    const int copyId = node->GetID();
    if (!node->SetData(copy.Get()))
        return false;
    if (parent > 0) {
        if (TComPtr<ITreeItem> parentNode = MakeTreeItem(m_target.Get(), parent))
            parentNode->AddChild(node.Get());
    }
    m_copies[sourceId] = copyId;

    CLSID clsid;
    copy->GetClassID(clsid);
    if (clsid == CLSID_FileItem) {
        TComPtr<IFileProperties> sourceFile = record.As<IFileProperties>();
        if (sourceFile)
            return CopyContents(sourceFile.Get(), sourceId, copy.Get(), copyId, record->GetName());
    }
    return true;
}

bool CReportOutputTrx::CopyContents(IFileProperties* source, int sourceId, ICommonProperties* copy,
                                    int copyId, const std::string& name) {
    TComPtr<IFileProperties> target = TComPtr<ICommonProperties>(copy).As<IFileProperties>();
    if (!target)
        return true;
    // A record without stored contents loses nothing when its copy cannot be made; one with
    // contents must not end up in a new file that silently lacks them (a full disk, say).
    auto nothingToLose = [&] {
        CKivDatabase* db = m_tresorix ? m_tresorix->GetDatabase() : nullptr;
        return db && CFileParts::CountParts(sourceId, *db) == 0;
    };
    CTempCopyFolder folder(m_tempBase);
    int error = 0;
    std::string temp;
    int fd = -1;
    if (folder.Prepare(error)) {
        temp = folder.GetPath() + "/" + kTempPrefix + "XXXXXX";
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
        error = fd < 0 ? errno : 0;
    }
    if (fd < 0) {
        KivMessageBox(FormatString(LoadString(kIdContentsNotCopied), name, std::strerror(error)),
                      MB_OK | MB_ICONEXCLAMATION, ExportCaption());
        return nothingToLose();
    }
    ::close(fd);
    bool copied = source->SaveFileTo(temp, sourceId, m_tresorix.Get());
    if (copied)
        copied = target->StoreFile(temp, copyId, m_target.Get());
    else
        copied = nothingToLose();
    ::unlink(temp.c_str());
    return copied;
}
