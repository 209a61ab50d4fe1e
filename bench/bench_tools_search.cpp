// The search over every record of big.tpx (3000 records in 40 folders) with every field option
// on and a pattern that matches nothing, so that every field of every record is tried: once
// with the connection opened by the search itself (cold), once with the records in that
// connection's cache (a repeated search). Goals: 150 ms cold, 20 ms cached.

#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "security/Autorizator.h"
#include "security/LoginText.h"
#include "tools/SearchMachine.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

class CFixedLogin : public ILoginDialog {
public:
    bool DoModal(const std::string& path, const CHECK& check, void*) override {
        return check(path, "dave", PasswordKeyTexts("big"));
    }
};

// The big vault copied aside with a document logged in to it.
class CBigVault {
public:
    CBigVault() {
        m_dir =
            std::filesystem::temp_directory_path() / ("bench-search-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        m_path = m_dir / "big.tpx";
        std::filesystem::copy_file(std::filesystem::path(TX_FIXTURES_DIR) / "vaults" / "big.tpx",
                                   m_path, std::filesystem::copy_options::overwrite_existing);
        // A file not written for a while, so the search may keep its connection.
        std::filesystem::last_write_time(m_path, std::filesystem::file_time_type::clock::now() -
                                                     std::chrono::hours(1));
        m_doc.SetLoginDialog(&m_login);
        m_doc.SetTempFolderBase((m_dir / "cache").string());
        m_opened = m_doc.OpenDataFile(m_path.string());
    }
    ~CBigVault() {
        m_doc.CloseContents();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    bool Opened() const { return m_opened; }
    CTxDoc& Doc() { return m_doc; }

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_path;
    CFixedLogin m_login;
    CTxDoc m_doc;
    bool m_opened = false;
};

void Configure(CSearchMachine& machine, CTxDoc& doc, const std::string& pattern) {
    machine.SetDocument(&doc);
    machine.SetOptions(CSearchMachine::OPTIONS{true, true, true, true, true, true, true, true});
    machine.SetTypeFilter(CSearchMachine::kAnyType);
    machine.SetStartFolder(1);
    machine.SetPattern(pattern);
}

// CPU time of the whole process (the worker included), in ms: the machine is shared with other
// work, and the wall clock shows that as much as the search.
double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::size_t RunOnce(CSearchMachine& machine, CTxDoc& doc) {
    doc.SetSearchResults({});
    machine.Start();
    machine.Wait();
    machine.DeliverPending();
    return doc.GetSearchResults().size();
}

void BM_SearchOwnConnection(benchmark::State& state) {
    CScopedMessageRecorder messages;
    CBigVault vault;
    if (!vault.Opened()) {
        state.SkipWithError("cannot open big.tpx");
        return;
    }
    CSearchMachine machine;
    Configure(machine, vault.Doc(), state.range(0) ? "" : "no-record-holds-this");
    std::size_t results = 0;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        machine.CloseConnection();
        state.ResumeTiming();
        const double before = ProcessCpuMs();
        results = RunOnce(machine, vault.Doc());
        cpu += ProcessCpuMs() - before;
    }
    state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations());
    state.counters["results"] = static_cast<double>(results);
    state.counters["opens"] = machine.GetConnectionOpens();
    if (!messages.Messages().empty())
        state.SkipWithError(messages.Messages().front().text.c_str());
}

void BM_SearchCachedRecords(benchmark::State& state) {
    CScopedMessageRecorder messages;
    CBigVault vault;
    if (!vault.Opened()) {
        state.SkipWithError("cannot open big.tpx");
        return;
    }
    CSearchMachine machine;
    Configure(machine, vault.Doc(), state.range(0) ? "" : "no-record-holds-this");
    RunOnce(machine, vault.Doc());
    std::size_t results = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessCpuMs();
        results = RunOnce(machine, vault.Doc());
        cpu += ProcessCpuMs() - before;
    }
    state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations());
    state.counters["results"] = static_cast<double>(results);
    state.counters["opens"] = machine.GetConnectionOpens();
    if (machine.GetConnectionOpens() != 1)
        state.SkipWithError("the connection was not kept");
}

// Argument 0: a pattern that matches nothing (every field tried); 1: the empty pattern (every
// record listed at its first field).
BENCHMARK(BM_SearchOwnConnection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchCachedRecords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
