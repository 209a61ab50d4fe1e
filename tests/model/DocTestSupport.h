#pragma once

#include "common/Fixtures.h"
#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "security/Autorizator.h"

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace txtest {

// A login dialog that types the given username and password, or cancels.
class CScriptedLogin : public ILoginDialog {
public:
    CScriptedLogin(std::string username, std::string password)
        : m_username(std::move(username)), m_password(std::move(password)) {}

    bool DoModal(const std::string& path, const CHECK& check, void* parent) override;

    void SetCancel(bool cancel) { m_cancel = cancel; }
    int GetCalls() const { return m_calls; }

private:
    std::string m_username;
    std::string m_password;
    bool m_cancel = false;
    int m_calls = 0;
};

// A view that remembers every hint it was sent.
class CHintRecorder : public IKivView {
public:
    struct HINT {
        int hint;
        CKivDoc::HINTDATA data;
        bool hasData;
    };
    void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;
    std::vector<HINT> hints;
    int Count(int hint) const;
};

// The sample vault (carol / S3cret!pass) copied into a scratch folder, and a document on it.
class DocFixture : public ::testing::Test {
protected:
    static constexpr const char* kUser = "carol";
    static constexpr const char* kPassword = "S3cret!pass";

    DocFixture();
    ~DocFixture() override;

    // Copies the vault and logs in; false (and a failure) when that does not work.
    bool OpenSample();
    // A fresh document logged in to the same file (the first one should be logged out).
    std::unique_ptr<CTxDoc> OpenFresh();
    std::string KeyText() const;

    ScratchDir m_dir;
    std::filesystem::path m_path;
    CScopedMessageRecorder m_messages;
    CScriptedLogin m_login{kUser, kPassword};
    CTxDoc m_doc;
    CHintRecorder m_view;
};

// Every (id, parent) pair of the tree table, read straight from the file.
std::map<int, int> ReadParents(CTxDoc& doc);
// Fails the test unless every parent exists or is 0 and no node is its own ancestor.
void ExpectTree(const std::map<int, int>& parents);
// A file of length bytes with a repeatable pattern.
std::string PatternBytes(std::size_t length, unsigned seed);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace txtest
