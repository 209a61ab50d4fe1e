#pragma once

#include "platform/ProgressCallback.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// A modal progress window for long work on the user-interface thread: caption, label, a bar
// over bytes or rows and, where stopping is safe, a Cancel button. The work either runs in
// pieces between which Pump() lets the window paint (Callback() handed to a core operation),
// or on a worker thread with its own connection (RunProgressWorker).
// It does not go through RunModal: scripted flows must not meet it as a dialog to answer.
class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    CProgressDlg(const QString& caption, const QString& label, bool canCancel,
                 QWidget* parent = nullptr);
    ~CProgressDlg() override;

    void SetLabel(const QString& text);
    // 0 makes the bar a busy indicator without an end.
    void SetRange(std::uint64_t total);
    void SetPos(std::uint64_t pos);
    std::uint64_t Total() const { return m_total; }
    std::uint64_t Pos() const { return m_pos; }

    bool CanCancel() const { return m_cancel != nullptr; }
    bool IsCancelled() const { return m_cancelled; }
    // What pressing Cancel does; ignored without a Cancel button.
    void Cancel();

    // Shows the window (application-modal) and paints it once.
    void Begin();
    // Lets the window paint and see a click on Cancel; false once cancelled.
    bool Pump();
    // Hides the window; the result is Accepted unless cancelled.
    void End();

    // For a core operation: sets range and position, pumps, and answers false once cancelled.
    PROGRESS_CALLBACK Callback();

    // Whether any progress window is showing; timers that would close the document (the
    // auto-logout) wait while it is.
    static bool IsAnyActive();

    QLabel* Label() const { return m_label; }
    QProgressBar* Bar() const { return m_bar; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateBar();

    QLabel* m_label;
    QProgressBar* m_bar;
    QPushButton* m_cancel = nullptr;
    std::uint64_t m_total = 0;
    std::uint64_t m_pos = 0;
    int m_shown = -1;
    bool m_cancelled = false;
    bool m_active = false;
};

// Shows dlg while work runs on a worker thread and returns once work has returned (an
// exception from it is passed on here). work must not touch windows or the document's
// connection; it cannot be cancelled.
void RunProgressWorker(CProgressDlg& dlg, const std::function<void()>& work);
