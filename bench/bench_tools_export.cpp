// Exporting every record of the big fixture vault (3,000 records in 40 folders, 152 attached
// files) with all 22 columns: to CSV, HTML and XML, and into a new data file. The record cache
// is emptied before each run, so every record is read and decrypted as on the first export
// after a login.

#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "security/MD5Checksum.h"
#include "tools/ExportCheckTree.h"
#include "tools/ExportColumns.h"
#include "tools/ReportOutputTrx.h"
#include "tools/TxExport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

const std::filesystem::path& WorkFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "bench_tools_export";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }();
    return folder;
}

// The vault copy, opened, and its whole tree checked with cascade.
struct VAULT {
    TComPtr<ITresorix> tresorix;
    CExportCheckTree tree;
    std::size_t records = 0;

    VAULT() {
        const auto target = WorkFolder() / "big.tpx";
        std::filesystem::copy_file(std::filesystem::path(TX_FIXTURES_DIR) / "vaults" / "big.tpx",
                                   target, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_write);
        tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
        if (!tresorix || !tresorix->Open(target.string()))
            return;
        tresorix->SetPassword(CMD5Checksum::GetMD5("big"));
        tresorix->SetAuthorised(true);
        tree.Fill(tresorix.Get(), kRootFolderId);
        CascadeCheck(tree, tree.GetRootNode(), true);
        records = tree.GetCount() - 1;
    }
};

VAULT& Vault() {
    static VAULT vault;
    return vault;
}

void RunExport(benchmark::State& state, int type, const char* name) {
    VAULT& vault = Vault();
    if (!vault.tresorix || vault.records == 0) {
        state.SkipWithError("big.tpx could not be opened");
        return;
    }
    CScopedMessageRecorder messages;
    const std::string path = (WorkFolder() / name).string();
    std::vector<int> columns;
    for (int i = 0; i < kColumnCount; ++i)
        columns.push_back(i);
    for (auto _ : state) {
        state.PauseTiming();
        vault.tresorix->ClearCache();
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".bak01");
        state.ResumeTiming();
        CTxExport exporter(vault.tresorix.Get());
        exporter.SetType(type);
        exporter.SetDataSource(std::make_unique<CExportDataSource>(&vault.tree));
        exporter.SetFileName(path);
        exporter.SetReportInfo({"Big", {}, {}});
        exporter.SetOptionStrings("dave", CMD5Checksum::GetMD5("copy"), "");
        exporter.GetOutput()->SetColumns(columns, CExportColumns::TitleId(kColumnName));
        if (auto* trx = dynamic_cast<CReportOutputTrx*>(exporter.GetOutput()))
            trx->SetTempFolderBase((WorkFolder() / "cache").string());
        if (!exporter.Run()) {
            state.SkipWithError("the export failed");
            return;
        }
    }
    if (!messages.Messages().empty())
        state.SkipWithError(messages.Messages().front().text.c_str());
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(vault.records),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void BM_ExportCsv(benchmark::State& state) {
    RunExport(state, CTxExport::kCsv, "big.csv");
}
void BM_ExportHtml(benchmark::State& state) {
    RunExport(state, CTxExport::kHtml, "big.htm");
}
void BM_ExportXml(benchmark::State& state) {
    RunExport(state, CTxExport::kXml, "big.xml");
}
void BM_ExportTrx(benchmark::State& state) {
    RunExport(state, CTxExport::kTrx, "big-copy.tpx");
}

BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportHtml)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportXml)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportTrx)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
