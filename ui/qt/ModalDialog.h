#pragma once
// Every modal dialog of the programs starts through RunModal, so tests can answer a dialog
// without an event loop: an installed handler receives the dialog (already built and filled
// by its owner), may change its widgets and returns the answer (QDialog::Accepted / Rejected,
// or IDOK / IDCANCEL for the property sheets, whatever the dialog's exec would return).
#include <functional>
#include <utility>

class QDialog;
class QWidget;

using ModalDialogHandler = std::function<int(QDialog& dialog)>;

// Runs the dialog modally (QDialog::exec) or, with a handler installed, hands it to the
// handler instead and returns the handler's answer. A dialog whose owner gave no control the
// focus opens with it on its first field.
int RunModal(QDialog& dialog);

// The first control under `root` that takes the focus by Tab and is not a tab strip or a push
// button (the default push button when there is nothing else); nullptr when there is none.
QWidget* FirstField(QWidget& root);
// Gives the focus to FirstField(root), if any.
void FocusFirstField(QWidget& root);

// Installs a handler; returns the one it replaces. An empty handler restores QDialog::exec.
ModalDialogHandler SetModalDialogHandler(ModalDialogHandler handler);

// Installs a handler for the lifetime of this object and restores the previous one after.
class ScopedModalDialogHandler {
public:
    explicit ScopedModalDialogHandler(ModalDialogHandler handler)
        : m_previous(SetModalDialogHandler(std::move(handler))) {}
    ~ScopedModalDialogHandler() { SetModalDialogHandler(std::move(m_previous)); }
    ScopedModalDialogHandler(const ScopedModalDialogHandler&) = delete;
    ScopedModalDialogHandler& operator=(const ScopedModalDialogHandler&) = delete;

private:
    ModalDialogHandler m_previous;
};
