#include "ui/ModalRunner.h"

#include <QDialog>

#include <utility>

namespace {

MODAL_HOOK& Hook() {
    static MODAL_HOOK hook;
    return hook;
}

} // namespace

int RunModal(QDialog& dialog) {
    if (Hook()) {
        // Copied, so a hook that replaces itself keeps running to the end.
        MODAL_HOOK hook = Hook();
        return hook(dialog);
    }
    return dialog.exec();
}

MODAL_HOOK SetModalHook(MODAL_HOOK hook) {
    return std::exchange(Hook(), std::move(hook));
}
