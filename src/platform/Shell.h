#pragma once

#include <string>
#include <utility>
#include <vector>

// What the program asks of the desktop: opening documents, folders and addresses with their
// default application, and whole-file copies the way a file manager makes them. The program
// installs a desktop implementation; tests install a recorder; the default is headless.
class IShell {
public:
    virtual ~IShell() = default;

    // Opens a file path or a URL with the desktop's default application. Returns false when
    // nothing could be started; never waits for the application.
    virtual bool OpenDocument(const std::string& pathOrUrl) = 0;

    // Opens a file-manager window on a folder. Returns false when nothing could be started.
    virtual bool ExploreFolder(const std::string& folder) = 0;

    // Copies the file source to destination. When destination is an existing folder the copy
    // keeps its file name inside it. When the target name is taken, the copy gets the first
    // free name "base (2).ext", "base (3).ext", ... instead of overwriting. The copy is
    // created with mode 0600 and appears complete or not at all. On success the path
    // actually written goes to *copiedTo (when given). A failure is reported to the user
    // here (message box) and false is returned.
    virtual bool CopyFile(const std::string& source, const std::string& destination,
                          std::string* copiedTo = nullptr) = 0;
};

// The shell every call of the process goes to; never null (headless by default).
IShell& Shell();
// Installs a shell (not owned); null restores the default. Returns the previous one.
IShell* SetShell(IShell* shell);

// Copies without any message: the work behind IShell::CopyFile, shared by every
// implementation. On failure returns false and puts a readable reason into *error.
bool CopyFileRenameOnCollision(const std::string& source, const std::string& destination,
                               std::string* copiedTo, std::string* error);

// Renames from to to only when nothing exists at to (atomically where the file system allows);
// false with errno set (EEXIST when to is taken) otherwise. Both must be on one file system.
bool MoveFileNoReplace(const std::string& from, const std::string& to);

// The name a file manager gives the n-th copy (n >= 2) of "name": "base (n).ext", where the
// extension starts at the last dot of the file name (none for a leading dot).
std::string CollisionName(const std::string& path, int n);

// Starts "xdg-open" (or the given opener) detached, with the target as its only argument.
// Copy failures go to a stop-icon message box.
class CHeadlessShell : public IShell {
public:
    explicit CHeadlessShell(std::string opener = "xdg-open") : m_opener(std::move(opener)) {}

    bool OpenDocument(const std::string& pathOrUrl) override;
    bool ExploreFolder(const std::string& folder) override;
    bool CopyFile(const std::string& source, const std::string& destination,
                  std::string* copiedTo = nullptr) override;

private:
    bool Start(const std::string& target);

    std::string m_opener;
};

// Records every request and answers from its settings; for tests. Copies are really made
// (into the caller's folders) unless a failure is requested.
class CRecordingShell : public IShell {
public:
    enum ACTION { kOpen, kExplore, kCopy };
    struct CALL {
        ACTION action;
        std::string target;      // opened path or URL, explored folder, or copy source
        std::string destination; // copies only: the requested destination
        std::string copiedTo;    // copies only: the path written, empty on failure
    };

    bool OpenDocument(const std::string& pathOrUrl) override;
    bool ExploreFolder(const std::string& folder) override;
    bool CopyFile(const std::string& source, const std::string& destination,
                  std::string* copiedTo = nullptr) override;

    void SetOpenResult(bool result) { m_openResult = result; }
    // When set, copies fail (with the usual message box) without touching the disk.
    void SetCopyFails(bool fails) { m_copyFails = fails; }
    const std::vector<CALL>& Calls() const { return m_calls; }
    void Clear() { m_calls.clear(); }

private:
    std::vector<CALL> m_calls;
    bool m_openResult = true;
    bool m_copyFails = false;
};

// Installs a recording shell for the lifetime of the object (tests).
class CScopedShellRecorder : public CRecordingShell {
public:
    CScopedShellRecorder() : m_previous(SetShell(this)) {}
    ~CScopedShellRecorder() override { SetShell(m_previous); }
    CScopedShellRecorder(const CScopedShellRecorder&) = delete;
    CScopedShellRecorder& operator=(const CScopedShellRecorder&) = delete;

private:
    IShell* m_previous;
};
