#include "tools/SearchMachine.h"

#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "security/SecureZero.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "storage/SQLiteException.h"

#include <stdexcept>
#include <unordered_set>

#include <sys/stat.h>

namespace {

constexpr unsigned kIdNotLoggedIn = 61333;
constexpr unsigned kIdNoSearchOption = 62220;
constexpr unsigned kIdSearchCaption = 62221;
constexpr unsigned kIdCannotOpen = 62222;
constexpr unsigned kIdConnectionError = 62223;
constexpr unsigned kIdNoResults = 62224;
constexpr unsigned kIdResultsCaption = 61308;

// One statement for the whole tree: a query per node would cost more than the matching.
constexpr const char kSelectTree[] = "select id, id_parent from tresorix_main";

} // namespace

const CSearchMachine::TYPE_ENTRY CSearchMachine::kTypeList[6] = {
    {62227, kAnyType, -1},  {61206, kPasswordType, 3}, {62228, kCreditCardType, 4},
    {62229, kNoteType, 63}, {62230, kFileType, 11},    {62231, kUrlType, 242},
};

CSearchMachine::CSearchMachine() : m_connection(CreateObjectAs<ITresorix>(CLSID_Tresorix)) {
    if (!m_connection)
        throw std::runtime_error("the search cannot make its data-file object");
}

CSearchMachine::~CSearchMachine() {
    SetDocument(nullptr);
    CloseConnection();
}

void CSearchMachine::SetDocument(CTxDoc* document) {
    if (document == m_document)
        return;
    if (m_document) {
        m_document->RemoveView(&m_watch);
        // The connection belongs to the old document's login.
        CloseConnection();
    }
    m_document = document;
    if (m_document)
        m_document->AddView(&m_watch);
}

void CSearchMachine::SetWakeCallback(std::function<void()> wake) {
    std::lock_guard lock(m_pendingMutex);
    m_wake = std::move(wake);
}

void CSearchMachine::SetOptions(const CTresorixSettings& s) {
    m_criteria.options.name = s.Search_NameChecked != 0;
    m_criteria.options.login = s.Search_LoginCheked != 0;
    m_criteria.options.url = s.Search_URLChecked != 0;
    m_criteria.options.comments = s.Search_CommentsChecked != 0;
    m_criteria.options.cardholder = s.Search_CardholderChecked != 0;
    m_criteria.options.address = s.Search_AddressChecked != 0;
    m_criteria.options.filename = s.Search_FilenameChecked != 0;
    m_criteria.options.subfolders = s.Search_SubfoldersChecked != 0;
}

bool CSearchMachine::HasFieldOption() const {
    const OPTIONS& o = m_criteria.options;
    return o.name || o.login || o.comments || o.url || o.cardholder || o.filename || o.address;
}

