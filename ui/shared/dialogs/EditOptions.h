#pragma once
// The Options sheet (Preferences, Custom Field Labels): the installed host's
// (ui/shared/AppHost.h), since each program keeps and applies its own settings.

// 1 when the user confirmed and the host applied the settings (copied into the application
// object, written to the registry, the views refreshed). 0 on Cancel (nothing changes), or
// when there is no host.
int EditOptions();
