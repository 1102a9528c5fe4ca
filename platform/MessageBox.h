#pragma once
// Message boxes with the Windows flags and answers, through one replaceable handler.
// With no handler installed the answer is the cancelling one (IDCANCEL when the box has a
// Cancel button, IDNO for Yes/No, IDOK for a plain OK box).
#include <functional>

#include "platform/CString.h"
#include "platform/PlatformExport.h"

enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON1 = 0x000,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

using MessageBoxHandler = std::function<int(const CString& text, const CString& caption, unsigned flags)>;

// Shows a message box through the installed handler and returns its answer.
QUILLMAR_PLATFORM_EXPORT int AfxMessageBox(const CString& text, unsigned flags = MB_OK);
QUILLMAR_PLATFORM_EXPORT int MessageBoxWithCaption(const CString& text, const CString& caption, unsigned flags);
// Shows the string with that number of the program's own string table (StringTable.h).
QUILLMAR_PLATFORM_EXPORT int AfxMessageBox(unsigned stringId, unsigned flags = MB_OK);

// Installs a handler; returns the one it replaces. An empty handler restores the default.
QUILLMAR_PLATFORM_EXPORT MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
// The caption used when none is given (the program's title); default "Quillmar".
QUILLMAR_PLATFORM_EXPORT void SetMessageBoxCaption(const CString& caption);
QUILLMAR_PLATFORM_EXPORT int DefaultMessageBoxAnswer(unsigned flags);
