#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "tools/SearchImportFixture.h"
#include "tools/SearchMachine.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace txtest;

namespace {

using OPTIONS = CSearchMachine::OPTIONS;

// What a search should list, worked out from the manifest alone: a single-word pattern is
// found anywhere in a field, ignoring case; an empty one matches every field.
class CExpected {
public:
    explicit CExpected(std::vector<MANIFEST_NODE> tree) : m_tree(std::move(tree)) {
        for (const MANIFEST_NODE& n : m_tree)
            m_children[n.parent].push_back(n.id); // the manifest is in id order
    }

    std::vector<int> Search(int start, const QString& word, const OPTIONS& o, int filter) const {
        std::vector<int> found;
        std::function<void(int)> walk = [&](int folder) {
            auto it = m_children.find(folder);
            if (it == m_children.end())
                return;
            for (int child : it->second) {
                if (Matches(FindNode(m_tree, child), word, o, filter))
                    found.push_back(child);
                if (o.subfolders)
                    walk(child);
            }
        };
        walk(start);
        return found;
    }

private:
    static bool PassesType(const MANIFEST_NODE& n, int filter) {
        switch (filter) {
        case CSearchMachine::kPasswordType:
            return n.cls == "CPasswordItem" || n.cls == "CUrlItem";
        case CSearchMachine::kCreditCardType:
            return n.cls == "CCreditCardItem";
        case CSearchMachine::kFileType:
            return n.cls == "CFileItem";
        case CSearchMachine::kNoteType:
            return n.cls == "CNote";
        case CSearchMachine::kUrlType:
            return n.cls == "CUrlItem";
        default:
            return true;
        }
    }

    static bool Matches(const MANIFEST_NODE& n, const QString& word, const OPTIONS& o, int filter) {
        if (n.IsFolder() || !PassesType(n, filter))
            return false;
        std::vector<std::string> fields;
        auto add = [&](bool on, std::initializer_list<const char*> names) {
            for (const char* name : names)
                if (on && n.texts.count(name))
                    fields.push_back(name);
        };
        add(o.name, {"name"});
        add(o.comments, {"comments"});
        add(o.login, {"login"});
        add(o.url, {"url", "email"});
        add(o.cardholder, {"name_on_card"});
        add(o.address, {"address1", "address2", "city", "country", "zip"});
        add(o.filename, {"file_name"});
        for (const std::string& f : fields)
            if (n.texts.at(f).contains(word, Qt::CaseInsensitive))
                return true;
        return false;
    }

    std::vector<MANIFEST_NODE> m_tree;
    std::map<int, std::vector<int>> m_children;
};

OPTIONS Only(bool OPTIONS::*option) {
    OPTIONS o;
    o.*option = true;
    o.subfolders = true;
    return o;
}

OPTIONS All() {
    OPTIONS o{true, true, true, true, true, true, true, true};
    return o;
}

class SearchTraversalTest : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        ASSERT_TRUE(m_vault.Open());
        m_expected = std::make_unique<CExpected>(LoadManifestTree("sample"));
        m_machine.SetDocument(&m_vault.doc);
    }

    std::vector<int> Run(int start, const std::string& pattern, const OPTIONS& o, int filter) {
        m_vault.doc.SetSearchResults({});
        m_machine.SetStartFolder(start);
        m_machine.SetPattern(pattern);
        m_machine.SetOptions(o);
        m_machine.SetTypeFilter(filter);
        m_machine.Start();
        m_machine.Wait();
        m_machine.DeliverPending();
        return m_vault.doc.GetSearchResults();
    }

    std::vector<int> Expect(int start, const std::string& pattern, const OPTIONS& o, int filter) {
        return m_expected->Search(start, QString::fromStdString(pattern), o, filter);
    }

    CScopedMessageRecorder m_messages;
    ScratchDir m_dir;
    CVaultDocument m_vault{m_dir, "sample", "carol", "S3cret!pass"};
    CSearchMachine m_machine;
    std::unique_ptr<CExpected> m_expected;
};

const char* const kWords[] = {"carol", "example",     "café",   "smith", "visa",
                              "apt",   "springfield", "ivoire", "62701", "keys",
                              ".bin",  "e",           "two",    "zzz",   ""};

