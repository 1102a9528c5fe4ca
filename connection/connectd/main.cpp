// quillmar-connectd: the device's connection service. Serves the desktop's Remote API calls on
// the device's registry, program folder and sync library, to desktops holding the pairing key.
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "connection/Pairing.h"
#include "connection/connectd/ConnectService.h"
#include "connection/connectd/KeyFile.h"
#include "connection/connectd/ServiceLog.h"
#include "connection/connectd/ServiceState.h"

namespace {

const char kUsage[] =
    "usage: quillmar-connectd --settings-key KEY [options]\n"
    "       quillmar-connectd --pairing-text\n"
    "  --settings-key KEY        the registry key (below HKEY_CURRENT_USER) whose value \"AppPath\"\n"
    "                            names the device program's folder\n"
    "  --address ADDR            listen on ADDR (default 127.0.0.1)\n"
    "  --port PORT               listen on PORT (default 47953; 0: any free port)\n"
    "  --key-file PATH           the pairing key file (default $XDG_CONFIG_HOME/Kestovar/connectd.key)\n"
    "  --exports NAME[,NAME...]  the sync library's exports a desktop may call (default: those the\n"
    "                            desktop's synchronisation uses)\n"
    "  --handshake-timeout-ms N  drop a peer that does not authenticate within N ms (default 5000)\n"
    "  --idle-timeout-ms N       drop a desktop silent for N ms between requests (default 60000)\n"
    "  --invoke-timeout-ms N     kill a library call running longer than N ms (default 60000)\n"
    "  --max-connections N       desktops served at once (default 8)\n"
    "  --max-pending N           peers in the handshake at once (default 64)\n"
    "  --max-pending-per-address N  of those, from one address (default 8)\n"
    "  --summary-interval-ms N   sum up refused and dropped peers in the log every N ms (default 10000)\n"
    "  --pairing-text            print the running service's one-line pairing text for the desktop\n"
    "  --help                    show this text\n"
    "The running service's address, port and key file are in $XDG_RUNTIME_DIR/Kestovar/connectd.state.\n";

struct CommandLine {
    ServiceOptions options;
    bool printPairing = false;
    bool help = false;
    bool serviceOptions = false;   // any option that only the service itself uses
};

bool ParseNumber(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

bool ParseList(const std::string& text, std::vector<std::string>& names) {
    names.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        if (comma == start)
            return false;
        names.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return !names.empty();
}

bool ParseNumberOption(const std::string& option, const char* value, ServiceOptions& options) {
    long number = 0;
    if (option == "--port" && ParseNumber(value, 0, 65535, number))
        options.port = static_cast<unsigned>(number);
    else if (option == "--handshake-timeout-ms" && ParseNumber(value, 1, 3600000, number))
        options.handshakeTimeoutMs = static_cast<int>(number);
    else if (option == "--idle-timeout-ms" && ParseNumber(value, 1, 86400000, number))
        options.idleTimeoutMs = static_cast<int>(number);
    else if (option == "--invoke-timeout-ms" && ParseNumber(value, 1, 3600000, number))
        options.invokeTimeoutMs = static_cast<int>(number);
    else if (option == "--max-connections" && ParseNumber(value, 1, 1024, number))
        options.maxConnections = static_cast<unsigned>(number);
    else if (option == "--max-pending" && ParseNumber(value, 1, 4096, number))
        options.maxPending = static_cast<unsigned>(number);
    else if (option == "--max-pending-per-address" && ParseNumber(value, 1, 4096, number))
        options.maxPendingPerAddress = static_cast<unsigned>(number);
    else if (option == "--summary-interval-ms" && ParseNumber(value, 1, 3600000, number))
        options.summaryIntervalMs = static_cast<int>(number);
    else
        return false;
    return true;
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
        line.serviceOptions = true;
        if (option == "--address")
            line.options.address = value;
        else if (option == "--key-file")
            line.options.keyFile = value;
        else if (option == "--settings-key" && value[0] != '\0')
            line.options.settingsKey = value;
        else if (option == "--exports" && ParseList(value, line.options.exports))
            continue;
        else if (!ParseNumberOption(option, value, line.options)) {
            error = "bad option or value: " + option + " " + value;
            return false;
        }
    }
    if (line.printPairing && line.serviceOptions) {
        error = "--pairing-text reads what the running service uses and takes no other options";
        return false;
    }
    if (!line.printPairing && !line.help && line.options.settingsKey.empty()) {
        error = "--settings-key is needed: the registry key whose \"AppPath\" names the program folder";
        return false;
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

// From the running service's state: its address, port and key. Never makes a key: a second
// one would not be the running service's.
int PrintPairingText() {
    ServiceState::Info state;
    RapiStatus status = ServiceState::ReadRunning(state);
    rapi::PairingKey key{};
    if (status.ok()) {
        status = KeyFile::Load(state.keyFile, key);
        if (!status.ok())
            status = RapiStatus::Error(status.code(), "the running service's key cannot be read (" + status.message() +
                                                          "); restart the service to make a new key, then pair again");
    }
    if (!status.ok()) {
        std::fprintf(stderr, "quillmar-connectd: %s\n", status.message().c_str());
        return 1;
    }
    Pairing pairing;
    pairing.host = AdvertisedHost(state.address);
    pairing.port = state.port;
    pairing.key = key;
    std::printf("%s\n", pairing.Text().c_str());
    return 0;
}

int Serve(ServiceOptions options) {
    const std::string keyPath = options.keyFile.empty() ? KeyFile::DefaultPath() : options.keyFile;
    rapi::PairingKey key{};
    RapiStatus status = KeyFile::LoadOrCreate(keyPath, key);
    if (!status.ok()) {
        LogLine(status.message());
        return 1;
    }
    options.invokeHelper = InvokeHelperPath();
    if (::access(options.invokeHelper.c_str(), X_OK) != 0)
        LogLine("warning: " + options.invokeHelper + " is missing; library calls will fail");
    ConnectService service(key, options);
    status = service.Listen();
    ServiceState state;
    if (status.ok())
        status = state.Publish({options.address, service.Port(), keyPath, ::getpid()});
    if (!status.ok()) {
        LogLine(status.message());
        return 1;
    }
    LogLine("listening on " + options.address + ":" + std::to_string(service.Port()) + " (state in " +
            ServiceState::StatePath() + ")");
    return service.Run() ? 0 : 1;
}

}   // namespace

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
    if (line.printPairing)
        return PrintPairingText();
    return Serve(line.options);
}
