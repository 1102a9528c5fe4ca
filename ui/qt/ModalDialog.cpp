#include "ui/qt/ModalDialog.h"

#include <QDialog>

namespace {
ModalDialogHandler& InstalledHandler() {
    static ModalDialogHandler handler;
    return handler;
}
}   // namespace

int RunModal(QDialog& dialog) {
    // Copy first: a handler may install another one while it runs (nested dialogs).
    ModalDialogHandler handler = InstalledHandler();
    if (handler)
        return handler(dialog);
    return dialog.exec();
}

ModalDialogHandler SetModalDialogHandler(ModalDialogHandler handler) {
    ModalDialogHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}
