#pragma once
// Opens web addresses and files with the desktop's default application. Results follow the
// shell's convention: above 32 is success, 32 or less an error code (2 file not found,
// 31 no application associated...). An opener that finds no application only after it has
// started is told to the user when it gives up. Tests replace the opener.
#include <functional>

#include <QString>

using UrlOpenHandler = std::function<int(const QString& address)>;

int OpenUrl(const QString& address);
// Opens the address; a failure beeps and says why ("Unable to open hyperlink: ..."). The
// opener's result.
int OpenUrlOrReport(const QString& address);
void ReportUrlOpenFailure(int result);
// Installs a handler; returns the one it replaces. An empty handler restores the desktop's.
UrlOpenHandler SetUrlOpenHandler(UrlOpenHandler handler);
// The explanation of an error result, as the hyperlink labels show it.
QString UrlOpenErrorText(int result);