bool CSearchMachine::BeginSearch() {
    if (!HasFieldOption()) {
        KivMessageBox(LoadString(kIdNoSearchOption), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // The previous worker must be gone before its results can no longer reach the list.
    JoinWorker();
    if (m_document)
        m_document->SetSearchResults({});
    Start();
    return true;
}

void CSearchMachine::Start() {
    JoinWorker();
    {
        // Whatever the previous search left undelivered belongs to it, not to this one.
        std::lock_guard lock(m_pendingMutex);
        m_pendingResults.clear();
        m_pendingEnd = false;
    }
    m_job = m_criteria;
    m_jobFolder = m_startFolder;

    TComPtr<ITresorix> documentFile = m_document ? m_document->GetTresorix() : nullptr;
    if (!m_document || !m_document->IsAuthorised() || !documentFile) {
        KivMessageBox(LoadString(kIdNotLoggedIn), MB_OK | MB_ICONINFORMATION,
                      LoadString(kIdSearchCaption));
        FinishFailedStart();
        return;
    }
    std::string keyText = documentFile->GetPassword();
    bool opened = OpenConnection(documentFile->GetFileName(), documentFile->GetUserName(), keyText);
    SecureZero(keyText);
    if (!opened) {
        KivMessageBox(LoadString(kIdCannotOpen), MB_OK | MB_ICONSTOP,
                      LoadString(kIdConnectionError));
        FinishFailedStart();
        return;
    }

    m_stopEvent.Reset();
    m_running = true;
    try {
        m_worker = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        m_running = false;
        FinishFailedStart();
    }
}

void CSearchMachine::Stop() {
    m_stopEvent.Set();
}

bool CSearchMachine::IsStopRequested() {
    if (!m_stopEvent.Wait(std::chrono::milliseconds(0)))
        return false;
    m_stopEvent.Set();
    return true;
}

void CSearchMachine::Wait() {
    if (m_worker.joinable())
        m_worker.join();
}

void CSearchMachine::JoinWorker() {
    if (!m_worker.joinable())
        return;
    if (m_running)
        Stop();
    m_worker.join();
}

void CSearchMachine::CloseConnection() {
    JoinWorker();
    if (m_connectionOpen || m_connection->GetDatabase())
        m_connection->Close();
    m_connection->SetPassword({});
    m_connection->SetUserName({});
    m_connectionOpen = false;
    m_connectionStamp = {};
    m_stampSettled = false;
}

CSearchMachine::FILE_STAMP CSearchMachine::ReadStamp(const std::string& path) {
    FILE_STAMP stamp;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

bool CSearchMachine::IsSettled(const FILE_STAMP& stamp) {
    // File times advance in clock ticks of a few milliseconds: a write in the same tick as
    // the last one would leave the time unchanged. Once the last write is older than any
    // tick, every later write shows as a newer time.
    constexpr std::int64_t kMarginNs = 200'000'000;
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    return stamp.size >= 0 && now - stamp.modified > kMarginNs;
}

bool CSearchMachine::OpenConnection(const std::string& path, const std::string& user,
                                    const std::string& keyText) {
    FILE_STAMP stamp = ReadStamp(path);
    // Reused only while nothing can have changed since the last start, so its cache holds.
    if (m_connectionOpen && m_stampSettled && m_connection->GetFileName() == path &&
        m_connection->GetUserName() == user && stamp == m_connectionStamp) {
        std::string current = m_connection->GetPassword();
        const bool sameKey = current == keyText;
        SecureZero(current);
        if (sameKey)
            return true;
    }
    CloseConnection();
    m_connection->SetUserName(user);
    m_connection->SetPassword(keyText);
    if (!m_connection->Open(path)) {
        CloseConnection();
        return false;
    }
    m_connectionOpen = true;
    ++m_connectionOpens;
    m_connectionStamp = stamp;
    m_stampSettled = IsSettled(stamp);
    return true;
}

void CSearchMachine::FinishFailedStart() {
    CloseConnection();
    PostEnded();
}

void CSearchMachine::Run() {
    try {
        SearchFolder(m_jobFolder);
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    } catch (const std::exception&) {
        // Out of memory and the like: the search ends with what it found.
    }
    m_running = false;
    PostEnded();
}

std::map<int, std::vector<int>> CSearchMachine::LoadChildren() {
    std::map<int, std::vector<int>> children;
    CKivDatabase* db = m_connection->GetDatabase();
    if (!db)
        return children;
    CursorPtr cursor(db->Query(kSelectTree));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr row(raw);
        if (!row || row->GetFieldCount() < 2)
            continue;
        FieldPtr id(row->GetField(0));
        FieldPtr parent(row->GetField(1));
        if (id && parent)
            children[parent->AsInt()].push_back(id->AsInt());
    }
    return children;
}

void CSearchMachine::SearchFolder(int folder) {
    if (IsStopRequested())
        return;
    // The rows come in identifier order, the order the children iterator gives.
    const std::map<int, std::vector<int>> tree = LoadChildren();
    const std::vector<int> none;
    auto childrenOf = [&](int id) -> const std::vector<int>& {
        auto it = tree.find(id);
        return it == tree.end() ? none : it->second;
    };

    struct FRAME {
        const std::vector<int>* children;
        std::size_t next;
    };
    // Depth first, in pre-order, without recursion; a node met twice (a damaged tree whose
    // parents form a cycle) is not entered again.
    std::unordered_set<int> visited{folder};
    std::vector<FRAME> stack{{&childrenOf(folder), 0}};
    while (!stack.empty()) {
        FRAME& top = stack.back();
        if (top.next >= top.children->size()) {
            stack.pop_back();
            continue;
        }
        const int child = (*top.children)[top.next++];
        if (IsStopRequested())
            return;
        if (!visited.insert(child).second)
            continue;
        if (MatchItem(child))
            AddResult(child);
        if (m_job.options.subfolders) {
            if (IsStopRequested())
                return;
            stack.push_back({&childrenOf(child), 0});
        }
    }
}

bool CSearchMachine::MatchItem(int id) {
    TComPtr<ICommonProperties> record = GetItemProperties(m_connection.Get(), id);
    return record && MatchRecord(record.Get(), m_job);
}

bool CSearchMachine::MatchRecord(ICommonProperties* record, const CRITERIA& criteria) {
    if (!record || record->IsFolder())
        return false;
    TComPtr<ICommonProperties> holder(record);
    TComPtr<IPasswordProperties> password = holder.As<IPasswordProperties>();
    TComPtr<ICreditCardProperties> card = holder.As<ICreditCardProperties>();
    TComPtr<IFileProperties> file = holder.As<IFileProperties>();

    CLSID clsid{};
    switch (criteria.typeFilter) {
    case kAnyType:
        break;
    case kPasswordType:
        if (!password)
            return false;
        break;
    case kCreditCardType:
        if (!card)
            return false;
        break;
    case kFileType:
        if (!file)
            return false;
        break;
    case kNoteType:
        record->GetClassID(clsid);
        if (!(clsid == CLSID_Note))
            return false;
        break;
    case kUrlType:
        record->GetClassID(clsid);
        if (!(clsid == CLSID_UrlItem))
            return false;
        break;
    default:
        return false;
    }

    const OPTIONS& o = criteria.options;
    const CRegularExpression& p = criteria.pattern;
    if (o.name && p.Match(record->GetName()))
        return true;
    if (o.comments && p.Match(record->GetComments()))
        return true;
    if (password) {
        if (o.login && p.Match(password->GetLogin()))
            return true;
        if (o.url && (p.Match(password->GetURL()) || p.Match(password->GetEmail())))
            return true;
    }
    if (card) {
        if (o.cardholder && p.Match(card->GetNameOnCard()))
            return true;
        // The state or province is not among the address fields searched.
        if (o.address &&
            (p.Match(card->GetAddress1()) || p.Match(card->GetAddress2()) ||
             p.Match(card->GetCity()) || p.Match(card->GetCountry()) || p.Match(card->GetZip())))
            return true;
    }
    if (file && o.filename && p.Match(file->GetFileName()))
        return true;
    return false;
}

void CSearchMachine::AddResult(int id) {
    std::unique_lock lock(m_pendingMutex);
    m_pendingResults.push_back(id);
    PostLocked(lock);
}

void CSearchMachine::PostEnded() {
    std::unique_lock lock(m_pendingMutex);
    m_pendingEnd = true;
    PostLocked(lock);
}

void CSearchMachine::PostLocked(std::unique_lock<std::mutex>& lock) {
    if (m_wakeSent || !m_wake)
        return;
    m_wakeSent = true;
    std::function<void()> wake = m_wake;
    lock.unlock();
    wake();
}

void CSearchMachine::DeliverPending() {
    std::vector<int> results;
    bool ended;
    {
        std::lock_guard lock(m_pendingMutex);
        results.swap(m_pendingResults);
        ended = std::exchange(m_pendingEnd, false);
        m_wakeSent = false;
    }
    // Finds of a file that was closed meanwhile name records of no open file.
    if (!results.empty() && m_document && m_document->IsAuthorised()) {
        std::vector<int> all = m_document->GetSearchResults();
        all.insert(all.end(), results.begin(), results.end());
        m_document->SetSearchResults(std::move(all));
    }
    if (ended && m_notify)
        m_notify->OnSearchEnded();
}

void CSearchMachine::ReportSearchEnded(const CTxDoc& document) {
    if (document.GetSearchResults().empty())
        KivMessageBox(LoadString(kIdNoResults), MB_OK | MB_ICONINFORMATION,
                      LoadString(kIdResultsCaption));
}

void CSearchMachine::CDocumentWatch::OnUpdate(CKivDoc&, IKivView*, int hint, const void*) {
    if (hint != CTxDoc::kHintLoginChanged)
        return;
    m_machine.CloseConnection();
    std::lock_guard lock(m_machine.m_pendingMutex);
    m_machine.m_pendingResults.clear();
}
