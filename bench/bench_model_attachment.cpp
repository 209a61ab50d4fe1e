// Storing and reading back one large attachment: throughput each way and how much the
// process's peak memory grows during each transfer (parts must stream, not accumulate).

#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "security/Autorizator.h"
#include "security/LoginText.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kFileBytes = 100u * 1024 * 1024;

class CFixedLogin : public ILoginDialog {
public:
    bool DoModal(const std::string& path, const CHECK& check, void*) override {
        return check(path, "carol", PasswordKeyTexts("S3cret!pass"));
    }
};

// A value in kB from /proc/self/status ("VmHWM", "VmRSS").
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

// Lets VmHWM start again from the current RSS, so the next peak belongs to the next step.
bool ResetPeak() {
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

struct TRANSFER {
    double seconds = 0;
    long peakGrowthKb = 0;
};

template <class F> TRANSFER Measure(F&& work) {
    // Memory freed by the step before goes back first, so it cannot hide this step's needs.
    ::malloc_trim(0);
    bool reset = ResetPeak();
    long before = reset ? StatusKb("VmRSS") : StatusKb("VmHWM");
    auto start = std::chrono::steady_clock::now();
    bool ok = work();
    auto end = std::chrono::steady_clock::now();
    TRANSFER result;
    result.seconds = std::chrono::duration<double>(end - start).count();
    result.peakGrowthKb = StatusKb("VmHWM") - before;
    if (!ok)
        result.seconds = -1;
    return result;
}

void BM_AttachmentRoundTrip(benchmark::State& state) {
    CScopedMessageRecorder messages;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bench-attachment-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path vault = dir / "bench.tpx";
    std::filesystem::copy_file(std::filesystem::path(TX_FIXTURES_DIR) / "vaults" / "sample.tpx",
                               vault, std::filesystem::copy_options::overwrite_existing);
    const std::filesystem::path source = dir / "source.bin";
    const std::filesystem::path target = dir / "target.bin";
    {
        std::ofstream out(source, std::ios::binary);
        std::vector<char> block(1 << 20);
        std::uint32_t x = 12345;
        for (std::size_t written = 0; written < kFileBytes; written += block.size()) {
            for (char& c : block) {
                x = x * 1103515245u + 12345u;
                c = static_cast<char>(x >> 24);
            }
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }

    CFixedLogin login;
    CTxDoc doc;
    doc.SetLoginDialog(&login);
    if (!doc.OpenDataFile(vault.string())) {
        state.SkipWithError("cannot open the vault");
        return;
    }
    const int id = doc.CreateNewObject(CLSID_FileItem, kRootFolderId, "Big file");
    const double megabytes = static_cast<double>(kFileBytes) / (1024.0 * 1024.0);

    for (auto _ : state) {
        TRANSFER store = Measure(
            [&] { return CFileParts::StoreFile(source.string(), id, doc.GetTresorix().Get()); });
        TRANSFER load = Measure(
            [&] { return CFileParts::SaveFileTo(target.string(), id, doc.GetTresorix().Get()); });
        if (store.seconds < 0 || load.seconds < 0 ||
            std::filesystem::file_size(target) != kFileBytes) {
            for (const auto& message : messages.Messages())
                std::fprintf(stderr, "%s\n", message.text.c_str());
            state.SkipWithError("transfer failed");
            break;
        }
        state.SetIterationTime(store.seconds + load.seconds);
        state.counters["store_MB_per_s"] = megabytes / store.seconds;
        state.counters["load_MB_per_s"] = megabytes / load.seconds;
        state.counters["store_peak_growth_MB"] = store.peakGrowthKb / 1024.0;
        state.counters["load_peak_growth_MB"] = load.peakGrowthKb / 1024.0;
        std::printf(
            "100 MB attachment: store %.1f MB/s (peak memory +%.1f MB), read back %.1f MB/s "
            "(peak memory +%.1f MB)\n",
            megabytes / store.seconds, store.peakGrowthKb / 1024.0, megabytes / load.seconds,
            load.peakGrowthKb / 1024.0);
    }
    doc.CloseContents();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

BENCHMARK(BM_AttachmentRoundTrip)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
