#pragma once
// Two machines on one computer for end-to-end synchronisation: a desktop (this process, with
// its own HOME, registry and data folder) and a device (another HOME whose registry names an
// "AppPath" folder holding copies of the device libraries), served by a real
// quillmar-connectd on loopback behind a LoopbackProxy. The desktop's registry holds the
// pairing, pointed at the proxy. Everything lives in a temporary folder removed at the end;
// the environment the process had is restored.
#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sync/e2e/LoopbackProxy.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

class SyncMachine {
public:
    struct Options {
        int invokeTimeoutMs = 30000;
    };

    SyncMachine() : SyncMachine(Options()) {}
    explicit SyncMachine(const Options& options);
    ~SyncMachine();
    SyncMachine(const SyncMachine&) = delete;
    SyncMachine& operator=(const SyncMachine&) = delete;

    // False when the folders or the device libraries could not be set up; Problem() says why.
    bool Ready() const { return m_problem.empty(); }
    const std::string& Problem() const { return m_problem; }

    // Starts the service on a port the system picks, points the proxy at it and (the first time) stores
    // the pairing on the desktop. False when it does not come up.
    bool StartService();
    // Kills the service and every process it started (SIGKILL to its process group).
    void KillService();
    // Ends it with SIGTERM; true when it ended cleanly.
    bool StopService();
    bool ServiceRunning() const { return m_service > 0; }
    std::string ServiceLog() const;

    LoopbackProxy& Proxy() { return *m_proxy; }

    // Points the process's data store at the desktop's data file, respectively at the
    // device's (through the desktop build, which reads and writes the same layout).
    bool UseDesktopData();
    bool UseDeviceData();
    // Runs `edit` on the device's data file, then returns to the desktop's.
    bool OnDevice(const std::function<void()>& edit);

    // Runs `work` with the device's environment (HOME, XDG folders), e.g. to open the device
    // program's window endpoint under the device's runtime folder.
    void WithDeviceEnvironment(const std::function<void()>& work);

    const std::string& DesktopDataFolder() const { return m_desktopData; }
    const std::string& DeviceAppFolder() const { return m_deviceApp; }
    std::string DesktopDataFile() const { return m_desktopData + "/Quillmar.dat"; }
    std::string DeviceDataFile() const { return m_deviceApp + "/Quillmar.dat"; }
    std::string DeviceFile(const std::string& name) const { return m_deviceApp + "/" + name; }
    std::string DesktopFile(const std::string& name) const { return m_desktopData + "/" + name; }

private:
    bool StartServiceOnce();
    bool SetUpFolders();
    bool CopyDeviceLibraries();
    bool WriteDeviceAppPath();
    bool StorePairing();
    void ActivateDesktop();
    void ActivateDevice();

    Options m_options;
    std::string m_problem;
    // Declared before the service and the relay, so both are gone before the folders go.
    TempHome m_desktop{"quillmar-e2e-desktop"};
    TempHome m_device{"quillmar-e2e-device"};
    std::string m_desktopData;
    std::string m_deviceApp;
    pid_t m_service = -1;
    unsigned m_servicePort = 0;
    bool m_paired = false;
    std::unique_ptr<LoopbackProxy> m_proxy;
};

// The whole file; empty when it cannot be read.
// Sleeps until the wall clock's second changes, so that what is saved next is strictly later
// than every time stamped so far (stored times have whole seconds).
void WaitForNextSecond();
