#include "connection/connectd/ServiceState.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "platform/Paths.h"
#include "platform/WindowMessages.h"

namespace {

const char kStateName[] = "connectd.state";
const char kLockName[] = "connectd.lock";

std::string LockPath() {
    const std::string folder = WindowMessageFolder();
    return folder.empty() ? std::string() : folder + "/" + kLockName;
}

RapiStatus Failed(const std::string& what) {
    return RapiStatus::Error(RapiStatus::Code::IoError, what + ": " + std::strerror(errno));
}

RapiStatus NotRunning(const std::string& why) {
    return RapiStatus::Error(RapiStatus::Code::Closed,
                             "no quillmar-connectd is running for this user (" + why + "); start it first");
}

std::string Text(const ServiceState::Info& info) {
    return "address=" + info.address + "\nport=" + std::to_string(info.port) + "\nkey-file=" + info.keyFile +
           "\npid=" + std::to_string(info.pid) + "\n";
}

bool Parse(const std::string& text, ServiceState::Info& info) {
    std::istringstream lines(text);
    std::string line;
    bool port = false;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            return false;
        const std::string name = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        char* end = nullptr;
        if (name == "address")
            info.address = value;
        else if (name == "key-file")
            info.keyFile = value;
        else if (name == "port") {
            const unsigned long number = std::strtoul(value.c_str(), &end, 10);
            port = !value.empty() && *end == '\0' && number > 0 && number <= 65535;
            info.port = static_cast<unsigned>(number);
        } else if (name == "pid")
            info.pid = static_cast<pid_t>(std::strtol(value.c_str(), &end, 10));
    }
    return port && !info.address.empty() && !info.keyFile.empty();
}

}   // namespace

std::string ServiceState::StatePath() {
    const std::string folder = WindowMessageFolder();
    return folder.empty() ? std::string() : folder + "/" + kStateName;
}

ServiceState::~ServiceState() {
    if (!m_path.empty())
        ::unlink(m_path.c_str());
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

RapiStatus ServiceState::Publish(const Info& info) {
    const std::string lockPath = LockPath();
    const std::string path = StatePath();
    if (lockPath.empty())
        return RapiStatus::Error(RapiStatus::Code::IoError,
                                 "the runtime folder ($XDG_RUNTIME_DIR/Kestovar) is not usable");
    if (info.address.find('\n') != std::string::npos || info.keyFile.find('\n') != std::string::npos)
        return RapiStatus::Error(RapiStatus::Code::Malformed, "an address or key file path may not hold a line break");
    m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0)
        return Failed("cannot open " + lockPath);
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        Info running;
        const std::string which = ReadRunning(running).ok() ? " (process " + std::to_string(running.pid) + ", port " +
                                                                  std::to_string(running.port) + ")"
                                                            : "";
        return RapiStatus::Error(RapiStatus::Code::IoError,
                                 "another quillmar-connectd serves this user already" + which);
    }
    if (!WriteFileAtomically(path, Text(info), 0600))
        return Failed("cannot write " + path);
    m_path = path;
    return RapiStatus::Ok();
}

RapiStatus ServiceState::ReadRunning(Info& info) {
    const std::string lockPath = LockPath();
    if (lockPath.empty())
        return NotRunning("the runtime folder is not usable");
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return NotRunning("nothing in " + lockPath.substr(0, lockPath.rfind('/')));
    const bool free = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);
    if (free)
        return NotRunning("none holds " + lockPath);
    std::string text;
    if (!ReadWholeFile(StatePath(), text) || !Parse(text, info))
        return RapiStatus::Error(RapiStatus::Code::Malformed,
                                 "the running service's state " + StatePath() + " is missing or damaged; restart it");
    return RapiStatus::Ok();
}
