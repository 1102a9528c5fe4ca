#pragma once
// The desktop end of one connection to a device's quillmar-connectd: connects, authenticates
// and sends typed requests (PROTOCOL.md, "Requests"). Every call answers a RapiStatus for the
// connection itself and, when that is ok, the device's own result code in `result`. After a
// connection failure every later call fails too.
#include <cstdint>
#include <memory>
#include <string>

#include "connection/Pairing.h"
#include "connection/RapiProtocol.h"
#include "connection/RapiStatus.h"
#include "connection/RapiTypes.h"
#include "platform/CString.h"

class SecureChannel;
class SocketTransport;

class RapiClient {
public:
    static RapiStatus Connect(const Pairing& pairing, int timeoutMs, std::unique_ptr<RapiClient>& out);
    ~RapiClient();
    RapiClient(const RapiClient&) = delete;
    RapiClient& operator=(const RapiClient&) = delete;

    bool IsConnected() const { return m_channel != nullptr; }

    RapiStatus RegOpenKey(const CString& key, DWORD& result);
    RapiStatus RegQueryValue(const CString& key, const CString& name, DWORD& result, DWORD& type, std::string& data);
    RapiStatus FileCreate(const CString& path, DWORD access, DWORD share, DWORD disposition, DWORD attributes,
                          DWORD& result, uint32_t& handle);
    // At most kMaxChunk bytes per call.
    RapiStatus FileRead(uint32_t handle, uint32_t count, DWORD& result, std::string& data);
    RapiStatus FileWrite(uint32_t handle, std::string_view data, DWORD& result, uint32_t& written);
    RapiStatus FileSize(uint32_t handle, DWORD& result, uint64_t& size);
    RapiStatus FileClose(uint32_t handle, DWORD& result);
    RapiStatus Invoke(const CString& library, const CString& function, std::string_view input, HRESULT& result,
                      std::string& answer);

private:
    RapiClient(std::unique_ptr<SocketTransport> transport, std::unique_ptr<SecureChannel> channel);
    // Sends one request and reads its answer; the answer's status word goes to `result` and the
    // rest stays in `answer`.
    RapiStatus Call(const std::string& request, int timeoutMs, DWORD& result, std::string& answer);
    RapiStatus Broken(RapiStatus status);

    std::unique_ptr<SocketTransport> m_transport;
    std::unique_ptr<SecureChannel> m_channel;
};
