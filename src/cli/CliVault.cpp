#include "cli/CliVault.h"

#include "cli/CliContext.h"
#include "cli/CliText.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "platform/StringTable.h"
#include "security/Autorizator.h"
#include "security/LoginText.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

constexpr unsigned kIdLoginRefused = 61221;

// The login dialog of the command line: one attempt with the credentials given.
class CCliLoginDialog : public ILoginDialog {
public:
    CCliLoginDialog(const std::string& username, const std::string& password)
        : m_username(username), m_password(password) {}

    bool DoModal(const std::string& path, const CHECK& check, void*) override {
        std::vector<std::string> keys = PasswordKeyTexts(m_password);
        const bool accepted = check(path, m_username, keys);
        WipeTexts(keys);
        return accepted;
    }

private:
    const std::string& m_username;
    const std::string& m_password;
};

} // namespace

CCliVault::CCliVault(CCliContext& context) : m_context(context) {}

CCliVault::~CCliVault() {
    if (!m_changed) {
        if (TComPtr<ITresorix> tresorix = m_doc.GetTresorix())
            tresorix->SetAuthorised(false);
    }
    m_doc.CloseContents();
}

ITresorix* CCliVault::Tresorix() const {
    return m_doc.GetTresorix().Get();
}

std::string CCliVault::GetUserName() const {
    ITresorix* tresorix = Tresorix();
    return tresorix ? tresorix->GetUserName() : std::string();
}

int CCliVault::Open(const std::string& path) {
    if (!m_context.Args().Has("user"))
        return m_context.Usage("a username is needed (-u USER)");
    const std::string username = m_context.Args().Get("user");
    // The engine would make an empty database for a missing path; nothing may be left behind.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return m_context.Fail(kExitDataError, path + ": no such data file");
    if (!ReadSecret(m_context, "Password: ", m_password.Get()))
        return kExitUsage;
    CCliLoginDialog dialog(username, m_password.Get());
    m_doc.SetLoginDialog(&dialog);
    const bool opened = m_doc.OpenDataFile(path);
    m_doc.SetLoginDialog(nullptr);
    if (!opened) {
        if (m_context.Sink().HasShown(LoadString(kIdLoginRefused)))
            return kExitLoginRefused;
        return m_context.Fail(kExitDataError, path + ": cannot be opened as a data file");
    }
    m_path = path;
    return kExitOk;
}

TComPtr<ICommonProperties> CCliVault::Record(int id) const {
    return m_doc.GetRecord(id);
}

bool CCliVault::IsFolder(int id) const {
    TComPtr<ICommonProperties> record = Record(id);
    return record && record->IsFolder();
}

std::vector<int> CCliVault::Children(int id) const {
    std::vector<int> ids;
    TComPtr<ITreeItem> node = m_doc.GetNode(id);
    TComPtr<ITreeIterator> children = node ? node->GetIterator(ITreeItem::kChildren) : nullptr;
    if (!children)
        return ids;
    for (TComPtr<ITreeItem> child = children->First(); child; child = children->Next())
        ids.push_back(child->GetID());
    return ids;
}

int CCliVault::ParentOf(int id) const {
    TComPtr<ITreeItem> node = m_doc.GetNode(id);
    return node ? node->GetParentID() : 0;
}

std::vector<int> CCliVault::ChildrenNamed(int folder, const std::string& name) const {
    std::vector<int> found;
    for (int child : Children(folder)) {
        TComPtr<ICommonProperties> record = Record(child);
        if (record && (record->GetName() == name || DisplayText(record->GetName()) == name))
            found.push_back(child);
    }
    return found;
}

bool CCliVault::SplitPath(const std::string& spec, std::vector<std::string>& names) {
    names.clear();
    std::string name;
    for (std::size_t i = 0; i < spec.size(); ++i) {
        const char c = spec[i];
        if (c == '\\') {
            if (i + 1 >= spec.size())
                return false;
            name.push_back(spec[++i]);
        } else if (c == '/') {
            if (name.empty())
                return false;
            names.push_back(std::move(name));
            name.clear();
        } else {
            name.push_back(c);
        }
    }
    if (name.empty())
        return false;
    names.push_back(std::move(name));
    return true;
}

std::string CCliVault::EscapeName(const std::string& name) {
    std::string escaped;
    for (char c : name) {
        if (c == '/' || c == '\\')
            escaped.push_back('\\');
        escaped.push_back(c);
    }
    return escaped;
}

int CCliVault::Find(const std::string& spec, int& id) {
    id = 0;
    if (spec.size() > 1 && spec[0] == '#') {
        long long number = 0;
        if (!ParseInteger(std::string_view(spec).substr(1), number) || number <= 0 ||
            number > 0x7FFFFFFF)
            return m_context.Fail(kExitDataError, "'" + spec + "' is not an item identifier");
        if (!Record(static_cast<int>(number)))
            return m_context.Fail(kExitDataError, "no item " + spec);
        id = static_cast<int>(number);
        return kExitOk;
    }
    std::vector<std::string> names;
    if (!SplitPath(spec, names))
        return m_context.Fail(kExitDataError, "'" + spec + "' is not a path of names");
    TComPtr<ICommonProperties> root = Record(kRootFolderId);
    if (!root || (root->GetName() != names[0] && DisplayText(root->GetName()) != names[0]))
        return m_context.Fail(kExitDataError,
                              "'" + spec + "' does not start at the root folder '" +
                                  DisplayText(root ? root->GetName() : std::string()) + "'");
    int current = kRootFolderId;
    for (std::size_t i = 1; i < names.size(); ++i) {
        const std::vector<int> found = ChildrenNamed(current, names[i]);
        if (found.empty())
            return m_context.Fail(kExitDataError,
                                  "no item '" + names[i] + "' in '" + PathOf(current) + "'");
        if (found.size() > 1) {
            std::string ids;
            for (int each : found)
                ids += " #" + std::to_string(each);
            return m_context.Fail(kExitDataError, "'" + names[i] + "' names several items in '" +
                                                      PathOf(current) + "':" + ids +
                                                      " (use the identifier)");
        }
        current = found.front();
    }
    id = current;
    return kExitOk;
}

int CCliVault::FindFolder(const std::string& spec, int& id) {
    const int code = Find(spec, id);
    if (code != kExitOk)
        return code;
    if (!IsFolder(id)) {
        id = 0;
        return m_context.Fail(kExitDataError, "'" + spec + "' is not a folder");
    }
    return kExitOk;
}

std::string CCliVault::PathOf(int id) const {
    std::vector<std::string> names;
    std::set<int> seen;
    for (int node = id; node != 0 && seen.insert(node).second; node = ParentOf(node)) {
        TComPtr<ICommonProperties> record = Record(node);
        names.push_back(record ? EscapeName(DisplayText(record->GetName()))
                               : "#" + std::to_string(node));
    }
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!path.empty())
            path += '/';
        path += *it;
    }
    return path;
}
