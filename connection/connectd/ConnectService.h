#pragma once
// The listening side of quillmar-connectd: accepts desktop connections and serves each in a
// process of its own, so a silent or hostile peer holds up nobody else. SIGTERM or SIGINT end
// it: the listener closes, open connections are ended, and Run returns.
#include <set>
#include <string>
#include <sys/types.h>

#include "connection/RapiProtocol.h"
#include "connection/RapiStatus.h"
#include "connection/connectd/ServiceOptions.h"

class ConnectService {
public:
    ConnectService(const rapi::PairingKey& key, const ServiceOptions& options) : m_key(key), m_options(options) {}
    ~ConnectService();
    ConnectService(const ConnectService&) = delete;
    ConnectService& operator=(const ConnectService&) = delete;

    RapiStatus Listen();
    // Serves until asked to stop; false when the service could not keep listening.
    bool Run();

private:
    void Accept();
    void ReapFinished();
    void StopConnections();

    rapi::PairingKey m_key;
    ServiceOptions m_options;
    int m_listener = -1;
    std::set<pid_t> m_connections;
};