TEST_F(SearchTraversalTest, EachFieldOptionFindsWhatTheManifestHoldsInThatField) {
    const std::pair<const char*, bool OPTIONS::*> options[] = {
        {"name", &OPTIONS::name},
        {"login", &OPTIONS::login},
        {"comments", &OPTIONS::comments},
        {"url", &OPTIONS::url},
        {"cardholder", &OPTIONS::cardholder},
        {"filename", &OPTIONS::filename},
        {"address", &OPTIONS::address},
    };
    int nonEmpty = 0;
    for (const auto& [label, option] : options) {
        for (const char* word : kWords) {
            const std::vector<int> expected = Expect(1, word, Only(option), 0);
            EXPECT_EQ(Run(1, word, Only(option), 0), expected) << label << " / " << word;
            nonEmpty += !expected.empty();
        }
    }
    // The words were chosen so that most combinations find something.
    EXPECT_GT(nonEmpty, 25);
    for (const char* word : kWords)
        EXPECT_EQ(Run(1, word, All(), 0), Expect(1, word, All(), 0)) << word;
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(SearchTraversalTest, TypeFiltersRestrictTheRecordsListed) {
    for (int filter = 0; filter <= 5; ++filter)
        for (const char* word : {"", "e", "example"})
            EXPECT_EQ(Run(1, word, All(), filter), Expect(1, word, All(), filter))
                << "filter " << filter << " / " << word;

    // "Password" also lists the URL records; "URL (Web Link)" only those.
    const std::vector<int> passwords = Run(1, "", All(), CSearchMachine::kPasswordType);
    EXPECT_NE(std::find(passwords.begin(), passwords.end(), 17), passwords.end());
    EXPECT_NE(std::find(passwords.begin(), passwords.end(), 11), passwords.end());
    EXPECT_EQ(Run(1, "", All(), CSearchMachine::kUrlType), (std::vector<int>{18, 17}));
    EXPECT_EQ(Run(1, "", All(), CSearchMachine::kNoteType), (std::vector<int>{23, 21, 22}));
}

TEST_F(SearchTraversalTest, StartFolderAndSubfoldersChooseTheNodesVisited) {
    OPTIONS flat = All();
    flat.subfolders = false;
    for (int start : {1, 2, 5, 6, 7, 8, 9, 11, 999}) {
        EXPECT_EQ(Run(start, "", All(), 0), Expect(start, "", All(), 0)) << start;
        EXPECT_EQ(Run(start, "", flat, 0), Expect(start, "", flat, 0)) << start;
    }
    // Depth first, in pre-order, the start folder itself never tested.
    EXPECT_EQ(Run(5, "", All(), 0), (std::vector<int>{15, 18, 25, 12}));
    EXPECT_EQ(Run(5, "", flat, 0), (std::vector<int>{12}));
    // The root's children are all folders, and folders are never listed.
    EXPECT_TRUE(Run(1, "", flat, 0).empty());
    // The recycle bin is a child of the root.
    const std::vector<int> all = Run(1, "", All(), 0);
    EXPECT_NE(std::find(all.begin(), all.end(), 16), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), 23), all.end());
}

TEST(SearchMatchTest, TheStateOfACardIsNoAddressFieldAndFoldersNeverMatch) {
    TComPtr<ICommonProperties> card = CreateObjectAs<ICommonProperties>(CLSID_CreditCardItem);
    TComPtr<ICommonProperties> folder = CreateObjectAs<ICommonProperties>(CLSID_Folder);
    ASSERT_TRUE(card && folder);
    card.As<ICreditCardProperties>()->SetState("Texas");
    card.As<ICreditCardProperties>()->SetZip("75001");
    folder->SetName("Texas");

    CSearchMachine::CRITERIA criteria;
    criteria.pattern.SetPattern("texas");
    criteria.options = All();
    EXPECT_FALSE(CSearchMachine::MatchRecord(card.Get(), criteria));
    EXPECT_FALSE(CSearchMachine::MatchRecord(folder.Get(), criteria));
    criteria.pattern.SetPattern("750");
    EXPECT_TRUE(CSearchMachine::MatchRecord(card.Get(), criteria));
    criteria.typeFilter = 6;
    EXPECT_FALSE(CSearchMachine::MatchRecord(card.Get(), criteria)) << "an unknown type";
}

} // namespace
