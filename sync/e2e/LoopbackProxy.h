#pragma once
// A TCP relay on loopback between the desktop and the device's connection service, frame by
// frame, that a test can make fail at a chosen request: the request dropped, its answer
// dropped after the device ran it, or something run (killing the service) right after the
// request went through. The handshake frames always pass.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackProxy {
public:
    enum class Fault {
        DropRequest,       // the connection ends before the request reaches the device
        DropAnswer,        // the device runs the request; the connection ends before its answer
        RunAfterRequest,   // the request goes through, then the armed action runs
    };

    // Listens on 127.0.0.1 on a free port and relays to `targetPort`.
    explicit LoopbackProxy(unsigned targetPort);
    ~LoopbackProxy();
    LoopbackProxy(const LoopbackProxy&) = delete;
    LoopbackProxy& operator=(const LoopbackProxy&) = delete;

    bool Listening() const { return m_listenFd >= 0; }
    unsigned Port() const { return m_port; }
    // Connections made from now on go to `port`.
    void SetTarget(unsigned port);
    // The fault strikes at the request after `skipRequests` more requests have passed.
    void Arm(Fault fault, int skipRequests = 0, std::function<void()> action = {});
    void Disarm();
    // True once an armed fault has struck.
    bool Struck() const { return m_struck; }
    // Requests relayed so far (handshake frames not counted).
    int RequestsRelayed() const { return m_requests; }

private:
    struct Link;
    void Run();
    void Accept();
    // Relays what is readable on one side; false when the link is to be closed.
    bool Pump(Link& link, bool fromClient);
    // What to do with one complete frame from the client; false closes the link.
    bool OnClientFrame(Link& link, const std::string& frame);

    int m_listenFd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    unsigned m_port = 0;
    std::atomic<unsigned> m_targetPort;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_struck{false};
    std::atomic<int> m_requests{0};

    std::mutex m_mutex;   // guards the armed fault
    bool m_armed = false;
    Fault m_fault = Fault::DropRequest;
    int m_skip = 0;
    std::function<void()> m_action;

    std::vector<std::unique_ptr<Link>> m_links;   // used by the relay thread only
    std::thread m_thread;
};
