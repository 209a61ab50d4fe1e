#include "app/ProgressDlg.h"

#include "app/AppStrings.h"
#include "app/ProgressStrings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace {

// The bar shows thousandths, so totals beyond an int's range fit and the window repaints at
// most a thousand times however many rows or bytes the work has.
constexpr int kBarSteps = 1000;

// While work runs, the window paints and sees its Cancel, but no timer fires: the refresh,
// auto-logout and file-watch timers would read or close the document in the middle of the
// work, or while compaction has its connection closed. They fire once the work has ended.
constexpr QEventLoop::ProcessEventsFlags kWorkEvents = QEventLoop::X11ExcludeTimers;

std::atomic<int> g_activeCount{0};

} // namespace

CProgressDlg::CProgressDlg(const QString& caption, const QString& label, bool canCancel,
                           QWidget* parent)
    : QDialog(parent), m_label(new QLabel(label)), m_bar(new QProgressBar) {
    setObjectName(QStringLiteral("ProgressDlg"));
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowCloseButtonHint, canCancel);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_label->setObjectName(QStringLiteral("ProgressLabel"));
    m_label->setMinimumWidth(320);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    if (canCancel) {
        m_cancel = new QPushButton(Tr(pids::kCancel));
        m_cancel->setObjectName(QStringLiteral("ProgressCancel"));
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(m_cancel);
        layout->addLayout(buttons);
        connect(m_cancel, &QPushButton::clicked, this, &CProgressDlg::Cancel);
    }
    UpdateBar();
}

CProgressDlg::~CProgressDlg() {
    if (m_active)
        End();
}

void CProgressDlg::SetLabel(const QString& text) {
    m_label->setText(text);
}

void CProgressDlg::SetRange(std::uint64_t total) {
    m_total = total;
    m_pos = std::min(m_pos, total);
    m_shown = -1;
    UpdateBar();
}

void CProgressDlg::SetPos(std::uint64_t pos) {
    m_pos = m_total ? std::min(pos, m_total) : pos;
    UpdateBar();
}

void CProgressDlg::UpdateBar() {
    if (m_total == 0) {
        if (m_shown != -2)
            m_bar->setRange(0, 0);
        m_shown = -2;
        return;
    }
    // Computed in long double: pos * steps could overflow for files near 2^64 bytes.
    const int step = static_cast<int>(static_cast<long double>(m_pos) * kBarSteps /
                                      static_cast<long double>(m_total));
    if (m_shown < 0)
        m_bar->setRange(0, kBarSteps);
    if (step != m_shown)
        m_bar->setValue(step);
    m_shown = step;
}

void CProgressDlg::Cancel() {
    if (!m_cancel || m_cancelled)
        return;
    m_cancelled = true;
    m_cancel->setEnabled(false);
}

void CProgressDlg::reject() {
    // Escape: the same as Cancel, and never a way to hide a window whose work goes on.
    Cancel();
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
    Cancel();
    event->ignore();
}

void CProgressDlg::Begin() {
    if (m_active)
        return;
    m_active = true;
    ++g_activeCount;
    setWindowModality(Qt::ApplicationModal);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    show();
    raise();
    QCoreApplication::processEvents(kWorkEvents);
}

bool CProgressDlg::Pump() {
    QCoreApplication::processEvents(kWorkEvents);
    return !m_cancelled;
}

void CProgressDlg::End() {
    if (!m_active)
        return;
    m_active = false;
    --g_activeCount;
    QApplication::restoreOverrideCursor();
    done(m_cancelled ? QDialog::Rejected : QDialog::Accepted);
}

PROGRESS_CALLBACK CProgressDlg::Callback() {
    return [this](std::uint64_t done, std::uint64_t total) {
        if (total != m_total)
            SetRange(total);
        SetPos(done);
        return Pump();
    };
}

bool CProgressDlg::IsAnyActive() {
    return g_activeCount.load() > 0;
}

void RunProgressWorker(CProgressDlg& dlg, const std::function<void()>& work) {
    dlg.Begin();
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        // An event of its own wakes the waiting loop below.
        QMetaObject::invokeMethod(
            &dlg, [] {}, Qt::QueuedConnection);
    });
    while (!finished)
        QCoreApplication::processEvents(kWorkEvents | QEventLoop::WaitForMoreEvents);
    worker.join();
    dlg.End();
    if (failure)
        std::rethrow_exception(failure);
}
