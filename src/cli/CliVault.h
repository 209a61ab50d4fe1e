#pragma once

#include "cli/CliPassword.h"
#include "model/ComPtr.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"

#include <string>
#include <vector>

class CCliContext;
class ICommonProperties;
class ITresorix;

// The data file a command works on, logged in through the document the windows use, and the
// look-up of folder and item arguments: "#ID", or a path of names from the root
// ("My Passwords/Work/Mail", with "\/" for a slash inside a name and "\\" for a backslash).
class CCliVault {
public:
    explicit CCliVault(CCliContext& context);
    ~CCliVault();
    CCliVault(const CCliVault&) = delete;
    CCliVault& operator=(const CCliVault&) = delete;

    // Reads the password and logs in to path as the -u user. kExitOk, or the exit code after
    // the reason was written (2 for a refused login, 3 for a file that cannot be read).
    int Open(const std::string& path);

    // Called once a change was committed. Until then the file is left untouched at logout:
    // the favorites are only written back into a file that changed.
    void MarkChanged() { m_changed = true; }

    CTxDoc& Doc() { return m_doc; }
    CCliContext& Context() { return m_context; }
    ITresorix* Tresorix() const;
    const std::string& GetPath() const { return m_path; }
    // The password the login was accepted with, as typed.
    const std::string& GetPassword() const { return m_password.Get(); }
    // The username the login was accepted with (the stored form).
    std::string GetUserName() const;

    // The node an argument names; kExitOk, or kExitDataError after the reason was written.
    int Find(const std::string& spec, int& id);
    // The same for a node that must be a folder.
    int FindFolder(const std::string& spec, int& id);

    TComPtr<ICommonProperties> Record(int id) const;
    bool IsFolder(int id) const;
    // The children of a node in stored order.
    std::vector<int> Children(int id) const;
    int ParentOf(int id) const;
    // The children of folder whose name reads as name (display form or stored bytes).
    std::vector<int> ChildrenNamed(int folder, const std::string& name) const;
    // The path of names from the root to the node, in the form Find reads.
    std::string PathOf(int id) const;

    // Splits a path argument into names; false for an empty name or a dangling backslash.
    static bool SplitPath(const std::string& spec, std::vector<std::string>& names);
    // One name escaped for a path.
    static std::string EscapeName(const std::string& name);

private:
    CCliContext& m_context;
    CTxDoc m_doc;
    std::string m_path;
    CSecretText m_password;
    bool m_changed = false;
};
