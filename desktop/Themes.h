#pragma once
// The three looks of menus, toolbars and bars: 0 Office 2003, 1 Office XP, 2 Office 2000
// (classic). Each is a widget style with a palette and a small style sheet for the bars.

// Installs the look for `theme` on the application. Any other value leaves the installed
// look as it is and returns false.
bool InstallTheme(int theme);
// The look installed last; -1 before any was installed.
int InstalledTheme();
