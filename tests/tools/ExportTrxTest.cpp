#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "model/KivCustomFields.h"
#include "platform/MessageBox.h"
#include "security/Login.h"
#include "security/MD5Checksum.h"
#include "tools/ReportOutputTrx.h"

#include <fstream>
#include <map>
#include <sys/stat.h>

namespace {

using namespace txexport;

// The names of the children of node id, sorted, with their ids.
std::map<std::string, int> Children(ITresorix* tresorix, int id) {
    std::map<std::string, int> children;
    TComPtr<ITreeIterator> it = MakeTreeItem(tresorix, id)->GetIterator(ITreeItem::kChildren);
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next()) {
        TComPtr<ICommonProperties> record = GetCommonProperties(child->GetData());
        children[record ? record->GetName() : "<none>"] = child->GetID();
    }
    return children;
}

std::vector<std::string> Names(const std::map<std::string, int>& children) {
    std::vector<std::string> names;
    for (const auto& [name, id] : children)
        names.push_back(name);
    return names;
}

std::string SavedContents(ITresorix* tresorix, int id, const std::filesystem::path& path) {
    TComPtr<IFileProperties> file = GetFileProperties(MakeTreeItem(tresorix, id)->GetData());
    EXPECT_TRUE(file);
    if (!file || !file->SaveFileTo(path.string(), id, tresorix))
        return {};
    return txtest::ReadFile(path);
}

class ExportTrxTest : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        m_source = OpenVault(CopyVault("sample", m_dir), SampleKey());
        ASSERT_TRUE(m_source);
        ASSERT_TRUE(m_tree.Fill(m_source.Get(), kRootFolderId));
        m_target = (m_dir / "copy.tpx").string();
    }

    bool Export(const std::string& password = "pw") {
        m_key = CMD5Checksum::GetMD5(password);
        return RunExport(m_source.Get(), m_tree, CTxExport::kTrx, m_target, [&](CTxExport& e) {
            e.SetOptionStrings("eve", m_key, "a hint");
            static_cast<CReportOutputTrx*>(e.GetOutput())
                ->SetTempFolderBase((m_dir / "cache").string());
        });
    }

    TComPtr<ITresorix> OpenCopy() { return OpenVault(m_target, m_key); }

    CScopedSettings m_settings;
    CScopedMessageRecorder m_messages;
    txtest::ScratchDir m_dir;
    TComPtr<ITresorix> m_source;
    CExportCheckTree m_tree;
    std::string m_target;
    std::string m_key;
};

TEST_F(ExportTrxTest, CheckedSubFolderIsReproducedUnderItsCopiedFolder) {
    CheckIds(m_tree, {5, 8});
    ASSERT_TRUE(Export());
    EXPECT_EQ(CheckLogin(m_target, "eve", m_key), 1);
    TComPtr<ITresorix> copy = OpenCopy();
    ASSERT_TRUE(copy);
    const auto root = Children(copy.Get(), kRootFolderId);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"Deleted", "Projekte", "Work VPN"}));
    EXPECT_EQ(root.at("Deleted"), kDeletedFolderId);
    const auto projekte = Children(copy.Get(), root.at("Projekte"));
    EXPECT_EQ(Names(projekte), (std::vector<std::string>{"Backup keys", "Caf\xe9 Cr\xe8me"}));
    EXPECT_TRUE(Children(copy.Get(), projekte.at("Caf\xe9 Cr\xe8me")).empty())
        << "an unchecked folder is copied without its contents";

    TComPtr<IPasswordProperties> vpn =
        GetPasswordProperties(MakeTreeItem(copy.Get(), root.at("Work VPN"))->GetData());
    ASSERT_TRUE(vpn);
    EXPECT_EQ(vpn->GetLogin(), "csmith");
    EXPECT_EQ(vpn->GetPassword(), "V9n#xx!q");
    CKivCustomFields fields;
    vpn.As<ICommonProperties>()->GetCustomFields(fields);
    ASSERT_EQ(fields.GetCount(), 2);
    EXPECT_EQ(fields.GetAt(1).masked, 1);

    const std::string original = SavedContents(m_source.Get(), 25, m_dir / "a.bin");
    EXPECT_EQ(original.size(), 700000u);
    EXPECT_EQ(SavedContents(copy.Get(), projekte.at("Backup keys"), m_dir / "b.bin"), original);
    EXPECT_TRUE(FolderEntries(m_dir / "cache" / "TRX10").empty()) << "temporary copies removed";
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(ExportTrxTest, UncheckedParentPutsTheItemsIntoTheNewRoot) {
    CheckIds(m_tree, {8, 2});
    ASSERT_TRUE(Export());
    TComPtr<ITresorix> copy = OpenCopy();
    ASSERT_TRUE(copy);
    EXPECT_EQ(Names(Children(copy.Get(), kRootFolderId)),
              (std::vector<std::string>{"Backup keys", "Caf\xe9 Cr\xe8me", "Deleted"}));
    EXPECT_EQ(Names(Children(copy.Get(), kDeletedFolderId)),
              (std::vector<std::string>{"Old Hotmail", "Old stuff"}));
}

