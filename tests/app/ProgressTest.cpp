#include "ToolWindowsTestSupport.h"

#include "app/CsvImportWizard.h"
#include "app/CsvImportWizardPages.h"
#include "app/ExportTreeWidget.h"
#include "app/ExportWizard.h"
#include "app/ExportWizardPages.h"
#include "app/ProgressDlg.h"
#include "platform/TresorixSettings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

// Work in pieces between which the window paints, as a core operation's callback runs it:
// true when the work ran to its end, false when cancelled; an exception is passed on.
bool RunProgressSteps(CProgressDlg& dlg, const std::function<bool()>& step) {
    struct END_GUARD {
        CProgressDlg& dlg;
        ~END_GUARD() { dlg.End(); }
    } guard{dlg};
    dlg.Begin();
    while (dlg.Pump()) {
        if (!step())
            return !dlg.IsCancelled();
    }
    return false;
}

// Presses Cancel on the progress window that shows next, as a click arriving through the
// event loop it pumps (a posted event: timers wait while the work runs).
class CCancelWhenShown {
public:
    CCancelWhenShown() {
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    auto* progress = qobject_cast<CProgressDlg*>(widget);
                    if (progress && progress->isVisible() && progress->CancelButton()) {
                        progress->CancelButton()->click();
                        ++m_clicks;
                    }
                }
            },
            Qt::QueuedConnection);
    }
    int Clicks() const { return m_clicks; }

private:
    QObject m_context;
    int m_clicks = 0;
};

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT

private slots:
    void CancelButtonOnlyWhereCancellingIsSafe();
    void StepsRunToTheEndAndTheWindowCloses();
    void CancelMidWayStopsBeforeTheNextStep();
    void TheBarFollowsTheCallbackForAnyTotal();
    void AFailingStepClosesTheWindowAndIsPassedOn();
    void TheWorkerRunsWhileTheWindowKeepsItsEventLoop();
    void TimersWaitUntilTheWorkHasEnded();
    void ImportCancelledBeforeTheCommitStoresNothing();
    void ExportCancelledLeavesNoFileAndReturnsToTheFileName();
};

void ProgressTest::CancelButtonOnlyWhereCancellingIsSafe() {
    CProgressDlg busy(QStringLiteral("Caption"), QStringLiteral("Compacting"), false);
    QVERIFY(!busy.CanCancel());
    QVERIFY(!busy.CancelButton());
    QVERIFY(busy.findChildren<QPushButton*>().isEmpty());
    busy.Begin();
    QVERIFY(busy.isVisible());
    QVERIFY(CProgressDlg::IsAnyActive());
    // Neither Escape nor closing the window may hide a window whose work goes on.
    QTest::keyClick(&busy, Qt::Key_Escape);
    busy.close();
    QVERIFY(busy.Pump());
    QVERIFY(busy.isVisible());
    QVERIFY(!busy.IsCancelled());
    busy.End();
    QVERIFY(!busy.isVisible());
    QVERIFY(!CProgressDlg::IsAnyActive());
    QCOMPARE(busy.result(), int(QDialog::Accepted));

    CProgressDlg import(QStringLiteral("Caption"), QStringLiteral("Importing"), true);
    QVERIFY(import.CanCancel());
    QVERIFY(import.CancelButton());
    import.Begin();
    QVERIFY(import.CancelButton()->isVisible());
    QCOMPARE(import.Label()->text(), QStringLiteral("Importing"));
    QCOMPARE(import.windowTitle(), QStringLiteral("Caption"));
    // Escape is the same as Cancel there.
    QTest::keyClick(&import, Qt::Key_Escape);
    QVERIFY(import.IsCancelled());
    QVERIFY(!import.Pump());
    QVERIFY2(import.isVisible(), "the work decides when to stop");
    import.End();
    QCOMPARE(import.result(), int(QDialog::Rejected));
}

void ProgressTest::StepsRunToTheEndAndTheWindowCloses() {
    CProgressDlg dlg(QStringLiteral("Caption"), QStringLiteral("Label"), true);
    dlg.SetRange(10);
    int steps = 0;
    bool visibleMeanwhile = true;
    bool activeMeanwhile = true;
    const bool finished = RunProgressSteps(dlg, [&] {
        visibleMeanwhile = visibleMeanwhile && dlg.isVisible();
        activeMeanwhile = activeMeanwhile && CProgressDlg::IsAnyActive();
        dlg.SetPos(++steps);
        return steps < 10;
    });
    QVERIFY(finished);
    QCOMPARE(steps, 10);
    QVERIFY(visibleMeanwhile);
    QVERIFY(activeMeanwhile);
    QVERIFY(!dlg.isVisible());
    QVERIFY(!CProgressDlg::IsAnyActive());
    QCOMPARE(dlg.Bar()->value(), dlg.Bar()->maximum());
}

