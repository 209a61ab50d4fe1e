#include "tools/SearchImportFixture.h"

#include "security/LoginText.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <fstream>

namespace txtest {

bool CTypingLogin::DoModal(const std::string& path, const CHECK& check, void*) {
    std::vector<std::string> keys = PasswordKeyTexts(m_password);
    const bool accepted = check(path, m_username, keys);
    WipeTexts(keys);
    return accepted;
}

int CHintLog::Count(int hint) const {
    return static_cast<int>(std::count(hints.begin(), hints.end(), hint));
}

CVaultDocument::CVaultDocument(const ScratchDir& dir, const std::string& vault,
                               const std::string& username, const std::string& password)
    : m_vault(vault), m_path(dir / (vault + ".tpx")), m_login(username, password) {
    doc.SetLoginDialog(&m_login);
    doc.SetTempFolderBase((dir / "cache").string());
    doc.AddView(&view);
}

CVaultDocument::~CVaultDocument() {
    doc.RemoveView(&view);
    doc.CloseContents();
}

bool CVaultDocument::Open() {
    if (FixturesDir().empty())
        return false;
    std::filesystem::copy_file(FixturesDir() / "vaults" / (m_vault + ".tpx"), m_path,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    return doc.OpenDataFile(m_path.string());
}

bool MANIFEST_NODE::IsFolder() const {
    return cls == "CFolder" || cls == "CRootFolder" || cls == "CDeletedFolder";
}

QJsonObject LoadManifest(const std::string& vault) {
    QFile file(QString::fromStdString((FixturesDir() / "vaults" / (vault + ".tpx.json")).string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "manifest of " << vault;
    return QJsonDocument::fromJson(file.readAll()).object();
}

std::vector<MANIFEST_NODE> LoadManifestTree(const std::string& vault) {
    std::vector<MANIFEST_NODE> nodes;
    const QJsonArray tree = LoadManifest(vault).value("tree").toArray();
    for (const QJsonValue& value : tree) {
        const QJsonObject row = value.toObject();
        const QJsonObject record = row.value("record").toObject();
        MANIFEST_NODE node;
        node.id = row.value("id").toInt();
        node.parent = row.value("parent").toInt();
        node.cls = record.value("class").toString().toStdString();
        node.texts["name"] = record.value("name").toObject().value("text").toString();
        node.texts["comments"] = record.value("comments").toObject().value("text").toString();
        const QJsonObject fields = record.value("fields").toObject();
        for (auto it = fields.begin(); it != fields.end(); ++it)
            if (it.value().isObject() && it.value().toObject().contains("text"))
                node.texts[it.key().toStdString()] = it.value().toObject().value("text").toString();
        nodes.push_back(std::move(node));
    }
    return nodes;
}

const MANIFEST_NODE& FindNode(const std::vector<MANIFEST_NODE>& tree, int id) {
    auto it =
        std::find_if(tree.begin(), tree.end(), [id](const MANIFEST_NODE& n) { return n.id == id; });
    EXPECT_NE(it, tree.end()) << "node " << id;
    static const MANIFEST_NODE none;
    return it == tree.end() ? none : *it;
}

std::map<int, int> ReadTreeRows(CTxDoc& doc) {
    std::map<int, int> rows;
    CKivDatabase* db = doc.GetDatabase();
    if (!db)
        return rows;
    CursorPtr cursor(db->Query("select id, id_parent from tresorix_main"));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr row(raw);
        FieldPtr id(row->GetField(0));
        FieldPtr parent(row->GetField(1));
        rows[id->AsInt()] = parent->AsInt();
    }
    return rows;
}

void WriteTextFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

} // namespace txtest
