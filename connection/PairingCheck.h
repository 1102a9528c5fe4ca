#pragma once
// Checks a pairing before the desktop keeps it: reads the text the device's service printed
// (or the typed address, port and key), each fault with its own words, then connects,
// authenticates, reads the device's program folder and asks its synchronisation identity. The
// outcome is said in plain words for the pairing dialog and `quillmar --pair`.
#include <optional>
#include <string>

#include "connection/ConnectionExport.h"
#include "connection/Pairing.h"
#include "connection/RapiProtocol.h"

class QUILLMAR_CONNECTION_EXPORT PairingCheck {
public:
    enum class Outcome {
        Reached,            // authenticated, program folder and identity read
        BadText,            // the text or the typed parts do not make a pairing
        UnknownHost,        // the address does not resolve
        NothingListening,   // the address answers, but no service listens on the port
        TimedOut,           // no answer in time (a silent peer, or a filtered port)
        KeyRefused,         // the device's service refused the key
        NotTheService,      // something else listens there
        NoProgramFolder,    // reached, but the device's program is not set up ("AppPath")
        NoSyncLibrary,      // reached, but the device's sync library did not answer
        Failed,             // the connection broke for another reason
    };

    struct Result {
        Outcome outcome = Outcome::Failed;
        std::string message;        // in the user's words
        std::string appPath;        // the device's program folder, when read
        std::string deviceSyncId;   // the device data file's "syncID"; empty when it has none
        bool Passed() const { return outcome == Outcome::Reached; }
    };

    // Surrounding spaces and line breaks are dropped, and line breaks inside (a long line
    // wrapped when copied). nullopt with `why` set when the text is not a pairing.
    static std::optional<Pairing> ParseText(const std::string& text, std::string& why);
    // The typed parts; nullopt with `why` naming the part that is wrong.
    static std::optional<Pairing> FromParts(const std::string& host, const std::string& port,
                                            const std::string& keyHex, std::string& why);

    // Connects within `timeoutMs` (connect and handshake together) and asks the device.
    // `settingsKey` is the device registry key holding "AppPath".
    static Result Run(const Pairing& pairing, int timeoutMs = rapi::kConnectTimeoutMs,
                      const std::string& settingsKey = "Software\\Kestovar\\Quillmar\\Settings");
    // `quillmar --pair TEXT`: parses, tests, and stores the pairing only when the test passed
    // (a failed store turns the result into a failure saying so).
    static Result CheckAndStore(const std::string& text, int timeoutMs = rapi::kConnectTimeoutMs);
};
