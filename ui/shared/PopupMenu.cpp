#include "ui/shared/PopupMenu.h"

#include <QMenu>

namespace {
PopupMenuHandler& Handler() {
    static PopupMenuHandler handler;
    return handler;
}
}   // namespace

QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos) {
    if (Handler())
        return Handler()(menu, globalPos);
    return menu.exec(globalPos);
}

PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler) {
    PopupMenuHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}
