#pragma once
// A real quillmar-connectd on loopback serving a device folder of its own (its own HOME with a
// registry naming AppPath), and the test process as the paired desktop (another HOME).
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <sys/types.h>

#include "connection/tests/TempHome.h"

class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the service; false (with a test failure) when it does not come up.
    bool StartService();
    // Stops it with SIGTERM; the exit status it ended with.
    int StopService();
    std::string ServiceLog() const;
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

    std::string AppPath() const { return device.Path() + "/app"; }
    std::string Outside() const { return device.Path() + "/outside"; }
    std::string AppPathText() const;   // AppPath as the desktop sees it, with "\" at the end

    TempHome device;
    TempHome desktop;
    unsigned port = 0;
    pid_t service = -1;
    std::string pairingText;
};

std::string FileBytes(const std::string& path);
void PutFileBytes(const std::string& path, const std::string& bytes);
std::string PatternBytes(size_t size);
