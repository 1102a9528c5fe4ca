#pragma once
// The desktop program's own string table: the template string, status prompts (by command
// number, "prompt\ntooltip"), messages and the default spreadsheet cell formats.

// Registers the table with the platform (StringTable.h); called once at start-up.
void RegisterProgramStrings();
