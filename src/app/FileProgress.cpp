#include "app/FileProgress.h"

#include "app/AppStrings.h"
#include "app/ProgressDlg.h"
#include "app/ProgressStrings.h"
#include "platform/MessageBox.h"
#include "ui/TextBytes.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <memory>

namespace {

struct PROGRESS_STATE {
    // The parent window may delete the dialog first; the guard then reads null.
    ~PROGRESS_STATE() { delete dialog.data(); }
    bool decided = false;
    QPointer<CProgressDlg> dialog;
};

bool OnUiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace

PROGRESS_CALLBACK MakeFileProgress(CFileParts::TRANSFER transfer, QWidget* parent) {
    auto state = std::make_shared<PROGRESS_STATE>();
    QPointer<QWidget> owner(parent);
    return [state, transfer, owner](std::uint64_t done, std::uint64_t total) {
        if (!state->decided) {
            state->decided = true;
            if (total <= kFileProgressThreshold || !OnUiThread())
                return true;
            const unsigned label =
                transfer == CFileParts::kStoring ? pids::kStoringFile : pids::kSavingFile;
            state->dialog =
                new CProgressDlg(FromBytes(AppCaption()), Tr(label), true, owner.data());
            state->dialog->SetRange(total);
            state->dialog->Begin();
        }
        if (!state->dialog)
            return true;
        if (state->dialog->Total() != total)
            state->dialog->SetRange(total);
        state->dialog->SetPos(done);
        return state->dialog->Pump();
    };
}

CFileParts::PROGRESS_SOURCE FileProgressSource() {
    return [](CFileParts::TRANSFER transfer, const std::string&, std::uint64_t total) {
        if (total <= kFileProgressThreshold || !OnUiThread())
            return PROGRESS_CALLBACK();
        QWidget* parent = QApplication::activeModalWidget();
        return MakeFileProgress(transfer, parent ? parent : QApplication::activeWindow());
    };
}
