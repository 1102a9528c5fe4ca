#pragma once
// The program's own numbered texts (menus, status prompts, a few messages). Each program
// registers its table at start-up; the library's "calling module" strings come from here.
#include <map>

#include "platform/CString.h"
#include "platform/PlatformExport.h"

class QUILLMAR_PLATFORM_EXPORT StringTable {
public:
    static void Register(std::map<unsigned, CString> table);   // replaces the table
    static void Add(unsigned id, const CString& text);
    static CString Get(unsigned id);   // empty when absent
    static bool Has(unsigned id);
};
