#include "model/TxDoc.h"

#include "model/DataFileCreator.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/ItemEditorOpener.h"
#include "model/PayloadCipher.h"
#include "model/TransactionScope.h"
#include "model/TxDocHost.h"
#include "platform/FileTime.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/Crc32.h"
#include "security/SecureZero.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <QString>

#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned kIdCloseAllItems = 61325;
constexpr unsigned kIdFolderNameMissing = 62708;
constexpr unsigned kIdCannotCreateObject = 62709;
constexpr unsigned kMbIconWarning = MB_ICONEXCLAMATION;

// The header payload keeps at least this many bytes before its seal.
constexpr std::size_t kHeaderBlockBytes = 16384;
constexpr int kHeaderZeroWords = 7;
constexpr int kHeaderRowId = 1;

ITxDocHost& HeadlessHost() {
    static ITxDocHost host;
    return host;
}

// Names are bytes: valid UTF-8 is compared as Unicode, anything else as 8-bit text.
QString NameText(const std::string& name) {
    QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (text.contains(QChar::ReplacementCharacter))
        text = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return text;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return NameText(a).compare(NameText(b), Qt::CaseInsensitive) == 0;
}

void WriteInt32(CMemFile& stream, std::int32_t value) {
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
    stream.Write(bytes, 4);
}

bool ReadInt32(CMemFile& stream, std::int32_t& value) {
    std::uint8_t bytes[4];
    if (stream.Read(bytes, 4) != 4)
        return false;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    value = static_cast<std::int32_t>(v);
    return true;
}

// Wipes a key text however the function that holds it ends.
class CWipeOnExit {
public:
    explicit CWipeOnExit(std::string& text) : m_text(text) {}
    ~CWipeOnExit() { SecureZero(m_text); }
    CWipeOnExit(const CWipeOnExit&) = delete;
    CWipeOnExit& operator=(const CWipeOnExit&) = delete;

private:
    std::string& m_text;
};

} // namespace

CTxDoc::CTxDoc() : m_host(&HeadlessHost()) {}

CTxDoc::~CTxDoc() {
    CloseContents();
}

void CTxDoc::SetHost(ITxDocHost* host) {
    m_host = host ? host : &HeadlessHost();
}

void CTxDoc::SetWindowManager(CWindowManager* manager) {
    m_windowManager = manager ? manager : &m_ownWindowManager;
}

CKivDatabase* CTxDoc::GetDatabase() const {
    return m_tresorix ? m_tresorix->GetDatabase() : nullptr;
}

TComPtr<ITreeItem> CTxDoc::GetNode(int id) const {
    if (!m_tresorix)
        return {};
    return MakeTreeItem(m_tresorix.Get(), id);
}

TComPtr<ICommonProperties> CTxDoc::GetRecord(int id) const {
    if (!m_tresorix)
        return {};
    return GetItemProperties(m_tresorix.Get(), id);
}

bool CTxDoc::OpenDataFile(const std::string& path) {
    CloseContents();
    TComPtr<ITresorix> tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    if (!tresorix || !tresorix->Open(path)) {
        if (tresorix)
            tresorix->Close();
        return false;
    }
    // Credentials are only carried into an open when NewDataFile has just made them for this
    // very file; anything else would open a file under another file's key.
    if (!m_presetCredentials)
        m_autorizator.Reset();
    m_presetCredentials = false;
    m_autorizator.SetFilename(path);
    std::string userName, keyText, fileName;
    CWipeOnExit wipe(keyText);
    if (m_autorizator.GetUsername(userName) < 0 || m_autorizator.GetKey(keyText) < 0) {
        tresorix->Close();
        return false;
    }
    m_autorizator.GetFilename(fileName);
    // The login dialog may have switched to another data file.
    if (!fileName.empty() && fileName != path && !tresorix->Open(fileName)) {
        tresorix->Close();
        return false;
    }
    tresorix->SetUserName(userName);
    tresorix->SetPassword(keyText);
    m_tresorix = tresorix;
    m_fileWatcher.SetTresorix(m_tresorix.Get());
    LoadFavorites();
    m_tresorix->SetAuthorised(true);
    m_authorised = true;
    Host().PostMainWindowMessage(ITxDocHost::kMsgDocumentOpened);
    return true;
}

