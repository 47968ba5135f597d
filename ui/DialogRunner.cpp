#include "ui/DialogRunner.h"

#include <QDialog>
#include <cstdlib>

namespace {
ModalHook g_hook;
} // namespace

void SetModalHook(ModalHook hook) { g_hook = std::move(hook); }

int RunModal(QDialog& dialog) {
    if (g_hook)
        return g_hook(dialog);
    if (std::getenv("TINDREL_TESTING"))
        return QDialog::Rejected; // never block a test that did not script the dialog
    return dialog.exec();
}
