// quillmar-connectd: the device's connection service. Serves the desktop's Remote API calls on
// the device's registry, program folder and libraries, to desktops holding the pairing key.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "connection/Pairing.h"
#include "connection/connectd/ConnectService.h"
#include "connection/connectd/KeyFile.h"
#include "connection/connectd/ServiceLog.h"

namespace {

const char kUsage[] =
    "usage: quillmar-connectd [options]\n"
    "  --address ADDR            listen on ADDR (default 127.0.0.1)\n"
    "  --port PORT               listen on PORT (default 47953)\n"
    "  --pairing-text            print the one-line pairing text for the desktop and exit\n"
    "  --key-file PATH           the pairing key file (default $XDG_CONFIG_HOME/Kestovar/connectd.key)\n"
    "  --handshake-timeout-ms N  drop a peer that does not authenticate within N ms (default 5000)\n"
    "  --idle-timeout-ms N       drop a desktop silent for N ms between requests (default 60000)\n"
    "  --invoke-timeout-ms N     kill a library call running longer than N ms (default 60000)\n"
    "  --max-connections N       connections served at once (default 8)\n"
    "  --help                    show this text\n";

struct CommandLine {
    ServiceOptions options;
    bool printPairing = false;
    bool help = false;
};

bool ParseNumber(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

bool ParseArguments(int argc, char** argv, CommandLine& line, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--pairing-text") {
            line.printPairing = true;
            continue;
        }
        if (option == "--help" || option == "-h") {
            line.help = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "unknown option or missing value: " + option;
            return false;
        }
        const char* value = argv[++i];
        long number = 0;
        if (option == "--address")
            line.options.address = value;
        else if (option == "--key-file")
            line.options.keyFile = value;
        else if (option == "--port" && ParseNumber(value, 1, 65535, number))
            line.options.port = static_cast<unsigned>(number);
        else if (option == "--handshake-timeout-ms" && ParseNumber(value, 1, 3600000, number))
            line.options.handshakeTimeoutMs = static_cast<int>(number);
        else if (option == "--idle-timeout-ms" && ParseNumber(value, 1, 86400000, number))
            line.options.idleTimeoutMs = static_cast<int>(number);
        else if (option == "--invoke-timeout-ms" && ParseNumber(value, 1, 3600000, number))
            line.options.invokeTimeoutMs = static_cast<int>(number);
        else if (option == "--max-connections" && ParseNumber(value, 1, 1024, number))
            line.options.maxConnections = static_cast<unsigned>(number);
        else {
            error = "bad option or value: " + option + " " + value;
            return false;
        }
    }
    return true;
}

// quillmar-connectd-invoke lives beside this executable.
std::string InvokeHelperPath() {
    char self[4096];
    ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return "quillmar-connectd-invoke";
    std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + "quillmar-connectd-invoke";
}

// The address a desktop should dial: the listening one, or this machine's name when the
// service listens on every address.
std::string AdvertisedHost(const std::string& address) {
    if (address != "0.0.0.0" && address != "::")
        return address;
    char name[256] = "";
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "127.0.0.1";
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseArguments(argc, argv, line, error)) {
        std::fprintf(stderr, "quillmar-connectd: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (line.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string keyPath = line.options.keyFile.empty() ? KeyFile::DefaultPath() : line.options.keyFile;
    rapi::PairingKey key{};
    RapiStatus status = KeyFile::LoadOrCreate(keyPath, key);
    if (!status.ok()) {
        std::fprintf(stderr, "quillmar-connectd: %s\n", status.message().c_str());
        return 1;
    }
    if (line.printPairing) {
        Pairing pairing;
        pairing.host = AdvertisedHost(line.options.address);
        pairing.port = line.options.port;
        pairing.key = key;
        std::printf("%s\n", pairing.Text().c_str());
        return 0;
    }
    line.options.invokeHelper = InvokeHelperPath();
    if (::access(line.options.invokeHelper.c_str(), X_OK) != 0)
        LogLine("warning: " + line.options.invokeHelper + " is missing; library calls will fail");
    ConnectService service(key, line.options);
    status = service.Listen();
    if (!status.ok()) {
        LogLine(status.message());
        return 1;
    }
    return service.Run() ? 0 : 1;
}
