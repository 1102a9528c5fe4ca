#pragma once
// The icons of the desktop's commands. A missing or unreadable icon falls back to a standard
// icon of the current style so no button is left blank.
#include <QIcon>

class Library;

// The command's icon as the command table gives it; null when it has none.
QIcon CommandIcon(const Library* library, unsigned commandId);
