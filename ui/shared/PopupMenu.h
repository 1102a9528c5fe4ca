#pragma once
// Context menus run through one replaceable runner, so tests can pick an item (or dismiss
// the menu) without a nested event loop.
#include <functional>

class QAction;
class QMenu;
class QPoint;

// The chosen action, or nullptr when the menu was dismissed.
using PopupMenuHandler = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;

// Runs the menu at the position (QMenu::exec) or through the installed handler.
QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos);
// Installs a handler; returns the one it replaces. An empty handler restores QMenu::exec.
PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler);