void ProgressTest::CancelMidWayStopsBeforeTheNextStep() {
    CProgressDlg dlg(QStringLiteral("Caption"), QStringLiteral("Label"), true);
    int steps = 0;
    const bool finished = RunProgressSteps(dlg, [&] {
        if (++steps == 3) {
            // As a click arrives: through the event loop, between two steps.
            QMetaObject::invokeMethod(dlg.CancelButton(), &QPushButton::click,
                                      Qt::QueuedConnection);
        }
        return steps < 100;
    });
    QVERIFY(!finished);
    QCOMPARE(steps, 3);
    QVERIFY(dlg.IsCancelled());
    QVERIFY(!dlg.isVisible());
    QVERIFY(!dlg.CancelButton()->isEnabled());

    // Work that ends at the very step the cancel arrives counts as cancelled too.
    CProgressDlg last(QStringLiteral("Caption"), QStringLiteral("Label"), true);
    QVERIFY(!RunProgressSteps(last, [&] {
        last.Cancel();
        return false;
    }));
}

void ProgressTest::TheBarFollowsTheCallbackForAnyTotal() {
    CProgressDlg dlg(QStringLiteral("Caption"), QStringLiteral("Label"), true);
    dlg.Begin();
    const PROGRESS_CALLBACK callback = dlg.Callback();
    // Beyond an int's range: five gigabytes.
    const std::uint64_t total = 5ull * 1024 * 1024 * 1024;
    QVERIFY(callback(total / 4, total));
    QCOMPARE(dlg.Total(), total);
    QCOMPARE(dlg.Bar()->maximum(), 1000);
    QCOMPARE(dlg.Bar()->value(), 250);
    QVERIFY(callback(total, total));
    QCOMPARE(dlg.Bar()->value(), 1000);
    // A position past the end stays at the end.
    dlg.SetPos(total * 2);
    QCOMPARE(dlg.Pos(), total);
    // No total: a busy bar.
    QVERIFY(callback(7, 0));
    QCOMPARE(dlg.Bar()->maximum(), 0);
    dlg.CancelButton()->click();
    QVERIFY(!callback(8, 10));
    dlg.End();
}

void ProgressTest::AFailingStepClosesTheWindowAndIsPassedOn() {
    CProgressDlg dlg(QStringLiteral("Caption"), QStringLiteral("Label"), false);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, RunProgressSteps(dlg, []() -> bool {
                                 throw std::runtime_error("disk gone");
                             }));
    QVERIFY(!dlg.isVisible());
    QVERIFY(!CProgressDlg::IsAnyActive());
    QVERIFY(QApplication::overrideCursor() == nullptr);

    CProgressDlg worker(QStringLiteral("Caption"), QStringLiteral("Label"), false);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, RunProgressWorker(worker, [] {
                                 throw std::runtime_error("disk gone");
                             }));
    QVERIFY(!worker.isVisible());
    QVERIFY(!CProgressDlg::IsAnyActive());
}

void ProgressTest::TheWorkerRunsWhileTheWindowKeepsItsEventLoop() {
    CProgressDlg dlg(QStringLiteral("Caption"), QStringLiteral("Compacting"), false);
    std::mutex mutex;
    std::condition_variable changed;
    bool delivered = false;
    std::thread::id workThread;
    // The work waits for an event that only a running event loop on this thread delivers.
    RunProgressWorker(dlg, [&] {
        workThread = std::this_thread::get_id();
        QMetaObject::invokeMethod(
            &dlg,
            [&] {
                dlg.SetRange(5);
                dlg.SetPos(3);
                std::lock_guard lock(mutex);
                delivered = true;
                changed.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return delivered; });
    });
    QVERIFY(delivered);
    QVERIFY(workThread != std::this_thread::get_id());
    QCOMPARE(dlg.Pos(), std::uint64_t(3));
    QVERIFY(!dlg.isVisible());
}

