#include "ui/qt/ModalDialog.h"

#include <QDialog>
#include <QPushButton>
#include <QTabBar>

namespace {
ModalDialogHandler& InstalledHandler() {
    static ModalDialogHandler handler;
    return handler;
}
}   // namespace

int RunModal(QDialog& dialog) {
    if (!dialog.focusWidget())
        FocusFirstField(dialog);
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

namespace {
bool TakesTabFocus(QWidget& root, QWidget* widget) {
    return root.isAncestorOf(widget) && widget->isEnabled() && widget->isVisibleTo(&root) &&
           (widget->focusPolicy() & Qt::TabFocus);
}
}   // namespace

QWidget* FirstField(QWidget& root) {
    QPushButton* defaultButton = nullptr;
    // The focus chain follows the order the controls were made in, which is their reading order.
    for (QWidget* widget = root.nextInFocusChain(); widget && widget != &root; widget = widget->nextInFocusChain()) {
        if (!TakesTabFocus(root, widget) || qobject_cast<QTabBar*>(widget))
            continue;
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            if (!defaultButton && button->isDefault())
                defaultButton = button;
            continue;
        }
        return widget;
    }
    return defaultButton;
}

void FocusFirstField(QWidget& root) {
    if (QWidget* field = FirstField(root))
        field->setFocus(Qt::TabFocusReason);
}
