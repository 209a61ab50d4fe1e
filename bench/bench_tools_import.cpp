// The CSV import of 10,000 rows of six columns into a fresh copy of the sample vault: reading
// every row into records and storing them all in one transaction. Goal: 5 s.

#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "security/Autorizator.h"
#include "security/LoginText.h"
#include "tools/CsvImport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kRows = 10000;

class CFixedLogin : public ILoginDialog {
public:
    bool DoModal(const std::string& path, const CHECK& check, void*) override {
        return check(path, "carol", PasswordKeyTexts("S3cret!pass"));
    }
};

void BM_ImportRows(benchmark::State& state) {
    CScopedMessageRecorder messages;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bench-import-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path csv = dir / "rows.csv";
    {
        std::ofstream out(csv, std::ios::binary);
        for (int i = 0; i < kRows; ++i)
            out << "Account " << i << ";user" << i << ";pw-" << i * 7919 << ";user" << i
                << "@example.org;https://site" << i << ".example.org/login;imported row " << i
                << "\n";
    }
    const std::filesystem::path vaultPath = dir / "sample.tpx";
    CFixedLogin login;
    int stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(std::filesystem::path(TX_FIXTURES_DIR) / "vaults" / "sample.tpx",
                                   vaultPath, std::filesystem::copy_options::overwrite_existing);
        CTxDoc doc;
        doc.SetLoginDialog(&login);
        doc.SetTempFolderBase((dir / "cache").string());
        if (!doc.OpenDataFile(vaultPath.string())) {
            state.SkipWithError("cannot open sample.tpx");
            break;
        }
        CCsvImport import(&doc);
        import.GetReader().Open(csv.string());
        for (int t = 0; t < CCsvImport::kTargetCount; ++t)
            import.SetColumn(t, t);
        import.SetTargetFolder(6);
        state.ResumeTiming();

        const int read = import.ReadAll();
        stored = import.Commit();

        state.PauseTiming();
        if (read != kRows || stored != kRows)
            state.SkipWithError("not every row was imported");
        doc.CloseContents();
        state.ResumeTiming();
    }
    state.counters["rows"] = stored;
    state.counters["rows_per_s"] =
        benchmark::Counter(static_cast<double>(stored) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

BENCHMARK(BM_ImportRows)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
