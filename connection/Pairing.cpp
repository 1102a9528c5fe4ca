#include "connection/Pairing.h"

#include <algorithm>

#include "platform/Registry.h"

namespace {

constexpr char kPrefix[] = "quillmar-pair:1:";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<unsigned> ParsePort(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    unsigned port = static_cast<unsigned>(std::stoul(text));
    if (port == 0 || port > 65535)
        return std::nullopt;
    return port;
}

// A host name or numeric address: printable, no spaces; IPv6 addresses keep their colons.
bool IsPlausibleHost(const std::string& host) {
    return !host.empty() && host.size() <= 255 &&
           std::all_of(host.begin(), host.end(), [](char c) { return c > ' ' && c < 127; });
}

RapiStatus Refused(const std::string& why) { return RapiStatus::Error(RapiStatus::Code::Malformed, why); }

}   // namespace

std::string Pairing::KeyToHex(const rapi::PairingKey& key) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t byte : key) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 0xF]);
    }
    return hex;
}

std::optional<rapi::PairingKey> Pairing::KeyFromHex(const std::string& hex) {
    rapi::PairingKey key{};
    if (hex.size() != key.size() * 2)
        return std::nullopt;
    for (size_t i = 0; i < key.size(); ++i) {
        int high = HexDigit(hex[2 * i]);
        int low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        key[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return key;
}

std::string Pairing::Text() const { return kPrefix + host + ":" + std::to_string(port) + ":" + KeyToHex(key); }

std::optional<Pairing> Pairing::Parse(const std::string& input) {
    std::string text = input;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.compare(0, kPrefixLength, kPrefix) != 0)
        return std::nullopt;
    // Taken from the right, so an IPv6 host may hold colons.
    const size_t keyColon = text.rfind(':');
    if (keyColon == std::string::npos || keyColon < kPrefixLength)
        return std::nullopt;
    const size_t portColon = text.rfind(':', keyColon - 1);
    if (portColon == std::string::npos || portColon < kPrefixLength)
        return std::nullopt;
    Pairing pairing;
    pairing.host = text.substr(kPrefixLength, portColon - kPrefixLength);
    auto port = ParsePort(text.substr(portColon + 1, keyColon - portColon - 1));
    auto key = KeyFromHex(text.substr(keyColon + 1));
    if (!IsPlausibleHost(pairing.host) || !port || !key)
        return std::nullopt;
    pairing.port = *port;
    pairing.key = *key;
    return pairing;
}

RapiStatus Pairing::StoreText(const CString& text) {
    auto pairing = Parse(text.ToUtf8());
    if (!pairing)
        return Refused("not a pairing text (expected quillmar-pair:1:HOST:PORT:KEY)");
    return Store(*pairing);
}

RapiStatus Pairing::Store(const Pairing& pairing) {
    const CString key(kRegistryKey);
    if (!Registry::CreateKey(key) || !Registry::SetString(key, "Host", CString(pairing.host)) ||
        !Registry::SetDword(key, "Port", pairing.port) ||
        !Registry::SetString(key, "Key", CString(KeyToHex(pairing.key))))
        return RapiStatus::Error(RapiStatus::Code::IoError, "cannot write the registry file " + Registry::FilePath());
    return RapiStatus::Ok();
}

std::optional<Pairing> Pairing::Load(RapiStatus* why) {
    const CString key(kRegistryKey);
    auto host = Registry::QueryString(key, "Host");
    auto port = Registry::QueryDword(key, "Port");
    auto keyText = Registry::QueryString(key, "Key");
    if (!host || !port || !keyText) {
        if (why)
            *why = Refused(
                "no device is paired with this computer; choose Tools > Pair with Device (or run quillmar --pair "
                "TEXT) with the text the device shows under Tools > Pair with Desktop (or that "
                "quillmar-connectd --pairing-text prints)");
        return std::nullopt;
    }
    Pairing pairing;
    pairing.host = host->ToUtf8();
    auto parsedKey = KeyFromHex(keyText->ToUtf8());
    if (!IsPlausibleHost(pairing.host) || *port == 0 || *port > 65535 || !parsedKey) {
        if (why)
            *why = Refused("the stored pairing is damaged; pair again");
        return std::nullopt;
    }
    pairing.port = *port;
    pairing.key = *parsedKey;
    return pairing;
}
