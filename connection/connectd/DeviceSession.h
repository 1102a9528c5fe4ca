#pragma once
// One desktop connection on the device: the handshake, then requests answered one by one until
// the desktop leaves, falls silent past the idle limit, or breaks the protocol. A peer that
// fails the handshake or sends a malformed request is dropped without an answer.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connection/RapiProtocol.h"
#include "connection/RapiTypes.h"
#include "connection/connectd/ServiceOptions.h"

class SecureChannel;

class DeviceSession {
public:
    DeviceSession(const rapi::PairingKey& key, const ServiceOptions& options) : m_key(key), m_options(options) {}
    ~DeviceSession();   // closes open files; files being replaced keep their old contents
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Serves the connected socket `fd` (taken over and closed) until the connection ends.
    void Serve(int fd, const std::string& peer);

private:
    struct OpenFile {
        int fd = -1;
        std::string path;        // the file as the desktop named it
        std::string tempPath;    // non-empty: written here and renamed over `path` on close
    };

    // Answers one request; false when the request is malformed (the connection then ends).
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

    rapi::PairingKey m_key;
    ServiceOptions m_options;
    std::string m_peer;
    std::vector<OpenFile> m_files = std::vector<OpenFile>(rapi::kMaxOpenFiles);
};
