// quillmar-connectd-invoke: runs one export of a device library for quillmar-connectd.
// Started fresh for every call: the library and everything it links (the business library,
// the platform library from the device folder) load as in a process of their own, so each call
// starts from the files as stored and sees its own folder as the program folder. Only exports
// the library defines itself are called.
//
// Usage: quillmar-connectd-invoke LIBRARY EXPORT
// Input bytes on descriptor 0; the report goes to descriptor 3:
//   u8 ran (1: the export ran; 0: it could not, the bytes then hold the reason),
//   u32 result (HRESULT), u32 length, bytes.
// Deliberately links nothing of the service, so the library brings its own platform code.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "connection/RapiProtocol.h"
#include "connection/RapiTypes.h"

namespace {

constexpr int kReportFd = 3;

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

int Report(bool ran, HRESULT result, const std::string& bytes) {
    std::string report(1, ran ? '\1' : '\0');
    PutU32(report, static_cast<uint32_t>(result));
    PutU32(report, static_cast<uint32_t>(bytes.size()));
    report += bytes;
    return WriteAll(kReportFd, report) ? 0 : 1;
}

bool ReadInput(std::string& input) {
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        input.append(buffer, static_cast<size_t>(got));
        if (input.size() > rapi::kMaxInvokeData)
            return false;
    }
}

// The export only when the library itself defines it: dlsym also searches the libraries it
// depends on, and a name found there (the C library's, say) is not the library's to offer.
void* OwnExport(void* library, const char* name) {
    void* symbol = ::dlsym(library, name);
    link_map* own = nullptr;
    if (!symbol || ::dlinfo(library, RTLD_DI_LINKMAP, &own) != 0 || !own)
        return nullptr;
    Dl_info info{};
    link_map* definer = nullptr;
    if (::dladdr1(symbol, &info, reinterpret_cast<void**>(&definer), RTLD_DL_LINKMAP) == 0 || definer != own)
        return nullptr;
    return symbol;
}

}   // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillmar-connectd-invoke LIBRARY EXPORT (started by quillmar-connectd)\n");
        return 2;
    }
    std::string input;
    if (!ReadInput(input))
        return Report(false, HRESULT_FROM_WIN32(ERROR_INVALID_DATA), "cannot read the input");
    void* library = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = ::dlerror();
        return Report(false, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), reason ? reason : "cannot load the library");
    }
    auto fn = reinterpret_cast<RemoteInvokeFn>(OwnExport(library, argv[2]));
    if (!fn)
        return Report(false, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND),
                      std::string("the library itself defines no export ") + argv[2]);
    DWORD outputSize = 0;
    BYTE* output = nullptr;
    HRESULT result =
        fn(static_cast<DWORD>(input.size()), input.empty() ? nullptr : reinterpret_cast<BYTE*>(input.data()),
           &outputSize, &output, nullptr);
    std::string answer;
    if (output && outputSize > rapi::kMaxInvokeData)
        result = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    else if (output)
        answer.assign(reinterpret_cast<const char*>(output), outputSize);
    // The answer came from the library's LocalAlloc; its LocalFree is among its dependencies.
    // A library without one cannot have allocated with it, and the process ends right after.
    using LocalFreeFn = void* (*)(void*);
    if (auto localFree = reinterpret_cast<LocalFreeFn>(::dlsym(library, "LocalFree")); output && localFree)
        localFree(output);
    const int status = Report(true, result, answer);
    ::close(kReportFd);
    ::dlclose(library);
    return status;
}
