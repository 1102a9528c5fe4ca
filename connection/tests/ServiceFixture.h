#pragma once
// A real quillmar-connectd on loopback, on a port the system picks, serving a device folder of
// its own (its own HOME with a registry naming AppPath, the test library installed there as the
// sync library), and the test process as the paired desktop (another HOME).
#include <gtest/gtest.h>

#include <sys/types.h>
#include <string>
#include <vector>

#include "testing/TempHome.h"
#include "testing/TestFiles.h"

// The key whose "AppPath" the service is told to read: any key serves.
inline constexpr char kDeviceSettingsKey[] = "Software\\Vendor\\Device\\Settings";
inline constexpr char16_t kDeviceSettingsKey16[] = u"Software\\Vendor\\Device\\Settings";

class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The options every test service gets: short limits, the test library's exports allowed.
    static std::vector<std::string> TestOptions();
    // Starts the service with `arguments` (after --settings-key); false (with a test failure)
    // when it does not come up. Learns the port and pairs the desktop from --pairing-text.
    bool StartService(const std::vector<std::string>& arguments = TestOptions());
    // Stops it with SIGTERM; the exit status it ended with.
    int StopService();
    // Stops it and starts it again with these options after the test ones (later ones win).
    bool RestartService(const std::vector<std::string>& extra);
    std::string ServiceLog() const;
    // Waits (bounded) until the log holds `text`.
    bool LogShows(const std::string& text) const;
    // Runs the service binary once with the device's HOME; its exit status, stdout and stderr.
    int RunServiceOnce(const std::vector<std::string>& arguments, std::string& output, std::string& errors);

    // Writes a registry value of the device (switching HOME for the moment).
    void SetDeviceString(const std::string& key, const std::string& name, const std::string& value);
    void SetDeviceDword(const std::string& key, const std::string& name, uint32_t value);

    // The desktop side through the Remote API.
    bool ConnectDesktop();
    bool ReadDeviceFile(const std::u16string& name, std::string& bytes);
    bool WriteDeviceFile(const std::u16string& name, const std::string& bytes);
    // A fresh connection that reads AppPath: the service still serves a good desktop.
    bool GoodDesktopServed();

    // A raw TCP connection to the service.
    int RawConnect();
    // Everything the service sends until it closes (true) or timeoutMs passes (false).
    bool ReceiveUntilClosed(int fd, int timeoutMs, std::string& bytes);

    std::string AppPath() const { return device.Root() + "/app"; }
    std::string Outside() const { return device.Root() + "/outside"; }
    std::string AppPathText() const;   // AppPath as the desktop sees it, with "\" at the end

    TempHome device{"quillmar-device"};
    TempHome desktop{"quillmar-desktop"};
    unsigned port = 0;
    pid_t service = -1;
    std::string pairingText;
};

std::string PatternBytes(size_t size);
// True once no process `pid` exists any more, waiting for at most timeoutMs.
bool ProcessGone(pid_t pid, int timeoutMs);
