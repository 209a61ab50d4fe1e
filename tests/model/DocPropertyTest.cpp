#include "model/DocTestSupport.h"
#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/ModelTestUtil.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using txtest::PatternBytes;

struct NODE {
    int parent = 0;
    std::string record;
    std::string contents;
    bool operator==(const NODE&) const = default;
};

struct SNAPSHOT {
    std::map<int, NODE> nodes;
    std::vector<int> favorites;
    bool operator==(const SNAPSHOT&) const = default;
};

// Everything the document shows of the file: each node's parent, its record as serialised
// and a file record's contents, plus the favorites.
SNAPSHOT Take(CTxDoc& doc, const std::filesystem::path& scratch) {
    SNAPSHOT snapshot;
    for (const auto& [id, parent] : txtest::ReadParents(doc)) {
        NODE node;
        node.parent = parent;
        if (TComPtr<ICommonProperties> record = doc.GetRecord(id)) {
            node.record = txtest::Serialise(record.Get());
            CLSID clsid;
            record->GetClassID(clsid);
            if (clsid == CLSID_FileItem) {
                std::filesystem::path out = scratch / "snapshot.bin";
                EXPECT_TRUE(CFileParts::SaveFileTo(out.string(), id, doc.GetTresorix().Get()));
                node.contents = txtest::Sha256Hex(txtest::ReadFile(out));
            }
        }
        snapshot.nodes[id] = node;
    }
    snapshot.favorites = doc.GetFavorites().GetEntries();
    return snapshot;
}

// Part rows whose owner is gone would be picked up by a later record with the same id.
void ExpectNoStrayParts(CTxDoc& doc, const std::map<int, int>& parents) {
    CursorPtr cursor(doc.GetDatabase()->Query("select id_parent from tresorix_data"));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr row(raw);
        FieldPtr field(row->GetField(0));
        EXPECT_EQ(parents.count(field->AsInt()), 1u) << "stray part of " << field->AsInt();
    }
}

class DocProperty : public txtest::DocFixture {};

TEST_F(DocProperty, RandomOperationsKeepTheTreeAndSurviveALogin) {
    TX_REQUIRE_FIXTURES();
    ASSERT_TRUE(OpenSample());
    m_messages.SetDefaultAnswer(IDYES);
    std::mt19937 random(20240607);
    auto pick = [&](const auto& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    const std::vector<std::size_t> sizes{0, 1, 999, CFileParts::kPartSize,
                                         CFileParts::kPartSize + 1};
    const std::vector<std::string> names{"Item", "item", "Folder", "Caf\xc3\xa9"};
    const std::filesystem::path source = m_dir / "upload.bin";

    // The kind of every node, kept alongside so a step need not read every record.
    enum KIND { kFixed, kFolder, kFile, kOther };
    std::map<int, KIND> kinds;
    auto kindOf = [](const CLSID& clsid) {
        if (clsid == CLSID_Folder)
            return kFolder;
        return clsid == CLSID_FileItem ? kFile : kOther;
    };
    for (const auto& [id, parent] : txtest::ReadParents(m_doc)) {
        TComPtr<ICommonProperties> record = m_doc.GetRecord(id);
        ASSERT_TRUE(record) << id;
        CLSID clsid;
        record->GetClassID(clsid);
        kinds[id] = record->CanMove() ? kindOf(clsid) : kFixed;
    }

    for (int step = 0; step < 2000; ++step) {
        std::map<int, int> parents = txtest::ReadParents(m_doc);
        std::vector<int> all, movable, folders, files;
        for (const auto& [id, parent] : parents) {
            ASSERT_EQ(kinds.count(id), 1u) << id;
            KIND kind = kinds[id];
            all.push_back(id);
            if (kind != kFixed)
                movable.push_back(id);
            if (kind == kFolder || kind == kFixed)
                folders.push_back(id);
            if (kind == kFile)
                files.push_back(id);
        }
        int op = std::uniform_int_distribution<int>(0, 99)(random);
        if (op < 30) {
            static const CLSID classes[] = {CLSID_Folder, CLSID_PasswordItem, CLSID_Note,
                                            CLSID_FileItem};
            const CLSID& clsid = classes[random() % 4];
            int id = m_doc.CreateNewObject(clsid, pick(folders), pick(names));
            EXPECT_GT(id, 0);
            kinds[id] = kindOf(clsid);
        } else if (op < 55 && !movable.empty()) {
            int id = pick(movable);
            int target = pick(folders);
            bool allowed = m_doc.IsValidMoveTarget({id}, target);
            EXPECT_EQ(m_doc.MoveItem(id, target), allowed);
        } else if (op < 67 && !movable.empty()) {
            int source = pick(movable);
            int copy = m_doc.CopyItem(source);
            EXPECT_GT(copy, 0);
            kinds[copy] = kinds[source];
        } else if (op < 77 && !movable.empty()) {
            int id = pick(movable);
            EXPECT_EQ(m_doc.DeleteItems({id}), m_doc.IsValidMoveTarget({id}, kDeletedFolderId));
        } else if (op < 78) {
            EXPECT_TRUE(m_doc.EmptyRecycleBin());
            std::map<int, int> left = txtest::ReadParents(m_doc);
            std::erase_if(kinds, [&](const auto& entry) { return !left.count(entry.first); });
        } else if (op < 90 && !files.empty()) {
            txtest::WriteFile(source, PatternBytes(sizes[random() % sizes.size()], step));
            EXPECT_TRUE(
                CFileParts::StoreFile(source.string(), pick(files), m_doc.GetTresorix().Get()));
        } else if (op < 95) {
            m_doc.AddFavorite(pick(all));
        } else if (m_doc.GetFavorites().GetCount() > 0) {
            m_doc.RemoveFavorite(pick(m_doc.GetFavorites().GetEntries()));
        }
        if (step % 100 == 99 || HasFailure()) {
            std::map<int, int> now = txtest::ReadParents(m_doc);
            txtest::ExpectTree(now);
            ExpectNoStrayParts(m_doc, now);
            ASSERT_FALSE(HasFailure()) << "after step " << step;
        }
    }
    for (const auto& message : m_messages.Messages())
        EXPECT_EQ(message.flags & MB_ICONSTOP, 0u) << message.text;

    SNAPSHOT held = Take(m_doc, m_dir.Path());
    // The sequence really grew the tree and left file records in it.
    EXPECT_GT(held.nodes.size(), 100u);
    EXPECT_GT(std::count_if(held.nodes.begin(), held.nodes.end(),
                            [](const auto& n) { return n.second.contents.size() > 0; }),
              10);
    ASSERT_TRUE(m_doc.Logout());
    std::unique_ptr<CTxDoc> fresh = OpenFresh();
    ASSERT_TRUE(fresh->IsAuthorised());
    SNAPSHOT read = Take(*fresh, m_dir.Path());
    EXPECT_EQ(read.favorites, held.favorites);
    EXPECT_EQ(read.nodes.size(), held.nodes.size());
    EXPECT_TRUE(read == held);
    fresh->CloseContents();
}

} // namespace
