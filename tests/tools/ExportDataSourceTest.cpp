#include "ExportTestSupport.h"

#include "tools/ExportDataSource.h"

#include <algorithm>
#include <ostream>

namespace {

using namespace txexport;
using HNODE = IExportTree::HNODE;

// Root 1 with folders 10 (records 11, 12, sub-folder 13 with record 14) and 20 (record 21).
struct SMALLTREE {
    CExportCheckTree tree;
    HNODE root, f10, r11, r12, f13, r14, f20, r21;
    SMALLTREE() {
        root = tree.AddNode(IExportTree::kNoNode, 1);
        f10 = tree.AddNode(root, 10);
        f20 = tree.AddNode(root, 20);
        r11 = tree.AddNode(f10, 11);
        r12 = tree.AddNode(f10, 12);
        f13 = tree.AddNode(f10, 13);
        r14 = tree.AddNode(f13, 14);
        r21 = tree.AddNode(f20, 21);
    }
};

struct GROUPDUMP {
    int id;
    std::vector<int> items;
    bool operator==(const GROUPDUMP&) const = default;
};

std::ostream& operator<<(std::ostream& out, const GROUPDUMP& g) {
    out << g.id << ":";
    for (int i : g.items)
        out << " " << i;
    return out;
}

std::vector<GROUPDUMP> Groups(IExportTree& tree) {
    CExportDataSource source(&tree);
    source.Reset();
    std::vector<GROUPDUMP> groups;
    CExportGroup group;
    while (source.NextGroup(group))
        groups.push_back({group.GetID(), group.GetItems()});
    return groups;
}

TEST(ExportDataSourceTest, CheckedNodesGiveTheirChildrenInBreadthFirstOrder) {
    SMALLTREE t;
    t.tree.SetCheck(t.f13, true);
    t.tree.SetCheck(t.f20, true);
    t.tree.SetCheck(t.root, true);
    EXPECT_EQ(Groups(t.tree), (std::vector<GROUPDUMP>{{1, {10, 20}}, {20, {21}}, {13, {14}}}));
}

TEST(ExportDataSourceTest, ACheckedRecordExportsNothingByItself) {
    SMALLTREE t;
    t.tree.SetCheck(t.r11, true);
    EXPECT_EQ(Groups(t.tree), (std::vector<GROUPDUMP>{{11, {}}}));
    t.tree.SetCheck(t.r11, false);
    EXPECT_TRUE(Groups(t.tree).empty());
}

TEST(ExportDataSourceTest, ResetStartsAgainAndEmptyTreeHasNoGroups) {
    SMALLTREE t;
    t.tree.SetCheck(t.f10, true);
    CExportDataSource source(&t.tree);
    CExportGroup group;
    EXPECT_FALSE(source.NextGroup(group)) << "nothing queued before Reset";
    source.Reset();
    ASSERT_TRUE(source.NextGroup(group));
    EXPECT_FALSE(source.NextGroup(group));
    source.Reset();
    ASSERT_TRUE(source.NextGroup(group));
    EXPECT_EQ(group.GetItems(), (std::vector<int>{11, 12, 13}));

    CExportCheckTree empty;
    EXPECT_TRUE(Groups(empty).empty());
}

TEST(ExportDataSourceTest, CascadeCheckSpreadsDownAndUp) {
    SMALLTREE t;
    CascadeCheck(t.tree, t.root, true);
    for (HNODE n : {t.root, t.f10, t.r11, t.r12, t.f13, t.r14, t.f20, t.r21})
        EXPECT_TRUE(t.tree.GetCheck(n));
    // Every folder once, so each record is exported once.
    EXPECT_EQ(Groups(t.tree).size(), 8u);

    CascadeCheck(t.tree, t.f10, false);
    for (HNODE n : {t.f10, t.r11, t.r12, t.f13, t.r14})
        EXPECT_FALSE(t.tree.GetCheck(n));
    EXPECT_TRUE(t.tree.GetCheck(t.root)) << "unchecking leaves the ancestors";
    EXPECT_TRUE(t.tree.GetCheck(t.r21));

    CascadeCheck(t.tree, t.root, false);
    CascadeCheck(t.tree, t.r14, true);
    for (HNODE n : {t.r14, t.f13, t.f10, t.root})
        EXPECT_TRUE(t.tree.GetCheck(n));
    EXPECT_FALSE(t.tree.GetCheck(t.r11));
    EXPECT_FALSE(t.tree.GetCheck(t.f20));
}

TEST(ExportDataSourceTest, TreeFilledFromTheDataFileShowsTheRecycleBinUnderTheRoot) {
    TX_REQUIRE_FIXTURES();
    CScopedSettings settings;
    txtest::ScratchDir dir;
    TComPtr<ITresorix> vault = OpenVault(CopyVault("sample", dir), SampleKey());
    ASSERT_TRUE(vault);
    CExportCheckTree tree;
    ASSERT_TRUE(tree.Fill(vault.Get(), kRootFolderId));
    EXPECT_EQ(tree.GetCount(), 25u);
    const HNODE root = tree.GetRootNode();
    EXPECT_EQ(tree.GetNodeId(root), kRootFolderId);
    EXPECT_EQ(tree.GetName(root), "My Passwords");
    const HNODE bin = tree.FindNode(kDeletedFolderId);
    EXPECT_EQ(tree.GetParentNode(bin), root);
    EXPECT_EQ(tree.GetName(tree.FindNode(9)), "Caf\xe9 Cr\xe8me");
    EXPECT_EQ(tree.GetNodeId(tree.GetParentNode(tree.FindNode(9))), 8);

    CascadeCheck(tree, root, true);
    std::vector<int> exported;
    for (const GROUPDUMP& g : Groups(tree))
        exported.insert(exported.end(), g.items.begin(), g.items.end());
    std::sort(exported.begin(), exported.end());
    std::vector<int> everyNode;
    for (int id = 2; id <= 25; ++id)
        everyNode.push_back(id);
    EXPECT_EQ(exported, everyNode) << "cascade from the root exports each node once";

    CExportCheckTree none;
    EXPECT_FALSE(none.Fill(vault.Get(), 9999));
}

} // namespace
