#include "res/tests/ResLibrary.h"

#include <dlfcn.h>

namespace res_test {

namespace {

class OpenedLibrary {
public:
    OpenedLibrary() {
        // RTLD_NOW: an unresolved symbol would show the library cannot load on its own.
        m_lib.handle = dlopen(QUILLMAR_RES_PATH, RTLD_NOW | RTLD_LOCAL);
        if (m_lib.handle == nullptr) {
            const char* why = dlerror();
            m_lib.error = why != nullptr ? why : "dlopen failed";
            return;
        }
        m_lib.string = reinterpret_cast<LookupFn>(dlsym(m_lib.handle, "QuillmarRes_String"));
        m_lib.icon = reinterpret_cast<LookupFn>(dlsym(m_lib.handle, "QuillmarRes_Icon"));
    }
    ~OpenedLibrary() {
        if (m_lib.handle != nullptr)
            dlclose(m_lib.handle);
    }
    OpenedLibrary(const OpenedLibrary&) = delete;
    OpenedLibrary& operator=(const OpenedLibrary&) = delete;

    const ResLibrary& Get() const { return m_lib; }

private:
    ResLibrary m_lib;
};

constexpr unsigned kNamedStrings[] = {
    2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,
    30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  45,  46,  47,  49,  50,  51,  52,  53,
    55,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,
    78,  83,  84,  85,  86,  87,  88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  100, 101, 102, 103,
    104, 105, 106, 107, 108, 109, 110, 300, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 400,
};

constexpr unsigned kNamedIcons[] = {12, 13, 14, 15, 16, 17, 46, 47, 48, 49, 54};

}   // namespace

const ResLibrary& Res() {
    static const OpenedLibrary library;
    return library.Get();
}

std::span<const unsigned> NamedStringIds() { return kNamedStrings; }

std::span<const unsigned> NamedIconIds() { return kNamedIcons; }

}   // namespace res_test
