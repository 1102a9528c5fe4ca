#include "platform/Library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include "platform/Paths.h"

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size())
        return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

// "X.dll" -> "libX.so"; a name already in the Linux form stays as it is.
std::string SharedObjectName(const std::string& dllName) {
    if (EndsWithNoCase(dllName, ".dll"))
        return "lib" + dllName.substr(0, dllName.size() - 4) + ".so";
    if (EndsWithNoCase(dllName, ".so"))
        return dllName;
    return "lib" + dllName + ".so";
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Cuts after at most maxLength code units without leaving half a surrogate pair behind.
CString Truncated(CString text, int maxLength) {
    if (maxLength <= 0)
        return CString();
    std::u16string& units = text.str();
    if (units.size() <= static_cast<size_t>(maxLength))
        return text;
    units.resize(static_cast<size_t>(maxLength));
    if (units.back() >= 0xD800 && units.back() <= 0xDBFF)
        units.pop_back();
    return text;
}

}   // namespace

std::shared_ptr<Library> Library::Load(const CString& dllName) {
    const std::string name = dllName.ToUtf8();
    if (name.empty() || name.find_first_of("/\\") != std::string::npos)
        return nullptr;
    auto path = ResolveNameNoCase(GetProgramFolder(), SharedObjectName(name));
    return path ? LoadPath(*path) : nullptr;
}

std::shared_ptr<Library> Library::LoadPath(const std::string& path) {
    // Only a file we can see: a bare name would make dlopen search the system's folders.
    if (path.find('/') == std::string::npos || !IsRegularFile(path))
        return nullptr;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    return std::shared_ptr<Library>(new Library(handle, path));
}

Library::~Library() { ::dlclose(m_handle); }

void* Library::Symbol(const char* name) const {
    if (!name)
        return nullptr;
    return ::dlsym(m_handle, name);
}

CString LoadString(const Library* library, unsigned id, int maxLength) {
    if (!library)
        return CString();
    auto fn = reinterpret_cast<QuillmarResStringFn>(library->Symbol("QuillmarRes_String"));
    const char* text = fn ? fn(id) : nullptr;
    if (!text)
        return CString();
    return Truncated(CString::FromUtf8(text), maxLength);
}

std::string LoadIconSvg(const Library* library, unsigned id) {
    if (!library)
        return std::string();
    auto fn = reinterpret_cast<QuillmarResIconFn>(library->Symbol("QuillmarRes_Icon"));
    const char* svg = fn ? fn(id) : nullptr;
    return svg ? std::string(svg) : std::string();
}
