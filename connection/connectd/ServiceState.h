#pragma once
// What the running service tells others about itself: its address, port, key file and process,
// in connectd.state in the user's runtime folder ($XDG_RUNTIME_DIR/Kestovar). A lock on
// connectd.lock beside it, held while the service runs, tells a live service from a stale
// file and keeps a second service for the same user from starting.
#include <sys/types.h>
#include <string>

#include "connection/RapiStatus.h"

class ServiceState {
public:
    struct Info {
        std::string address;
        unsigned port = 0;
        std::string keyFile;
        pid_t pid = 0;
    };

    ServiceState() = default;
    ~ServiceState();   // withdraws the state and releases the lock
    ServiceState(const ServiceState&) = delete;
    ServiceState& operator=(const ServiceState&) = delete;

    // Takes the lock (refused while another service runs) and writes `info` atomically.
    RapiStatus Publish(const Info& info);

    // The state of the service running now; a plain reason when none runs or its state is unreadable.
    static RapiStatus ReadRunning(Info& info);
    static std::string StatePath();   // empty when the runtime folder cannot be used

private:
    int m_lockFd = -1;
    std::string m_path;
};
