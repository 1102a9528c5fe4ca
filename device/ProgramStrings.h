#pragma once
// The device program's own string table: the captions its dialog templates give the shared
// dialogs (ui/shared/DeviceStrings.h).

// Registers the table with the platform (StringTable.h); the application object calls it once.
void RegisterDeviceProgramStrings();