void ProgressTest::TimersWaitUntilTheWorkHasEnded() {
    // A due timer stands for the views' refresh and the auto-logout, which would read or close
    // the document in the middle of the work.
    int fired = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
    timer.start(0);
    CProgressDlg steps(QStringLiteral("Caption"), QStringLiteral("Label"), true);
    int count = 0;
    QVERIFY(RunProgressSteps(steps, [&] { return ++count < 50; }));
    QCOMPARE(fired, 0);

    CProgressDlg worker(QStringLiteral("Caption"), QStringLiteral("Compacting"), false);
    bool delivered = false;
    std::mutex mutex;
    std::condition_variable changed;
    RunProgressWorker(worker, [&] {
        QMetaObject::invokeMethod(
            &worker,
            [&] {
                std::lock_guard lock(mutex);
                delivered = true;
                changed.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return delivered; });
    });
    QCOMPARE(fired, 0);
    QTRY_VERIFY(fired > 0);
}

void ProgressTest::ImportCancelledBeforeTheCommitStoresNothing() {
    apptest::CSampleVault vault;
    if (!vault.IsOpen())
        QSKIP("fixtures missing");
    CScopedMessageRecorder messages;
    CTresorixSettings settings;
    settings.Import_CsvFieldSeparator = ";";
    const QString csv = vault.FilePath(QStringLiteral("in.csv"));
    {
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Bank;bob;pw1\nMail;alice;pw2\nShop;eve;pw3\n");
    }
    const QStringList before = vault.ChildNames(3);

    CCsvImportWizard wizard(vault.Doc(), settings, 3);
    wizard.show();
    wizard.next();
    wizard.FilePage()->PathEdit()->setText(csv);
    for (int page = 0; page < 3; ++page)
        wizard.next();
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFolder));
    CCancelWhenShown cancel;
    wizard.next();

    QCOMPARE(cancel.Clicks(), 1);
    QCOMPARE(wizard.currentId(), int(CCsvImportWizard::kFinish));
    QCOMPARE(wizard.FinishPage()->Count(), 0);
    QCOMPARE(wizard.FinishPage()->TextLabel()->text(),
             QStringLiteral("0 item(s) has been imported."));
    QCOMPARE(wizard.buttonText(QWizard::FinishButton), QStringLiteral("Close"));
    QVERIFY(messages.Messages().empty());
    QVERIFY(!CProgressDlg::IsAnyActive());
    QCOMPARE(vault.ChildNames(3), before);
    QVERIFY(wizard.Import().WasCancelled());

    // The rollback left the document usable: the same records import afterwards.
    QCOMPARE(wizard.Import().Commit(), 3);
    QCOMPARE(vault.ChildNames(3).size(), before.size() + 3);
}

void ProgressTest::ExportCancelledLeavesNoFileAndReturnsToTheFileName() {
    apptest::CSampleVault vault;
    if (!vault.IsOpen())
        QSKIP("fixtures missing");
    CScopedMessageRecorder messages;
    CScopedShellRecorder shell;
    CTresorixSettings& settings = TresorixSettings();
    settings.Export_ExportType = 0;
    settings.Export_CheckCascade = 1;
    settings.Export_OpenFile = 1;
    const QString path = vault.FilePath(QStringLiteral("out.csv"));
    settings.Export_Filename = ToBytes(path);
    const QStringList files = FilesIn(vault.FilePath(QString()));

    CExportWizard wizard(vault.Doc(), settings);
    wizard.show();
    for (int page = 0; page < 3; ++page)
        wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kData));
    wizard.DataPage()->Tree()->FindItem(1)->setCheckState(0, Qt::Checked);
    wizard.next();
    wizard.next();
    QCOMPARE(wizard.currentId(), int(CExportWizard::kFilename));
    CCancelWhenShown cancel;
    wizard.next();
    QCOMPARE(cancel.Clicks(), 1);
    QVERIFY(!wizard.FinishPage()->Succeeded());
    QVERIFY(wizard.Export().WasCancelled());
    QCoreApplication::processEvents();

    QCOMPARE(wizard.currentId(), int(CExportWizard::kFilename));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(FilesIn(vault.FilePath(QString())), files);
    QVERIFY(messages.Messages().empty());
    QVERIFY(shell.Calls().empty());

    // Next again runs the export to its end.
    wizard.next();
    QVERIFY(wizard.FinishPage()->Succeeded());
    QVERIFY(QFile::exists(path));
}

TX_APP_TEST_MAIN(ProgressTest)
#include "ProgressTest.moc"
