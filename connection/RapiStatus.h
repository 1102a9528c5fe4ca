#pragma once
// The outcome of a connection operation: a code and a message for the log or the caller.
#include <string>
#include <utility>

#include "connection/ConnectionExport.h"

class QUILLMAR_CONNECTION_EXPORT RapiStatus {
public:
    enum class Code {
        Ok,
        Closed,       // the peer ended the connection
        TimedOut,     // the peer stayed silent past the time limit
        Malformed,    // bytes that do not follow the protocol
        TooLarge,     // a length above the protocol's limit
        AuthFailed,   // the handshake or a frame's authentication failed
        IoError,      // the operating system refused
    };

    RapiStatus() = default;
    static RapiStatus Ok() { return RapiStatus(); }
    static RapiStatus Error(Code code, std::string message) { return RapiStatus(code, std::move(message)); }

    bool ok() const { return m_code == Code::Ok; }
    Code code() const { return m_code; }
    const std::string& message() const { return m_message; }

private:
    RapiStatus(Code code, std::string message) : m_code(code), m_message(std::move(message)) {}
    Code m_code = Code::Ok;
    std::string m_message;
};
