#pragma once
// Libraries by name: "X.dll" is libX.so in the program's folder (Paths.h), resolved without
// regard to case. Handles close when the last owner lets go.
#include <memory>
#include <string>

#include "platform/CString.h"
#include "platform/PlatformExport.h"

class QUILLMAR_PLATFORM_EXPORT Library {
public:
    // "X.dll" (any case) is libX.so in GetProgramFolder(); "libX.so" and "X" name the same file.
    // nullptr when the name holds a folder part, or the library is missing or does not load.
    static std::shared_ptr<Library> Load(const CString& dllName);
    // A library by its path, which must name a folder ("./x.so", not "x.so": no system search).
    static std::shared_ptr<Library> LoadPath(const std::string& path);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    void* Symbol(const char* name) const;   // nullptr when absent
    const std::string& Path() const { return m_path; }

private:
    Library(void* handle, std::string path) : m_handle(handle), m_path(std::move(path)) {}
    void* m_handle;
    std::string m_path;
};

// The resource library's exports (res/): UTF-8 texts, nullptr when there is no such number.
extern "C" {
typedef const char* (*QuillmarResStringFn)(unsigned id);
typedef const char* (*QuillmarResIconFn)(unsigned id);   // SVG text of an icon
}

// Loads string `id` of a resource library (exports "QuillmarRes_String"), at most maxLength
// code units; empty text when the library is null or has no such string.
QUILLMAR_PLATFORM_EXPORT CString LoadString(const Library* library, unsigned id, int maxLength = 259);
// SVG text of icon `id` (export "QuillmarRes_Icon"); empty when absent.
QUILLMAR_PLATFORM_EXPORT std::string LoadIconSvg(const Library* library, unsigned id);
