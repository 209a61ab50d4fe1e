// Logging in to the big fixture vault and loading every record of its tree (3,000 records
// decrypted and parsed): the work between pressing OK in the login dialog and a full tree.

#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "security/Login.h"
#include "security/LoginText.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kUsername = "dave";
const std::string kPassword = "big";

// A private copy, since opening a data file may write to it.
std::string VaultCopy() {
    static const std::string path = [] {
        auto source = std::filesystem::path(TX_FIXTURES_DIR) / "vaults" / "big.tpx";
        auto target = std::filesystem::temp_directory_path() / "bench_model_login.tpx";
        std::filesystem::copy_file(source, target,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_write);
        return target.string();
    }();
    return path;
}

int LoadTree(ITresorix* tresorix) {
    int records = 0;
    std::vector<TComPtr<ITreeItem>> pending{MakeTreeItem(tresorix, kRootFolderId)};
    while (!pending.empty()) {
        TComPtr<ITreeItem> node = std::move(pending.back());
        pending.pop_back();
        TComPtr<ICommonProperties> record = GetCommonProperties(node->GetData());
        if (!record)
            continue;
        ++records;
        // Records hang below folders only; the views ask folders for their children.
        if (!record->IsFolder())
            continue;
        TComPtr<ITreeIterator> children = node->GetIterator(ITreeItem::kChildren);
        for (auto child = children->First(); child; child = children->Next())
            pending.push_back(std::move(child));
    }
    return records;
}

void BM_LoginAndLoadEveryRecord(benchmark::State& state) {
    const std::string path = VaultCopy();
    CScopedMessageRecorder messages;
    int records = 0;
    for (auto _ : state) {
        LOGIN_MATCH match;
        if (!CheckTypedLogin(path, kUsername, kPassword, &match)) {
            state.SkipWithError("login refused");
            return;
        }
        TComPtr<ITresorix> tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
        tresorix->Open(path);
        tresorix->SetUserName(match.username);
        tresorix->SetPassword(match.keyText);
        tresorix->SetAuthorised(true);
        records = LoadTree(tresorix.Get());
        tresorix->Close();
    }
    state.counters["records"] = records;
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(records),
                                                     benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoginCheckOnly(benchmark::State& state) {
    const std::string path = VaultCopy();
    const std::string key = MakeKeyText(kPassword);
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckLogin(path, kUsername, key));
}

} // namespace

BENCHMARK(BM_LoginAndLoadEveryRecord)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoginCheckOnly)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
