#pragma once
// The listening side of quillmar-connectd. Peers go through the handshake here, many at once
// without blocking on any, in a pool of their own with one deadline each; only an
// authenticated desktop gets a process of its own and a place among the desktops served, so
// peers without the key can never keep a desktop out. Refused and dropped peers are summed up
// in the log once per interval. SIGTERM or SIGINT end it: the listener closes, open
// connections are ended, and Run returns.
#include <sys/types.h>
#include <csignal>
#include <set>
#include <string>

#include "connection/RapiProtocol.h"
#include "connection/RapiStatus.h"
#include "connection/connectd/PeerTally.h"
#include "connection/connectd/PendingPeers.h"
#include "connection/connectd/ServiceOptions.h"

class ConnectService {
public:
    ConnectService(const rapi::PairingKey& key, const ServiceOptions& options);
    ~ConnectService();
    ConnectService(const ConnectService&) = delete;
    ConnectService& operator=(const ConnectService&) = delete;

    // Binds and listens; with port 0 the system picks the port, which Port() then tells.
    RapiStatus Listen();
    unsigned Port() const { return m_port; }
    // Serves until asked to stop; false when the service could not keep listening.
    bool Run();

private:
    using Clock = std::chrono::steady_clock;
    bool WaitForWork(const sigset_t& waiting);
    void AcceptAll();
    void Admit(int fd, const sockaddr_storage& address);
    void MakeRoomFor(const std::string& address);
    void Advance(PendingPeer* peer);
    void Drop(std::unique_ptr<PendingPeer> peer, PeerTally::End end);
    void StartSession(std::unique_ptr<PendingPeer> peer);
    void ExpireAndSummarise(bool force = false);
    void ReapFinished();
    void StopConnections();

    rapi::PairingKey m_key;
    ServiceOptions m_options;
    int m_listener = -1;
    unsigned m_port = 0;
    PendingPeers m_pending;
    PeerTally m_tally;
    std::set<pid_t> m_sessions;
};