TEST_F(ExportTrxTest, EmptyPasswordGivesAFileThatOpensWithIt) {
    CheckIds(m_tree, {3});
    ASSERT_TRUE(Export(""));
    EXPECT_EQ(m_key, CMD5Checksum::GetMD5(""));
    EXPECT_EQ(CheckLogin(m_target, "eve", m_key), 1);
    TComPtr<ITresorix> copy = OpenCopy();
    EXPECT_EQ(Names(Children(copy.Get(), kRootFolderId)),
              (std::vector<std::string>{"Deleted", "Gmail"}));
    struct stat info;
    ASSERT_EQ(::stat(m_target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ExportTrxTest, SourceRecordsStayUntouched) {
    CheckIds(m_tree, {6});
    TComPtr<ICommonProperties> before = GetItemProperties(m_source.Get(), 13);
    FILETIME64 modified = 0;
    before->GetModified(modified);
    ASSERT_TRUE(Export());
    FILETIME64 after = 0;
    GetItemProperties(m_source.Get(), 13)->GetModified(after);
    EXPECT_EQ(after, modified);
    TComPtr<ITresorix> copy = OpenCopy();
    EXPECT_EQ(Children(copy.Get(), kRootFolderId).size(), 4u);
}

TEST_F(ExportTrxTest, AnOldFileIsMovedAsideAndAFailedExportLeavesNothing) {
    CheckIds(m_tree, {3});
    { std::ofstream(m_target) << "old"; }
    ASSERT_TRUE(Export());
    EXPECT_EQ(txtest::ReadFile(m_target + ".bak01"), "old");

    m_target = (m_dir / "missing" / "copy.tpx").string();
    EXPECT_FALSE(Export());
    ASSERT_FALSE(m_messages.Messages().empty());
    EXPECT_EQ(m_messages.Messages().back().text, "Cannot create or open file " + m_target);
    EXPECT_EQ(m_messages.Messages().back().caption, "Export");
    EXPECT_EQ(FolderEntries(m_dir.Path()),
              (std::vector<std::string>{"copy.tpx", "copy.tpx.bak01", "sample.tpx"}));
}

TEST_F(ExportTrxTest, FullDiskLeavesNoHalfWrittenFile) {
    CascadeCheck(m_tree, m_tree.GetRootNode(), true);
    { std::ofstream(m_target) << "old"; }
    // Writes beyond the limit fail as on a full disk: the first limit stops the temporary
    // copies of the attachments, the second the new data file itself.
    for (std::uint64_t bytes : {256u * 1024, 900u * 1024}) {
        m_messages.Clear();
        bool ok = true;
        {
            CScopedFileSizeLimit limit(bytes);
            ok = Export();
        }

        EXPECT_FALSE(ok) << bytes;
        EXPECT_FALSE(m_messages.Messages().empty()) << bytes;
        EXPECT_EQ(txtest::ReadFile(m_target), "old");
        EXPECT_EQ(FolderEntries(m_dir.Path()),
                  (std::vector<std::string>{"cache", "copy.tpx", "sample.tpx"}));
        EXPECT_TRUE(FolderEntries(m_dir / "cache" / "TRX10").empty());
    }
}

} // namespace
