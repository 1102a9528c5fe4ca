#include "connection/connectd/RemoteInvoker.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "connection/RapiCodec.h"
#include "connection/RapiProtocol.h"

namespace {

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t g_runningGroup = 0;

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

[[noreturn]] void RunChild(const InvokeRequest& request, int inputFd, int reportFd) {
    ::setpgid(0, 0);
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
    ::close_range(4, ~0u, 0);
    std::string program = request.helper;
    std::string library = request.libraryPath;
    std::string exported = request.function;
    char* argv[] = {program.data(), library.data(), exported.data(), nullptr};
    ::execv(program.c_str(), argv);
    ::_exit(127);
}

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The report: u8 ran, u32 result, u32 length, then that many bytes.
bool IsWhole(const std::string& report) {
    std::string_view view(report);
    uint8_t ran = 0;
    uint32_t result = 0;
    uint32_t length = 0;
    return rapi::GetU8(view, ran) && rapi::GetU32(view, result) && rapi::GetU32(view, length) && view.size() >= length;
}

// Reads the child's report until it is whole, end of stream, the size limit, the deadline or the desktop's
// hang-up. Only a hang-up is watched on the desktop's socket: it sends nothing while it waits.
enum class ReadEnd { Complete, TimedOut, TooLarge, Cancelled };
ReadEnd ReadReport(int fd, int desktopFd, Clock::time_point deadline, std::string& report) {
    const size_t limit = rapi::kMaxInvokeData + 16;
    char buffer[16384];
    for (;;) {
        pollfd entries[2] = {{fd, POLLIN, 0}, {desktopFd, POLLRDHUP, 0}};
        int ready = ::poll(entries, desktopFd >= 0 ? 2 : 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ReadEnd::TimedOut;
        if (desktopFd >= 0 && (entries[1].revents & (POLLRDHUP | POLLHUP | POLLERR)))
            return ReadEnd::Cancelled;
        if (entries[0].revents == 0)
            continue;
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return ReadEnd::Complete;
        report.append(buffer, static_cast<size_t>(got));
        if (report.size() > limit)
            return ReadEnd::TooLarge;
        // Whole by its own length: a process the call left behind may hold the pipe open.
        if (IsWhole(report))
            return ReadEnd::Complete;
    }
}

// This process's children: after the group is gone, the orphans the call left behind.
std::vector<pid_t> Children() {
    std::vector<pid_t> children;
    const std::string self = std::to_string(::getpid());
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return children;
    while (dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...: the name may hold anything, so read after its last ')'.
        const size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::string state;
        std::string parent;
        std::istringstream fields(line.substr(close + 1));
        fields >> state >> parent;
        if (parent == self)
            children.push_back(static_cast<pid_t>(std::stol(entry->d_name)));
    }
    ::closedir(proc);
    return children;
}

// Kills the call's group, then every process left below this one, until none is left.
void KillEverything(pid_t group) {
    ::kill(-group, SIGKILL);
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < giveUp) {
        const pid_t done = ::waitpid(-1, nullptr, WNOHANG);
        if (done > 0 || (done < 0 && errno == EINTR))
            continue;
        if (done < 0)
            return;   // no child left
        for (pid_t child : Children()) {
            ::kill(-child, SIGKILL);   // its own group, when it made one
            ::kill(child, SIGKILL);
        }
        ::waitpid(-1, nullptr, 0);
    }
}

// A call that answered gets a moment to end on its own (its library's exit handlers run). It is
// left unreaped, so its group's number stays reserved until the group is killed.
void AwaitExit(pid_t child) {
    const auto giveUp = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < giveUp) {
        siginfo_t info{};
        const int result = ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT);
        if ((result == 0 && info.si_pid == child) || (result < 0 && errno != EINTR))
            return;
        ::usleep(1000);
    }
}

InvokeOutcome Failed(const std::string& what, int error) {
    InvokeOutcome outcome;
    outcome.note = what + ": " + std::strerror(error);
    return outcome;
}

InvokeOutcome Interpreted(const std::string& helper, const std::string& report) {
    InvokeOutcome outcome;
    std::string_view view(report);
    uint8_t ran = 0;
    uint32_t result = 0;
    std::string answer;
    if (!rapi::GetU8(view, ran) || !rapi::GetU32(view, result) ||
        !rapi::GetBytes(view, rapi::kMaxInvokeData, answer) || !view.empty()) {
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

}   // namespace

void AdoptOrphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }

int RunningInvocationGroup() { return g_runningGroup; }

InvokeOutcome InvokeInChild(const InvokeRequest& request) {
    int inputFd = InputDescriptor(request.input);
    if (inputFd < 0)
        return Failed("cannot hold the input", errno);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(inputFd);
        return Failed("pipe", error);
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(request.timeoutMs);
    pid_t child = ::fork();
    if (child == 0)
        RunChild(request, inputFd, pipeFds[1]);
    const int forkError = errno;
    ::close(inputFd);
    ::close(pipeFds[1]);
    if (child < 0) {
        ::close(pipeFds[0]);
        return Failed("fork", forkError);
    }
    // Set on both sides, so the group exists whichever runs first.
    ::setpgid(child, child);
    g_runningGroup = child;
    std::string report;
    const ReadEnd end = ReadReport(pipeFds[0], request.desktopFd, deadline, report);
    ::close(pipeFds[0]);
    if (end == ReadEnd::Complete)
        AwaitExit(child);
    KillEverything(child);
    g_runningGroup = 0;
    switch (end) {
    case ReadEnd::Complete: return Interpreted(request.helper, report);
    case ReadEnd::TimedOut: {
        InvokeOutcome outcome;
        outcome.result = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
        outcome.note = "killed after the time limit";
        return outcome;
    }
    case ReadEnd::TooLarge: {
        InvokeOutcome outcome;
        outcome.result = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        outcome.note = "answer above the limit";
        return outcome;
    }
    case ReadEnd::Cancelled: break;
    }
    InvokeOutcome outcome;
    outcome.cancelled = true;
    outcome.note = "cancelled: the desktop left";
    return outcome;
}
