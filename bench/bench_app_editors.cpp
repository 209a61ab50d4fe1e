// The record editors on big.tpx: opening an editor of each record type and showing it until
// its boxes have painted, from the file (record not cached) and from the cache, and the Save
// command after a change, alone and with the main window's reload that follows it.
// Goals: an editor opened and shown in at most 50 ms, a save in at most 30 ms.

#include "app/EditPanel.h"
#include "app/EditorFrame.h"
#include "app/EditorManager.h"
#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/PasswordDlg.h"
#include "app/TresorixApp.h"
#include "model/Guid.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/MemoryProfileStore.h"
#include "platform/MessageBox.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct RECORD_KIND {
    const char* name;
    const CLSID* clsid;
};

const RECORD_KIND kKinds[] = {{"password", &CLSID_PasswordItem},
                              {"url", &CLSID_UrlItem},
                              {"creditcard", &CLSID_CreditCardItem},
                              {"note", &CLSID_Note}};
constexpr int kKindCount = 4;
// Rounds of event processing a shown editor may need before it has painted; far more than a
// working platform takes, so only a window that never paints ends the run.
constexpr int kMaxPaintRounds = 1000;

// Notes that the watched box has been painted.
class CPaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// The program on a private copy of big.tpx, logged in, with one record of each editor type.
struct CBenchApp {
    QTemporaryDir dir;
    CMemoryProfileStore store;
    CScopedMessageRecorder messages;
    std::unique_ptr<CTresorixApp> app;
    int records[kKindCount] = {};

    CTxDoc& Doc() { return *app->GetDocument(); }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CEditorManager& Editors() { return app->Editors(); }

    std::string Start();
    void FindRecords(int folder);
};

void CBenchApp::FindRecords(int folder) {
    TComPtr<ITreeItem> node = Doc().GetNode(folder);
    TComPtr<ITreeIterator> it = node ? node->GetIterator(ITreeItem::kChildren) : nullptr;
    if (!it)
        return;
    std::vector<int> folders;
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next()) {
        TComPtr<ICommonProperties> record = Doc().GetRecord(child->GetID());
        if (!record)
            continue;
        if (record->IsFolder()) {
            folders.push_back(child->GetID());
            continue;
        }
        CLSID clsid;
        record->GetClassID(clsid);
        for (int k = 0; k < kKindCount; ++k)
            if (!records[k] && clsid == *kKinds[k].clsid)
                records[k] = child->GetID();
    }
    for (int sub : folders)
        FindRecords(sub);
}

std::string CBenchApp::Start() {
    const QString source = QStringLiteral(TX_FIXTURES_DIR "/vaults/big.tpx");
    const QString vault = dir.filePath(QStringLiteral("big.tpx"));
    if (!QFile::copy(source, vault))
        return "cannot copy big.tpx";
    QFile::setPermissions(vault, QFile::ReadOwner | QFile::WriteOwner);

    SetModalHook([](QDialog& dialog) {
        auto* login = dynamic_cast<CPasswordDlg*>(&dialog);
        if (!login)
            return static_cast<int>(QDialog::Rejected);
        login->UsernameBox()->setText(QStringLiteral("dave"));
        login->PasswordBox()->setText(QStringLiteral("big"));
        login->accept();
        return login->result();
    });
    CTresorixApp::OPTIONS options;
    options.instanceName =
        QStringLiteral("tx-bench-app-editors-%1").arg(QCoreApplication::applicationPid());
    options.store = &store;
    options.desktopServices = false;
    options.registerTypes = false;
    app = std::make_unique<CTresorixApp>(options);
    const bool started = app->InitInstance({QStringLiteral("tresorix"), vault});
    SetModalHook({});
    if (!started || !app->GetMainFrame() || !Doc().IsAuthorised())
        return "login to big.tpx failed";
    Frame().resize(1200, 800);
    QCoreApplication::processEvents();
    FindRecords(kRootFolderId);
    for (int k = 0; k < kKindCount; ++k)
        if (!records[k])
            return std::string("big.tpx has no ") + kKinds[k].name + " record";
    return {};
}

CBenchApp* g_bench = nullptr;

// The main window shows the record's folder, as when the record is opened from the list.
void ShowFolderOf(CBenchApp& b, int id) {
    if (TComPtr<ITreeItem> node = b.Doc().GetNode(id))
        b.Frame().Left()->Tree()->SelectFolder(node->GetParentID(), true);
    QCoreApplication::processEvents();
}

