#pragma once

#include "model/Interfaces.h"
#include "model/KivDoc.h"
#include "tools/AutoResetEvent.h"
#include "tools/RegularExpression.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CTresorixSettings;
class CTxDoc;

// The window that hears of the end of a search (message 1115); called on the user-interface
// thread from CSearchMachine::DeliverPending.
class ISearchNotify {
public:
    virtual ~ISearchNotify() = default;
    virtual void OnSearchEnded() = 0;
};

// Finds the records below a folder whose chosen fields match a pattern. The traversal runs on
// a worker thread over the search's own connection to the data file; the worker never touches
// the document. Matches and the end are queued and handed over on the user-interface thread by
// DeliverPending, which the window side calls whenever the wake callback asks for it.
//
// The connection stays open between searches, so that a repeated search finds its records in
// that connection's cache; it is reopened when the data file or the login changed and closed
// at logout. The document must outlive the machine or be detached first (SetDocument(nullptr)).
class CSearchMachine {
public:
    // WM_USER + 91: the search has ended.
    static constexpr unsigned kMsgSearchEnded = 1115;

    enum TYPE_FILTER {
        kAnyType = 0,
        kPasswordType = 1,
        kCreditCardType = 2,
        kFileType = 3,
        kNoteType = 4,
        kUrlType = 5,
    };

    // An entry of the "Type of item:" list, in list order; image -1 for none.
    struct TYPE_ENTRY {
        unsigned textId;
        int filter;
        int image;
    };
    static const TYPE_ENTRY kTypeList[6];

    struct OPTIONS {
        bool name = false;
        bool login = false;
        bool comments = false;
        bool url = false;
        bool cardholder = false;
        bool filename = false;
        bool address = false;
        bool subfolders = false;
    };

    // What a record has to satisfy to be listed.
    struct CRITERIA {
        CRegularExpression pattern;
        OPTIONS options;
        int typeFilter = kAnyType;
    };

    // Throws std::runtime_error when the search's data-file object cannot be made.
    CSearchMachine();
    ~CSearchMachine();
    CSearchMachine(const CSearchMachine&) = delete;
    CSearchMachine& operator=(const CSearchMachine&) = delete;

    // The document: owner of the result list, and whether a user is logged in.
    void SetDocument(CTxDoc* document);
    void SetNotifyWindow(ISearchNotify* notify) { m_notify = notify; }
    // Called from the worker when results or the end are waiting (once until the next
    // DeliverPending); the window side queues a call of DeliverPending on its thread.
    void SetWakeCallback(std::function<void()> wake);

    // The values of the next Start; a running search keeps those it started with.
    void SetPattern(const std::string& text) { m_criteria.pattern.SetPattern(text); }
    void SetOptions(const OPTIONS& options) { m_criteria.options = options; }
    // The options from the Search_ settings.
    void SetOptions(const CTresorixSettings& settings);
    const OPTIONS& GetOptions() const { return m_criteria.options; }
    void SetTypeFilter(int filter) { m_criteria.typeFilter = filter; }
    void SetStartFolder(int id) { m_startFolder = id; }
    // True when some field option is on (sub-folders does not count).
    bool HasFieldOption() const;

    // The start button: warns and answers false without a field option; otherwise empties
    // the document's results (hint 8) and starts.
    bool BeginSearch();
    // Stops a search still running (waiting for its worker), then starts one. Without a
    // login or a connection the user is told and the end is queued at once.
    void Start();
    // Asks the worker to end at its next poll (signals the stop event); any thread.
    void Stop();
    // Polls the stop event; a signal seen is signalled again so later polls see it too.
    bool IsStopRequested();
    // Waits until the worker has ended.
    void Wait();
    bool IsRunning() const { return m_running.load(); }

    // User-interface thread: appends the waiting results to the document's list (one hint 8
    // per call) and then passes on the end of the search.
    void DeliverPending();
    // The box of the completion message when the document lists no results.
    static void ReportSearchEnded(const CTxDoc& document);

    // Stops the worker and closes the connection, forgetting its credentials.
    void CloseConnection();
    bool IsConnectionOpen() const { return m_connectionOpen; }
    // How often the connection was opened (a reused one is not counted again).
    int GetConnectionOpens() const { return m_connectionOpens; }

    static bool MatchRecord(ICommonProperties* record, const CRITERIA& criteria);

private:
    // Hears the document's login and logout, which end the connection.
    class CDocumentWatch : public IKivView {
    public:
        explicit CDocumentWatch(CSearchMachine& machine) : m_machine(machine) {}
        void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;

    private:
        CSearchMachine& m_machine;
    };

    // What identifies the data file's state: a change means the cached records may be old.
    struct FILE_STAMP {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = -1;
        std::int64_t modified = 0;
        bool operator==(const FILE_STAMP&) const = default;
    };
    static FILE_STAMP ReadStamp(const std::string& path);
    // True when the stamp will tell any later write apart.
    static bool IsSettled(const FILE_STAMP& stamp);

    bool OpenConnection(const std::string& path, const std::string& user,
                        const std::string& keyText);
    void JoinWorker();
    void FinishFailedStart();
    void Run();
    void SearchFolder(int folder);
    bool MatchItem(int id);
    std::map<int, std::vector<int>> LoadChildren();
    void AddResult(int id);
    void PostEnded();
    void PostLocked(std::unique_lock<std::mutex>& lock);

    CTxDoc* m_document = nullptr;
    ISearchNotify* m_notify = nullptr;
    std::function<void()> m_wake;
    CDocumentWatch m_watch{*this};

    CRITERIA m_criteria;
    int m_startFolder = 1;
    // The criteria and folder of the running search, copied at Start.
    CRITERIA m_job;
    int m_jobFolder = 1;

    TComPtr<ITresorix> m_connection;
    bool m_connectionOpen = false;
    int m_connectionOpens = 0;
    FILE_STAMP m_connectionStamp;
    bool m_stampSettled = false;

    std::thread m_worker;
    std::atomic<bool> m_running{false};
    CAutoResetEvent m_stopEvent;

    // Handed from the worker to the user-interface thread.
    std::mutex m_pendingMutex;
    std::vector<int> m_pendingResults;
    bool m_pendingEnd = false;
    bool m_wakeSent = false;
};
