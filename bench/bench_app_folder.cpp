// Opening a folder of 1,000 records in the main window: the list refill (records read and
// their texts made), the sort and the first paint of the list; and switching between two such
// folders. The big fixture vault has no folder that large, so a private copy gets two.

#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/PasswordDlg.h"
#include "app/RightFrame.h"
#include "app/TresorixApp.h"
#include "app/TxListModel.h"
#include "app/TxListView.h"
#include "model/Interfaces.h"
#include "model/TransactionScope.h"
#include "model/TxDoc.h"
#include "platform/MemoryProfileStore.h"
#include "platform/MessageBox.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRecordsPerFolder = 1000;

// The program on a private copy of big.tpx, logged in, with two folders of 1,000 records.
struct CBenchApp {
    QTemporaryDir dir;
    CMemoryProfileStore store;
    CScopedMessageRecorder messages;
    std::unique_ptr<CTresorixApp> app;
    int small = 0; // a folder of the fixture, to leave the big ones for
    int folderA = 0;
    int folderB = 0;

    CTxDoc& Doc() { return *app->GetDocument(); }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CMainTreeView& Tree() { return *Frame().Left()->Tree(); }
    CTxListView& List() { return *Frame().Right()->List(); }

    std::string Start();
};

// Fills folder with records named in shuffled order, so the sort has work to do.
bool FillFolder(CTxDoc& doc, int folder, unsigned seed) {
    std::vector<int> order(kRecordsPerFolder);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    const CLSID kinds[] = {CLSID_PasswordItem, CLSID_Note, CLSID_UrlItem, CLSID_CreditCardItem};
    for (int i = 0; i < kRecordsPerFolder; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Entry %04d", order[static_cast<std::size_t>(i)]);
        if (!doc.CreateNewObject(kinds[i % 4], folder, name))
            return false;
    }
    return true;
}

std::string CBenchApp::Start() {
    const QString source = QStringLiteral(TX_FIXTURES_DIR "/vaults/big.tpx");
    const QString vault = dir.filePath(QStringLiteral("big.tpx"));
    if (!QFile::copy(source, vault))
        return "cannot copy big.tpx";
    QFile::setPermissions(vault, QFile::ReadOwner | QFile::WriteOwner);

    SetModalHook([](QDialog& dialog) {
        auto& login = dynamic_cast<CPasswordDlg&>(dialog);
        login.UsernameBox()->setText(QStringLiteral("dave"));
        login.PasswordBox()->setText(QStringLiteral("big"));
        login.accept();
        return login.result();
    });
    CTresorixApp::OPTIONS options;
    options.instanceName =
        QStringLiteral("tx-bench-app-folder-%1").arg(QCoreApplication::applicationPid());
    options.store = &store;
    options.desktopServices = false;
    options.registerTypes = false;
    app = std::make_unique<CTresorixApp>(options);
    const bool started = app->InitInstance({QStringLiteral("tresorix"), vault});
    SetModalHook({});
    if (!started || !app->GetMainFrame() || !Doc().IsAuthorised())
        return "login to big.tpx failed";

    {
        CTransactionScope transaction(*Doc().GetDatabase());
        folderA = Doc().CreateNewObject(CLSID_Folder, kRootFolderId, "Bench A");
        folderB = Doc().CreateNewObject(CLSID_Folder, kRootFolderId, "Bench B");
        if (!folderA || !folderB || !FillFolder(Doc(), folderA, 1) ||
            !FillFolder(Doc(), folderB, 2) || !transaction.Commit())
            return "cannot build the 1,000-record folders";
    }
    // The tree learns of the new folders by a full reload.
    Doc().Refresh();
    Frame().resize(1200, 800);
    QCoreApplication::processEvents();

    // Any folder of the fixture with records serves as the place to come from.
    TComPtr<ITreeIterator> it = Doc().GetNode(kRootFolderId)->GetIterator(ITreeItem::kChildren);
    for (TComPtr<ITreeItem> child = it->First(); child && !small; child = it->Next())
        if (TComPtr<ICommonProperties> record = Doc().GetRecord(child->GetID());
            record && record->IsFolder() && child->GetID() != folderA && child->GetID() != folderB)
            small = child->GetID();
    if (!small)
        return "big.tpx has no folder below the root";
    return {};
}

CBenchApp* g_bench = nullptr;

// Shows folder as a click in the tree does, then paints the list at once.
void ShowAndPaint(CBenchApp& b, int folder) {
    b.Tree().SelectFolder(folder, true);
    QCoreApplication::processEvents();
    b.List().CurrentView()->viewport()->repaint();
}

bool Check(benchmark::State& state, CBenchApp& b, int folder) {
    if (b.Doc().GetCurrentFolder() != folder || b.List().Model().rowCount() != kRecordsPerFolder) {
        state.SkipWithError("the list does not show the 1,000 records");
        return false;
    }
    return true;
}

// First visit of the folder after login: every record is read and decrypted from the file.
void BM_OpenFolderCold(benchmark::State& state) {
    CBenchApp& b = *g_bench;
    for (auto _ : state) {
        state.PauseTiming();
        ShowAndPaint(b, b.small);
        b.Doc().ClearCache();
        state.ResumeTiming();
        ShowAndPaint(b, b.folderA);
        state.PauseTiming();
        const bool ok = Check(state, b, b.folderA);
        state.ResumeTiming();
        if (!ok)
            break;
    }
    state.counters["rows"] = b.List().Model().rowCount();
}

// A folder seen before: the records come from the document's cache.
void BM_OpenFolderCached(benchmark::State& state) {
    CBenchApp& b = *g_bench;
    ShowAndPaint(b, b.folderA);
    for (auto _ : state) {
        state.PauseTiming();
        ShowAndPaint(b, b.small);
        state.ResumeTiming();
        ShowAndPaint(b, b.folderA);
    }
    if (Check(state, b, b.folderA))
        state.counters["rows"] = b.List().Model().rowCount();
}

// Back and forth between the two big folders; one iteration is one switch.
void BM_SwitchBetweenFolders(benchmark::State& state) {
    CBenchApp& b = *g_bench;
    ShowAndPaint(b, b.folderA);
    ShowAndPaint(b, b.folderB);
    bool toA = true;
    for (auto _ : state) {
        ShowAndPaint(b, toA ? b.folderA : b.folderB);
        toA = !toA;
    }
    Check(state, b, toA ? b.folderB : b.folderA);
}

// Re-sorting the shown folder by each column in turn (header clicks), with the repaint.
void BM_SortByColumn(benchmark::State& state) {
    CBenchApp& b = *g_bench;
    ShowAndPaint(b, b.folderA);
    int column = 0;
    for (auto _ : state) {
        b.List().OnHeaderClicked(column);
        b.List().CurrentView()->viewport()->repaint();
        column = (column + 1) % CTxListModel::kColumnCount;
    }
    b.List().OnHeaderClicked(CTxListModel::kName);
    Check(state, b, b.folderA);
}

BENCHMARK(BM_OpenFolderCold)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_OpenFolderCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchBetweenFolders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByColumn)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QDir().mkpath(home.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("runtime")).toLocal8Bit());
    }
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    int rc = 0;
    {
        CBenchApp bench;
        const std::string error = bench.Start();
        if (!error.empty()) {
            std::fprintf(stderr, "bench_app_folder: %s\n", error.c_str());
            rc = 1;
        } else {
            g_bench = &bench;
            benchmark::RunSpecifiedBenchmarks();
            g_bench = nullptr;
            bench.Frame().close();
            bench.app->ExitInstance();
        }
    }
    benchmark::Shutdown();
    return rc;
}
