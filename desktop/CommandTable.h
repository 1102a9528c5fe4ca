#pragma once
// The desktop program's commands as its menus, toolbars and status bar show them.
#include <vector>

struct CommandInfo {
    unsigned id;
    const char* menuText;      // with '&' mnemonics, as the menu shows it
    const char* shortcut;      // Qt key sequence text, empty when none
    unsigned toolTipResId;     // resource library string replacing the command text, 0 for none
    unsigned iconId;           // 0 when the command has no icon
    bool iconFromResLibrary;   // else the icon is one of the program's own
    bool checkable;
};

// Every command of the menus and toolbars, in no particular order.
const std::vector<CommandInfo>& CommandTable();
// nullptr when the id is not a command of the table.
const CommandInfo* FindCommand(unsigned id);
