#pragma once
// The Options sheet (Preferences, Custom Fields).

// 1 when the user confirmed: the settings were copied into the application object, all of
// them written to the registry, the theme applied and the side bar and entries view
// reloaded. 0 on Cancel (nothing changes), or when there is no application object.
int EditOptions();
