#pragma once
// One authenticated desktop connection on the device: requests answered one by one until the
// desktop leaves, falls silent past the idle limit, or breaks the protocol. A malformed request
// ends the connection without an answer.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connection/RapiProtocol.h"
#include "connection/RapiTypes.h"
#include "connection/connectd/ServiceOptions.h"

class SecureChannel;
class SocketTransport;

class DeviceSession {
public:
    explicit DeviceSession(const ServiceOptions& options) : m_options(options) {}
    ~DeviceSession();   // closes open files; files being replaced keep their old contents
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Serves an authenticated desktop on `channel` over `transport` until the connection ends.
    void Serve(SocketTransport& transport, SecureChannel& channel, const std::string& peer);

private:
    struct OpenFile {
        int fd = -1;
        std::string path;       // the file as the desktop named it
        std::string tempPath;   // non-empty: written here and renamed over `path` on close
    };

    // Answers one request; false when the connection is to end (a malformed request, or
    // m_ended says why).
    bool Answer(std::string_view request, std::string& answer);
    bool RegOpenKey(std::string_view in, std::string& answer);
    bool RegQueryValue(std::string_view in, std::string& answer);
    bool FileCreate(std::string_view in, std::string& answer);
    bool FileRead(std::string_view in, std::string& answer);
    bool FileWrite(std::string_view in, std::string& answer);
    bool FileSize(std::string_view in, std::string& answer);
    bool FileClose(std::string_view in, std::string& answer);
    bool Invoke(std::string_view in, std::string& answer);

    OpenFile* FreeSlot();
    // Opens `path` as the desktop asked; fd -1 with errno set on failure.
    static OpenFile OpenPath(const std::string& path, DWORD access, DWORD disposition, int flags);
    OpenFile* Find(uint32_t handle);
    DWORD Close(uint32_t handle);
    void Log(const std::string& text) const;

    ServiceOptions m_options;
    std::string m_peer;
    int m_desktopFd = -1;
    std::string m_ended;   // set when a request ended the connection for a reason of its own
    std::vector<OpenFile> m_files = std::vector<OpenFile>(rapi::kMaxOpenFiles);
};
