#include "connection/connectd/ServiceLog.h"

#include <unistd.h>
#include <cstdio>
#include <ctime>

void LogLine(const std::string& text) {
    char stamp[32] = "";
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    // One write per line keeps lines whole when several processes share the stream.
    std::string line = std::string(stamp) + " quillmar-connectd[" + std::to_string(getpid()) + "] " + text + "\n";
    ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
}
