#pragma once
// What the desktop needs to reach and trust a device: its address, port and the pairing key.
// The device's service prints it as one line of text (PROTOCOL.md, "Pairing text"); the desktop
// keeps it in its registry under HKCU\Software\Kestovar\Connection ("Host", "Port", "Key").
#include <optional>
#include <string>

#include "connection/ConnectionExport.h"
#include "connection/RapiProtocol.h"
#include "connection/RapiStatus.h"
#include "platform/CString.h"

class QUILLMAR_CONNECTION_EXPORT Pairing {
public:
    static constexpr const char* kRegistryKey = "Software\\Kestovar\\Connection";

    std::string host;
    unsigned port = 0;
    rapi::PairingKey key{};

    // "quillmar-pair:1:HOST:PORT:KEY" with KEY as 64 hex digits.
    std::string Text() const;
    static std::optional<Pairing> Parse(const std::string& text);

    // Checks `text` and stores it in the desktop's registry; a text that does not parse leaves
    // the registry untouched.
    static RapiStatus StoreText(const CString& text);
    static RapiStatus Store(const Pairing& pairing);
    // The stored pairing; nullopt with a reason when none is stored or it is damaged.
    static std::optional<Pairing> Load(RapiStatus* why = nullptr);

    static std::string KeyToHex(const rapi::PairingKey& key);
    static std::optional<rapi::PairingKey> KeyFromHex(const std::string& hex);
};
