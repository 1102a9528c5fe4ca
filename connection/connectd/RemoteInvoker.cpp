#include "connection/connectd/RemoteInvoker.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "connection/RapiCodec.h"
#include "connection/RapiProtocol.h"

namespace {

using Clock = std::chrono::steady_clock;

void CloseInheritedDescriptors(int keepUpTo) {
    long highest = ::sysconf(_SC_OPEN_MAX);
    if (highest < 0 || highest > 65536)
        highest = 65536;
    for (int fd = keepUpTo + 1; fd < highest; ++fd)
        ::close(fd);
}

// Input for the child on descriptor 0, held in memory so writing it can never block.
int InputDescriptor(std::string_view input) {
    int fd = ::memfd_create("quillmar-invoke-input", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    size_t done = 0;
    while (done < input.size()) {
        ssize_t written = ::write(fd, input.data() + done, input.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ::close(fd);
            return -1;
        }
        done += static_cast<size_t>(written);
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

[[noreturn]] void RunChild(const std::string& helper, int inputFd, int reportFd, const std::string& libraryPath,
                           const std::string& function) {
    // The child must not outlive the session that waits for it, nor run the session's handlers.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGPIPE, SIG_DFL);
    // Moved above the low descriptors first, so no dup2 below is a no-op that keeps close-on-exec.
    const int input = ::fcntl(inputFd, F_DUPFD, 10);
    const int report = ::fcntl(reportFd, F_DUPFD, 10);
    if (input < 0 || report < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(report, 3) < 0)
        ::_exit(127);
    // The library's own output joins the service's log rather than the report.
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    CloseInheritedDescriptors(3);
    std::string program = helper;
    std::string library = libraryPath;
    std::string exported = function;
    char* argv[] = {program.data(), library.data(), exported.data(), nullptr};
    ::execv(program.c_str(), argv);
    ::_exit(127);
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

InvokeOutcome InvokeInChild(const std::string& helper, const std::string& libraryPath, const std::string& function,
                            std::string_view input, int timeoutMs) {
    InvokeOutcome outcome;
    int inputFd = InputDescriptor(input);
    if (inputFd < 0) {
        outcome.note = std::string("cannot hold the input: ") + std::strerror(errno);
        return outcome;
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        outcome.note = std::string("pipe: ") + std::strerror(errno);
        ::close(inputFd);
        return outcome;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pid_t child = ::fork();
    if (child == 0)
        RunChild(helper, inputFd, pipeFds[1], libraryPath, function);
    const int forkError = errno;
    ::close(inputFd);
    ::close(pipeFds[1]);
    if (child < 0) {
        outcome.note = std::string("fork: ") + std::strerror(forkError);
        ::close(pipeFds[0]);
        return outcome;
    }
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
        outcome.note = "the library ended without an answer (crashed, or " + helper + " did not start)";
        return outcome;
    }
    outcome.result = static_cast<HRESULT>(result);
    if (!ran)
        outcome.note = answer;   // the loader's reason, for the log only
    else
        outcome.answer = std::move(answer);
    return outcome;
}
