#pragma once

#include <functional>

class QDialog;

// Every modal dialog of the program runs through here. The program runs them with exec();
// tests install a hook that shows the dialog, works its controls and returns the result, so
// whole flows of dialogs can be scripted without a nested event loop.
using MODAL_HOOK = std::function<int(QDialog& dialog)>;

// Runs dialog modally and returns its result (QDialog::Accepted or Rejected, or done()'s code).
int RunModal(QDialog& dialog);

// Installs a hook (empty restores exec()); returns the previous one.
MODAL_HOOK SetModalHook(MODAL_HOOK hook);
