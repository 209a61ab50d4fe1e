#pragma once

#include "common/Fixtures.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "security/Autorizator.h"

#include <QJsonObject>
#include <QString>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace txtest {

// A login dialog that types the given username and password.
class CTypingLogin : public ILoginDialog {
public:
    CTypingLogin(std::string username, std::string password)
        : m_username(std::move(username)), m_password(std::move(password)) {}
    bool DoModal(const std::string& path, const CHECK& check, void* parent) override;

private:
    std::string m_username;
    std::string m_password;
};

// A view that keeps the hints it was sent.
class CHintLog : public IKivView {
public:
    void OnUpdate(CKivDoc&, IKivView*, int hint, const void*) override { hints.push_back(hint); }
    int Count(int hint) const;
    std::vector<int> hints;
};

// A vault fixture copied into a scratch folder, with a document logged in to it.
class CVaultDocument {
public:
    CVaultDocument(const ScratchDir& dir, const std::string& vault, const std::string& username,
                   const std::string& password);
    ~CVaultDocument();

    // Copies the vault and logs in; false when that fails.
    bool Open();

    const std::filesystem::path& Path() const { return m_path; }
    CTxDoc doc;
    CHintLog view;

private:
    std::string m_vault;
    std::filesystem::path m_path;
    CTypingLogin m_login;
};

// One row of a vault's tree as its manifest describes it; texts as the manifest's latin-1
// view ("name", "comments" and the class fields such as "login" or "city").
struct MANIFEST_NODE {
    int id = 0;
    int parent = 0;
    std::string cls;
    std::map<std::string, QString> texts;
    bool IsFolder() const;
};

QJsonObject LoadManifest(const std::string& vault);
std::vector<MANIFEST_NODE> LoadManifestTree(const std::string& vault);
// The manifest node of id; fails the test when there is none.
const MANIFEST_NODE& FindNode(const std::vector<MANIFEST_NODE>& tree, int id);

// Every (id, parent) row of the document's tree table.
std::map<int, int> ReadTreeRows(CTxDoc& doc);

void WriteTextFile(const std::filesystem::path& path, const std::string& text);

} // namespace txtest