// Runs the event loop until the editor's name box has painted; false if it never does.
bool WaitForPaint(CEditorFrame& frame) {
    CPaintWatch watch;
    frame.Panel()->NameBox()->installEventFilter(&watch);
    for (int round = 0; round < kMaxPaintRounds && !watch.painted; ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    frame.Panel()->NameBox()->removeEventFilter(&watch);
    return watch.painted;
}

// Closes the open editors and lets the main window take in the message 1044 that follows.
void CloseEditors(CBenchApp& b) {
    for (CEditorFrame* frame : b.Editors().Editors())
        frame->Close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the editor of the record as a double click in the list does and shows it.
bool OpenAndShow(CBenchApp& b, int id) {
    b.Editors().OpenItem(id);
    CEditorFrame* frame = b.Editors().Find(id);
    return frame && WaitForPaint(*frame);
}

void BM_OpenEditor(benchmark::State& state, int kind, bool cached) {
    CBenchApp& b = *g_bench;
    const int id = b.records[kind];
    ShowFolderOf(b, id);
    CloseEditors(b);
    for (auto _ : state) {
        state.PauseTiming();
        CloseEditors(b);
        if (!cached)
            b.Doc().ClearCache();
        else
            b.Doc().GetRecord(id);
        state.ResumeTiming();
        const bool shown = OpenAndShow(b, id);
        if (!shown) {
            state.SkipWithError("the editor did not open or never painted");
            break;
        }
    }
    CloseEditors(b);
    state.counters["record"] = id;
}

// A changed comment saved with command 3; reload: the main window also reloads its views.
void BM_Save(benchmark::State& state, int kind, bool reload) {
    CBenchApp& b = *g_bench;
    const int id = b.records[kind];
    ShowFolderOf(b, id);
    CloseEditors(b);
    if (!OpenAndShow(b, id)) {
        state.SkipWithError("the editor did not open");
        return;
    }
    CEditorFrame& frame = *b.Editors().Find(id);
    QPointer<CEditorFrame> guard(&frame);
    const QString original = frame.Panel()->CommentsBox()->toPlainText();
    long n = 0;
    QString last;
    for (auto _ : state) {
        state.PauseTiming();
        last = original + QStringLiteral(" (%1)").arg(++n % 2);
        frame.Panel()->CommentsBox()->setPlainText(last);
        const bool changed = frame.IsModified();
        state.ResumeTiming();
        frame.OnCommand(3);
        if (reload)
            QCoreApplication::processEvents();
        state.PauseTiming();
        const bool saved = changed && guard && !frame.IsModified() && !frame.IsNew();
        if (!reload)
            QCoreApplication::processEvents();
        state.ResumeTiming();
        if (!saved) {
            state.SkipWithError("the change was not saved");
            break;
        }
    }
    if (guard && n) {
        b.Doc().ClearCache();
        TComPtr<ICommonProperties> stored = b.Doc().GetRecord(id);
        if (!stored || stored->GetComments() != ToBytes(last))
            state.SkipWithError("the file does not hold the last saved comment");
    }
    CloseEditors(b);
    state.counters["record"] = id;
}

// The offscreen platform warns on every shown window that it cannot raise it.
void DropPlatformNotices(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

void Register() {
    for (int k = 0; k < kKindCount; ++k) {
        const std::string kind = kKinds[k].name;
        benchmark::RegisterBenchmark(("BM_OpenEditor/" + kind + "/file").c_str(),
                                     [k](benchmark::State& s) { BM_OpenEditor(s, k, false); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_OpenEditor/" + kind + "/cached").c_str(),
                                     [k](benchmark::State& s) { BM_OpenEditor(s, k, true); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Save/" + kind).c_str(), [k](benchmark::State& s) {
            BM_Save(s, k, false);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Save/" + kind + "/with_reload").c_str(),
                                     [k](benchmark::State& s) { BM_Save(s, k, true); })
            ->Unit(benchmark::kMillisecond);
    }
}

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
    qInstallMessageHandler(DropPlatformNotices);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    int rc = 0;
    {
        CBenchApp bench;
        const std::string error = bench.Start();
        if (!error.empty()) {
            std::fprintf(stderr, "bench_app_editors: %s\n", error.c_str());
            rc = 1;
        } else {
            g_bench = &bench;
            Register();
            benchmark::RunSpecifiedBenchmarks();
            g_bench = nullptr;
            CloseEditors(bench);
            bench.Frame().close();
            bench.app->ExitInstance();
        }
    }
    benchmark::Shutdown();
    return rc;
}
