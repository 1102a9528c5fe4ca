// Calls one export of a device library the way the connection service does: load the library
// in a fresh process, call the export with the remote-invocation signature (no input, no
// stream), report status and answer, release the answer with LocalFree.
//   quillmar_sync_host LIBRARY EXPORT [LOCAL-NOW-AS-OLE-DATE]
// Prints "status=XXXXXXXX", "size=N" and "answer=<hex bytes>" lines. Exit code 0 when the
// export ran, 2 for bad arguments, 3 when the library does not load, 4 without the export.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "connection/RapiTypes.h"
#include "platform/Clock.h"
#include "platform/LocalAlloc.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s LIBRARY EXPORT [LOCAL-NOW]\n", argv[0]);
        return 2;
    }
    // The libraries share this process's platform library, so the clock set here is theirs.
    if (argc == 4)
        Clock::Set(COleDateTime(std::strtod(argv[3], nullptr)));
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 3;
    }
    auto function = reinterpret_cast<RemoteInvokeFn>(dlsym(library, argv[2]));
    if (!function) {
        std::fprintf(stderr, "no export %s\n", argv[2]);
        return 4;
    }
    DWORD size = 0;
    BYTE* answer = nullptr;
    const HRESULT status = function(0, nullptr, &size, &answer, nullptr);
    std::printf("status=%08X\nsize=%u\nanswer=", static_cast<unsigned>(status), static_cast<unsigned>(size));
    for (DWORD i = 0; answer && i < size; ++i)
        std::printf("%02X", static_cast<unsigned>(answer[i]));
    std::printf("\n");
    LocalFree(answer);
    return 0;
}
