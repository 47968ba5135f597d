// Runs the program's own modal dialogs. Tests install a hook that fills in the dialog
// and returns its result, so no modal loop blocks.
#pragma once

#include <functional>

class QDialog;

using ModalHook = std::function<int(QDialog&)>;

// QDialog::exec(), or the hook when one is installed.
int RunModal(QDialog& dialog);
void SetModalHook(ModalHook hook);
