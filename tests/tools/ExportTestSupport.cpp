#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "security/MD5Checksum.h"
#include "storage/CreatorSQLite.h"

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

namespace txexport {

std::string SampleKey() {
    return CMD5Checksum::GetMD5("S3cret!pass");
}

std::filesystem::path CopyVault(const std::string& vault, const txtest::ScratchDir& dir) {
    const std::filesystem::path target = dir / (vault + ".tpx");
    std::filesystem::copy_file(txtest::FixturesDir() / "vaults" / (vault + ".tpx"), target,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    return target;
}

TComPtr<ITresorix> OpenVault(const std::filesystem::path& path, const std::string& keyText) {
    TComPtr<ITresorix> tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    if (!tresorix || !tresorix->Open(path.string()))
        return {};
    tresorix->SetPassword(keyText);
    tresorix->SetAuthorised(true);
    return tresorix;
}

TComPtr<ITresorix> NewVault(const std::filesystem::path& path, const std::string& keyText) {
    CCreatorSQLite creator;
    creator.SetFileName(path.string());
    creator.SetUserName("tester");
    creator.SetKey(keyText);
    if (!creator.Create())
        return {};
    return OpenVault(path, keyText);
}

int AddRecord(ITresorix* tresorix, int parent, const CLSID& clsid, const std::string& name,
              const std::function<void(ICommonProperties*)>& configure) {
    TComPtr<ITreeItem> node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, tresorix);
    if (!node || !node->Insert())
        return 0;
    if (parent > 0)
        MakeTreeItem(tresorix, parent)->AddChild(node.Get());
    TComPtr<ICommonProperties> record = CreateObjectAs<ICommonProperties>(clsid);
    record->SetName(name);
    if (configure)
        configure(record.Get());
    node->SetData(record.Get());
    return node->GetID();
}

CScopedFileSizeLimit::CScopedFileSizeLimit(std::uint64_t bytes) {
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

CScopedFileSizeLimit::~CScopedFileSizeLimit() {
    rlimit limit;
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_previous;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}

void CheckIds(CExportCheckTree& tree, const std::vector<int>& ids) {
    for (int id : ids) {
        const auto node = tree.FindNode(id);
        ASSERT_NE(node, IExportTree::kNoNode) << "no node " << id;
        tree.SetCheck(node, true);
    }
}

bool RunExport(ITresorix* tresorix, IExportTree& tree, int type, const std::string& path,
               const std::function<void(CTxExport&)>& prepare) {
    CTxExport exporter(tresorix);
    exporter.SetType(type);
    exporter.SetDataSource(std::make_unique<CExportDataSource>(&tree));
    exporter.SetFileName(path);
    if (prepare)
        prepare(exporter);
    return exporter.Run();
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    const std::string text = txtest::ReadFile(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        EXPECT_TRUE(lf > start && text[lf - 1] == '\r') << "bare line feed at " << lf;
        lines.push_back(text.substr(start, lf - start - (lf > start ? 1 : 0)));
        start = lf + 1;
    }
    return lines;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace txexport
