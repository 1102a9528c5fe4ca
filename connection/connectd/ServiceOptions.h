#pragma once
// What quillmar-connectd was started with.
#include <string>
#include <vector>

#include "connection/RapiProtocol.h"

struct ServiceOptions {
    std::string address = "127.0.0.1";
    unsigned port = 47953;   // 0: any free port, reported in the log and the state file
    std::string keyFile;     // empty: KeyFile::DefaultPath()
    // The registry key (below HKEY_CURRENT_USER) whose "AppPath" names the program folder;
    // given by whoever starts the service, which knows nothing of the program's settings.
    std::string settingsKey;
    // The exports of the sync library a desktop may call: those the desktop's synchronisation uses.
    std::vector<std::string> exports = {"GetDeviceSideSyncID", "TriggerDeviceSide_SerializeLocalChanges",
                                        "TriggerDeviceSide_CommitRemoteChanges",
                                        "TriggerDeviceSide_UpdateLastSyncDateTime"};
    int handshakeTimeoutMs = rapi::kHandshakeTimeoutMs;
    int idleTimeoutMs = rapi::kIdleTimeoutMs;
    int invokeTimeoutMs = rapi::kInvokeTimeoutMs;
    unsigned maxConnections = 8;         // authenticated desktops served at once
    unsigned maxPending = 64;            // peers still in the handshake
    unsigned maxPendingPerAddress = 8;   // of those, from one address (IPv6: one /64)
    int summaryIntervalMs = 10000;       // how often refused and dropped peers are summed up in the log
    std::string invokeHelper;            // quillmar-connectd-invoke, beside the service's executable
};