bool CTxDoc::NewDataFile() {
    if (!m_creator)
        return false;
    std::string path, userName, keyText;
    CWipeOnExit wipe(keyText);
    if (!m_creator->CreateDataFile(path, userName, keyText))
        return false;
    if (!Logout())
        return false;
    m_autorizator.SetFilename(path);
    m_autorizator.SetUsername(userName);
    m_autorizator.SetKey(keyText);
    m_presetCredentials = true;
    bool opened = OpenDataFile(path);
    UpdateAllViews(nullptr, kHintLoginChanged);
    UpdateAllViews(nullptr, kHintReloadAll);
    return opened;
}

bool CTxDoc::CanClose() {
    if (CloseAllQuietly())
        return true;
    TxInfoBox(kIdCloseAllItems);
    return false;
}

bool CTxDoc::CloseAllQuietly() {
    return !m_authorised || (!m_fileWatcher.IsAnyChanged() && m_windowManager->CloseAll());
}

bool CTxDoc::WouldRefuseClose() {
    if (!m_authorised)
        return false;
    if (m_fileWatcher.IsAnyChanged())
        return true;
    for (const CWindowManager::ENTRY& entry : m_windowManager->GetEntries())
        if (!entry.second->QueryClose())
            return true;
    return false;
}

bool CTxDoc::Logout() {
    if (!CanClose())
        return false;
    if (!m_authorised)
        return true;
    Host().CloseExportWizard();
    std::string path = m_tresorix ? m_tresorix->GetFileName() : std::string();
    m_authorised = false;
    m_navigation.Push(0);
    UpdateAllViews(nullptr, kHintLoginChanged);
    CloseContents();
    m_autorizator.Reset();
    Host().PostMainWindowMessage(ITxDocHost::kMsgDocumentClosed);
    if (!path.empty())
        Host().OfferBackupReminder(path);
    return true;
}

void CTxDoc::CloseContents() {
    // Changes made to an opened copy meanwhile get their question before the copy goes.
    if (m_tresorix)
        m_fileWatcher.CheckWatches();
    m_fileWatcher.StopWatching();
    m_fileWatcher.SetTresorix(nullptr);
    if (m_tresorix) {
        if (m_tresorix->IsAuthorised())
            SaveFavorites();
        m_tresorix->Close();
        m_tresorix = nullptr;
    }
    m_navigation.Clear();
    m_favorites.Clear();
    m_selectedFavorite = 0;
    m_searchResults.clear();
    m_authorised = false;
}

