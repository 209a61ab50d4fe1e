#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Watches files that the program handed to other applications and reports when one of them
// changed. The check runs when asked (the windows ask when the user comes back to the
// program, and may run it on a timer); there is no thread.
class CKivFileWatch {
public:
    struct WATCHENTRY {
        std::string path;
        std::uint64_t size = 0;
        // Last-write time as a Windows file time.
        std::uint64_t lastWrite = 0;
        // Node identifier of the file record the copy came from.
        int id = 0;
    };

    CKivFileWatch() = default;
    virtual ~CKivFileWatch() = default;
    CKivFileWatch(const CKivFileWatch&) = delete;
    CKivFileWatch& operator=(const CKivFileWatch&) = delete;

    // Adds entry unless the path is watched already or the file cannot be read.
    bool AddWatch(const WATCHENTRY& entry);
    // Adds entry with the file's current size and time; false when it cannot be read.
    bool AddWatch(const std::string& path, int id);
    // Forgets the entry of path (the file stays).
    bool RemoveWatch(const std::string& path);
    const WATCHENTRY* FindWatch(const std::string& path) const;
    const std::vector<WATCHENTRY>& GetWatches() const { return m_entries; }

    // For every watched file that exists, can be read and differs in size or time from its
    // entry: refreshes the entry and calls OnFileChanged with a copy. A missing or unreadable
    // file counts as unchanged. A check started from inside OnFileChanged does nothing.
    void CheckWatches();
    // True when some watched file differs from its entry.
    bool IsAnyChanged() const;
    // Deletes every watched file (a failure is shown) and empties the list.
    virtual void StopWatching();

    // Deletes a copy; on failure shows "Cannot delete file ..." and returns false.
    static bool DeleteCopy(const std::string& path);
    // The file's current size and last-write time; false when it is missing or unreadable.
    static bool ReadStamp(const std::string& path, std::uint64_t& size, std::uint64_t& lastWrite);

protected:
    // A watched file changed; entry holds its new size and time.
    virtual void OnFileChanged(const WATCHENTRY& entry) = 0;

private:
    std::vector<WATCHENTRY> m_entries;
    bool m_checking = false;
};
