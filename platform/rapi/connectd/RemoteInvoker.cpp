#include "platform/rapi/connectd/RemoteInvoker.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/LocalAlloc.h"
#include "platform/rapi/RapiCodec.h"
#include "platform/rapi/RapiProtocol.h"

namespace {

using Clock = std::chrono::steady_clock;

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

// The report: u8 1 when the export ran (else the bytes are the loader's reason), u32 result, bytes.
std::string Report(bool ran, HRESULT result, std::string_view answer) {
    std::string report;
    rapi::PutU8(report, ran ? 1 : 0);
    rapi::PutU32(report, static_cast<uint32_t>(result));
    rapi::PutBytes(report, answer);
    return report;
}

std::string LoaderError() {
    const char* reason = ::dlerror();
    return reason ? reason : "cannot load the library";
}

void CloseInheritedDescriptors(int keep) {
    long highest = ::sysconf(_SC_OPEN_MAX);
    if (highest < 0 || highest > 65536)
        highest = 65536;
    for (int fd = 3; fd < highest; ++fd)
        if (fd != keep)
            ::close(fd);
}

[[noreturn]] void RunChild(int reportFd, const std::string& libraryPath, const std::string& function,
                           std::string input) {
    // The child must not outlive the session that waits for it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    CloseInheritedDescriptors(reportFd);
    void* library = ::dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        WriteAll(reportFd, Report(false, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), LoaderError()));
        ::_exit(1);
    }
    auto fn = reinterpret_cast<RemoteInvokeFn>(::dlsym(library, function.c_str()));
    if (!fn) {
        WriteAll(reportFd, Report(false, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), "no export " + function));
        ::_exit(1);
    }
    DWORD outputSize = 0;
    BYTE* output = nullptr;
    HRESULT result = fn(static_cast<DWORD>(input.size()), input.empty() ? nullptr : reinterpret_cast<BYTE*>(input.data()),
                        &outputSize, &output, nullptr);
    std::string answer;
    if (output && outputSize > rapi::kMaxInvokeData)
        result = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    else if (output)
        answer.assign(reinterpret_cast<const char*>(output), outputSize);
    if (output)
        LocalFree(output);
    WriteAll(reportFd, Report(true, result, answer));
    ::close(reportFd);
    ::dlclose(library);
    ::_exit(0);
}

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads the child's report until end of stream, the size limit or the deadline.
enum class ReadEnd { Complete, TimedOut, TooLarge };
ReadEnd ReadReport(int fd, Clock::time_point deadline, std::string& report) {
    const size_t limit = rapi::kMaxInvokeData + 16;
    char buffer[16384];
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ReadEnd::TimedOut;
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return ReadEnd::Complete;
        report.append(buffer, static_cast<size_t>(got));
        if (report.size() > limit)
            return ReadEnd::TooLarge;
    }
}

void Reap(pid_t child, Clock::time_point deadline) {
    for (;;) {
        pid_t done = ::waitpid(child, nullptr, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR))
            return;
        if (Clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            return;
        }
        ::usleep(2000);
    }
}

}  // namespace

InvokeOutcome InvokeInChild(const std::string& libraryPath, const std::string& function, std::string_view input,
                            int timeoutMs) {
    InvokeOutcome outcome;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        outcome.note = std::string("pipe: ") + std::strerror(errno);
        return outcome;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string inputCopy(input);
    pid_t child = ::fork();
    if (child < 0) {
        outcome.note = std::string("fork: ") + std::strerror(errno);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return outcome;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        RunChild(pipeFds[1], libraryPath, function, std::move(inputCopy));
    }
    ::close(pipeFds[1]);
    std::string report;
    ReadEnd end = ReadReport(pipeFds[0], deadline, report);
    ::close(pipeFds[0]);
    if (end != ReadEnd::Complete) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        outcome.result = HRESULT_FROM_WIN32(end == ReadEnd::TimedOut ? ERROR_TIMEOUT : ERROR_INSUFFICIENT_BUFFER);
        outcome.note = end == ReadEnd::TimedOut ? "killed after the time limit" : "answer above the limit";
        return outcome;
    }
    Reap(child, Clock::now() + std::chrono::seconds(2));
    std::string_view view(report);
    uint8_t ran = 0;
    uint32_t result = 0;
    std::string answer;
    if (!rapi::GetU8(view, ran) || !rapi::GetU32(view, result) || !rapi::GetBytes(view, rapi::kMaxInvokeData, answer) || !view.empty()) {
        outcome.note = "the library ended without an answer";
        return outcome;
    }
    outcome.result = static_cast<HRESULT>(result);
    if (!ran)
        outcome.note = answer;   // the loader's reason, for the log only
    else
        outcome.answer = std::move(answer);
    return outcome;
}