int CTxDoc::CreateNewObject(const CLSID& clsid, int parent, const std::string& name) {
    CKivDatabase* db = GetDatabase();
    if (!db)
        return 0;
    try {
        CTransactionScope transaction(*db);
        TComPtr<ITreeItem> node = MakeTreeItem(m_tresorix.Get(), 0);
        TComPtr<ITreeItem> parentNode = MakeTreeItem(m_tresorix.Get(), parent);
        if (!node || !parentNode || !node->Insert())
            return 0;
        parentNode->AddChild(node.Get());
        // The tree reports its own failures; a node that did not land under parent is undone.
        if (node->GetParentID() != parent)
            return 0;
        TComPtr<ICommonProperties> record = CreateObjectAs<ICommonProperties>(clsid);
        if (!record)
            throw CSQLiteException(0, LoadString(kIdCannotCreateObject));
        record->SetName(name);
        record->SetCreated(CurrentFileTime());
        if (!node->SetData(record.Get()) || !transaction.Commit())
            return 0;
        return node->GetID();
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return 0;
}

int CTxDoc::NewFolder(int parent) {
    if (!m_authorised)
        return 0;
    std::string name;
    int chosen = parent;
    for (;;) {
        if (!Host().AskNewFolder(chosen, name))
            return 0;
        if (!name.empty())
            break;
        KivMessageBox(LoadString(kIdFolderNameMissing), MB_OK | kMbIconWarning);
    }
    return CreateNewObject(CLSID_Folder, chosen, name);
}

void CTxDoc::OpenItem(int id) {
    TComPtr<ICommonProperties> record = GetRecord(id);
    if (!record || record->IsFolder() || !m_editorOpener)
        return;
    CLSID clsid;
    record->GetClassID(clsid);
    if (clsid == CLSID_FileItem) {
        m_editorOpener->RunFileDialog(id);
        return;
    }
    if (!(clsid == CLSID_PasswordItem || clsid == CLSID_Note || clsid == CLSID_UrlItem ||
          clsid == CLSID_CreditCardItem))
        return;
    if (IEditorWindow* open = m_windowManager->Find(id)) {
        open->Activate();
        return;
    }
    if (IEditorWindow* editor = m_editorOpener->OpenEditor(id, clsid))
        m_windowManager->Add(id, editor);
}

void CTxDoc::MakeUniqueName(int id, int folder, std::string& name) {
    TComPtr<ITreeItem> parent = GetNode(folder);
    if (!parent)
        return;
    TComPtr<ITreeIterator> children = parent->GetIterator(ITreeItem::kChildren);
    if (!children)
        return;
    // Read the names once; the walk restarts from the first child after every clash.
    std::vector<std::string> names;
    for (TComPtr<ITreeItem> child = children->First(); child; child = children->Next()) {
        if (child->GetID() == id)
            continue;
        if (TComPtr<ICommonProperties> record = GetCommonProperties(child->GetData()))
            names.push_back(record->GetName());
    }
    const std::string base = name;
    std::string candidate = base;
    for (int n = 1;;) {
        bool clash = false;
        for (const std::string& other : names) {
            if (SameNameIgnoringCase(other, candidate)) {
                clash = true;
                break;
            }
        }
        if (!clash)
            break;
        ++n;
        candidate = base + " (" + std::to_string(n) + ")";
    }
    name = candidate;
}

void CTxDoc::ClearCache() {
    if (m_authorised && m_tresorix)
        m_tresorix->ClearCache();
}

void CTxDoc::Refresh() {
    if (!m_authorised)
        return;
    ClearCache();
    UpdateAllViews(nullptr, kHintReloadAll);
}

bool CTxDoc::SaveFavorites() {
    CKivDatabase* db = GetDatabase();
    if (!db)
        return false;
    try {
        CMemFile block;
        block.SetLength(kHeaderBlockBytes);
        block.SeekToBegin();
        const std::vector<int>& ids = m_favorites.GetEntries();
        WriteInt32(block, static_cast<std::int32_t>(ids.size()));
        for (int id : ids)
            WriteInt32(block, id);
        for (int i = 0; i < kHeaderZeroWords; ++i)
            WriteInt32(block, 0);
        block.SeekToBegin();
        std::int32_t seal = GetCRC32(block);
        block.SeekToEnd();
        WriteInt32(block, seal);
        std::string text = EncryptPayloadToText(block, m_tresorix->GetPassword());
        if (text.empty())
            return false;
        CSQLiteBuffer sql;
        db->Execute(sql.Format(tx::sql::kUpdateHeaderData, text.c_str()));
        m_tresorix->StampFileTime();
        return true;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    } catch (const CMemFileException&) {
    }
    return false;
}

bool CTxDoc::LoadFavorites() {
    CKivDatabase* db = GetDatabase();
    if (!db)
        return false;
    try {
        CSQLiteBuffer sql;
        CursorPtr cursor(db->Query(sql.Format(tx::sql::kSelectHeaderData, kHeaderRowId)));
        CRow* raw = nullptr;
        if (!cursor || cursor->Fetch(raw) != 0 || !raw)
            return false;
        RowPtr row(raw);
        FieldPtr field(row->GetField(0));
        BinaryPtr bytes(field ? field->AsBinary() : nullptr);
        if (!bytes)
            return false;
        CMemFile payload;
        if (!DecryptPayload(bytes->GetData(), static_cast<std::size_t>(bytes->GetLength()),
                            m_tresorix->GetPassword(), payload))
            return false;
        std::int32_t count = 0;
        if (!ReadInt32(payload, count))
            return false;
        for (std::int32_t i = 0; i < count; ++i) {
            std::int32_t id;
            if (!ReadInt32(payload, id))
                break;
            m_favorites.Add(id);
        }
        return true;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return false;
}

void CTxDoc::AddFavorites(const std::vector<int>& ids) {
    for (int id : ids)
        m_favorites.Add(id);
    UpdateAllViews(nullptr, kHintRecordsChanged);
}

void CTxDoc::Back() {
    int folder;
    if (m_navigation.Back(folder))
        UpdateAllViews(nullptr, kHintShowFolder, folder);
}

void CTxDoc::Forward() {
    int folder;
    if (m_navigation.Forward(folder))
        UpdateAllViews(nullptr, kHintShowFolder, folder);
}

int CTxDoc::GetCurrentFolder() const {
    int folder = 0;
    m_navigation.GetCurrent(folder);
    return folder;
}

void CTxDoc::SetSearchResults(std::vector<int> ids) {
    m_searchResults = std::move(ids);
    UpdateAllViews(nullptr, kHintSearchResults);
}
