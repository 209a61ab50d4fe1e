#include "model/DocTestSupport.h"

#include "model/ModelTestUtil.h"
#include "security/LoginText.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"

#include <fstream>
#include <set>

namespace txtest {

bool CScriptedLogin::DoModal(const std::string& path, const CHECK& check, void*) {
    ++m_calls;
    if (m_cancel)
        return false;
    std::vector<std::string> keys = PasswordKeyTexts(m_password);
    bool accepted = check(path, m_username, keys);
    WipeTexts(keys);
    return accepted;
}

void CHintRecorder::OnUpdate(CKivDoc&, IKivView*, int hint, const void* argument) {
    HINT h{hint, {}, argument != nullptr};
    if (argument && hint != 0 && hint != 5 && hint != 6 && hint != 8 && hint != 1064 &&
        hint != 1134)
        h.data = *static_cast<const CKivDoc::HINTDATA*>(argument);
    hints.push_back(h);
}

int CHintRecorder::Count(int hint) const {
    int count = 0;
    for (const HINT& h : hints)
        count += h.hint == hint;
    return count;
}

DocFixture::DocFixture() {
    m_doc.SetLoginDialog(&m_login);
    m_doc.SetTempFolderBase((m_dir.Path() / "cache").string());
    m_doc.AddView(&m_view);
}

DocFixture::~DocFixture() {
    m_doc.RemoveView(&m_view);
    m_doc.CloseContents();
}

bool DocFixture::OpenSample() {
    if (FixturesDir().empty())
        return false;
    m_path = CopyVault("sample", m_dir);
    bool opened = m_doc.OpenDataFile(m_path.string());
    EXPECT_TRUE(opened);
    return opened;
}

std::unique_ptr<CTxDoc> DocFixture::OpenFresh() {
    auto doc = std::make_unique<CTxDoc>();
    doc->SetLoginDialog(&m_login);
    doc->SetTempFolderBase((m_dir.Path() / "cache2").string());
    EXPECT_TRUE(doc->OpenDataFile(m_path.string()));
    return doc;
}

std::string DocFixture::KeyText() const {
    return MakeKeyText(kPassword);
}

std::map<int, int> ReadParents(CTxDoc& doc) {
    std::map<int, int> parents;
    CKivDatabase* db = doc.GetDatabase();
    if (!db)
        return parents;
    CursorPtr cursor(db->Query("select id, id_parent from tresorix_main"));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr row(raw);
        FieldPtr id(row->GetField(0));
        FieldPtr parent(row->GetField(1));
        parents[id->AsInt()] = parent->AsInt();
    }
    return parents;
}

void ExpectTree(const std::map<int, int>& parents) {
    for (const auto& [id, parent] : parents) {
        EXPECT_TRUE(parent == 0 || parents.count(parent))
            << "node " << id << " lost parent " << parent;
        std::set<int> seen{id};
        for (int up = parent; up != 0;) {
            ASSERT_TRUE(seen.insert(up).second) << "node " << id << " is its own ancestor";
            auto it = parents.find(up);
            up = it == parents.end() ? 0 : it->second;
        }
    }
}

std::string PatternBytes(std::size_t length, unsigned seed) {
    std::string bytes(length, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < length; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<char>(x);
    }
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

} // namespace txtest
