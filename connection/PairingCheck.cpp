#include "connection/PairingCheck.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

#include "connection/RapiClient.h"

namespace {

constexpr char kPrefix[] = "quillmar-pair:";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
constexpr char kVersion[] = "1";
constexpr size_t kKeyDigits = 64;

std::string Trimmed(const std::string& text) {
    std::string kept;
    for (char c : text) {
        // Line breaks anywhere: a long line may have been wrapped when it was copied.
        if (c != '\n' && c != '\r')
            kept.push_back(c);
    }
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(kept.begin(), kept.end(), isSpace);
    const auto last = std::find_if_not(kept.rbegin(), kept.rend(), isSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

std::optional<Pairing> Refuse(std::string& why, std::string text) {
    why = std::move(text);
    return std::nullopt;
}

PairingCheck::Result Say(PairingCheck::Outcome outcome, std::string message) {
    PairingCheck::Result result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

std::string Where(const Pairing& pairing) { return pairing.host + " port " + std::to_string(pairing.port); }

PairingCheck::Result ConnectionFailure(const Pairing& pairing, const RapiStatus& status) {
    using O = PairingCheck::Outcome;
    const std::string& detail = status.message();
    switch (status.code()) {
    case RapiStatus::Code::TimedOut:
        return Say(O::TimedOut, "Nothing answered from " + Where(pairing) +
                                    " in time. Check that the device is switched on and on the same network, "
                                    "and that no firewall blocks the port.");
    case RapiStatus::Code::AuthFailed:
        return Say(O::KeyRefused, "The device at " + Where(pairing) +
                                      " refused the key. Pair again with the text the device shows now "
                                      "(Tools > Pair with Desktop on the device).");
    case RapiStatus::Code::Malformed:
    case RapiStatus::Code::TooLarge:
        return Say(O::NotTheService, "Something answers at " + Where(pairing) +
                                         ", but it is not the device's Quillmar connection service. Check the "
                                         "port.");
    default: break;
    }
    if (detail.rfind("cannot resolve", 0) == 0 || detail.rfind("no address", 0) == 0)
        return Say(O::UnknownHost, "The address " + pairing.host + " is not known on this network.");
    if (detail.find(std::strerror(ECONNREFUSED)) != std::string::npos)
        return Say(O::NothingListening, "The device at " + pairing.host +
                                            " was reached, but nothing listens on port " +
                                            std::to_string(pairing.port) +
                                            ". Start the connection service on the device "
                                            "(systemctl --user start quillmar-connectd) and test again.");
    return Say(O::Failed, "The connection to " + Where(pairing) + " failed: " + detail + ".");
}

// The registry string as UTF-8, without its terminating zero.
std::string RegistryText(const std::string& data) {
    std::u16string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        text.push_back(
            static_cast<char16_t>(static_cast<uint8_t>(data[i]) | (static_cast<uint8_t>(data[i + 1]) << 8)));
    const size_t end = text.find(u'\0');
    if (end != std::u16string::npos)
        text.resize(end);
    return CString(text).ToUtf8();
}

}   // namespace

std::optional<Pairing> PairingCheck::ParseText(const std::string& input, std::string& why) {
    const std::string text = Trimmed(input);
    if (text.empty())
        return Refuse(why,
                      "The pairing text is empty. On the device, open Tools > Pair with Desktop (or run "
                      "quillmar-connectd --pairing-text) and copy the whole line.");
    if (text.compare(0, kPrefixLength, kPrefix) != 0)
        return Refuse(why, "This is not a pairing text: it must start with \"quillmar-pair:\".");
    const size_t versionEnd = text.find(':', kPrefixLength);
    const std::string version = text.substr(kPrefixLength, versionEnd - kPrefixLength);
    if (version != kVersion)
        return Refuse(why, "This pairing text is of a kind this program does not know (\"" + version +
                               "\"); update the programs on both machines.");
    if (versionEnd == std::string::npos)
        return Refuse(why, "The pairing text is cut short: the address, port and key are missing.");
    // Taken from the right, so an IPv6 address may hold colons.
    const size_t keyColon = text.rfind(':');
    const size_t portColon = keyColon > versionEnd ? text.rfind(':', keyColon - 1) : std::string::npos;
    if (portColon == std::string::npos || portColon < versionEnd || keyColon == versionEnd)
        return Refuse(why,
                      "The pairing text is cut short: it needs an address, a port and a key, "
                      "separated by colons.");
    return FromParts(text.substr(versionEnd + 1, portColon - versionEnd - 1),
                     text.substr(portColon + 1, keyColon - portColon - 1), text.substr(keyColon + 1), why);
}

std::optional<Pairing> PairingCheck::FromParts(const std::string& hostInput, const std::string& portInput,
                                               const std::string& keyInput, std::string& why) {
    const std::string host = Trimmed(hostInput);
    const std::string portText = Trimmed(portInput);
    const std::string keyHex = Trimmed(keyInput);
    if (host.empty())
        return Refuse(why, "The device's address is missing.");
    if (host.size() > 255 || std::any_of(host.begin(), host.end(), [](char c) { return c <= ' ' || c >= 127; }))
        return Refuse(why, "The device's address \"" + host + "\" holds characters an address cannot have.");
    const bool digitsOnly = !portText.empty() && portText.size() <= 5 &&
                            std::all_of(portText.begin(), portText.end(), [](char c) { return c >= '0' && c <= '9'; });
    const unsigned long port = digitsOnly ? std::stoul(portText) : 0;
    if (port == 0 || port > 65535)
        return Refuse(why, "The port \"" + portText + "\" is not a port number (1 to 65535).");
    if (keyHex.size() != kKeyDigits)
        return Refuse(why, "The key must be 64 hexadecimal digits; this one has " + std::to_string(keyHex.size()) +
                               ". Copy the whole pairing text.");
    const std::optional<rapi::PairingKey> key = Pairing::KeyFromHex(keyHex);
    if (!key)
        return Refuse(why, "The key holds characters other than the digits 0-9 and the letters a-f.");
    Pairing pairing;
    pairing.host = host;
    pairing.port = static_cast<unsigned>(port);
    pairing.key = *key;
    return pairing;
}

PairingCheck::Result PairingCheck::Run(const Pairing& pairing, int timeoutMs, const std::string& settingsKey) {
    std::unique_ptr<RapiClient> client;
    const RapiStatus connected = RapiClient::Connect(pairing, timeoutMs, client);
    if (!connected.ok())
        return ConnectionFailure(pairing, connected);
    DWORD code = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::string data;
    RapiStatus status = client->RegQueryValue(CString(settingsKey), u"AppPath", code, type, data);
    if (!status.ok())
        return ConnectionFailure(pairing, status);
    const std::string appPath = code == ERROR_SUCCESS && type == REG_SZ ? RegistryText(data) : std::string();
    if (appPath.empty())
        return Say(Outcome::NoProgramFolder,
                   "The device was reached and accepted the key, but its Quillmar program is not set up "
                   "(its program folder is not known). Start Quillmar on the device once, then test again.");
    HRESULT result = S_OK;
    std::string answer;
    status =
        client->Invoke(CString(appPath + "\\Sync.dll"), u"GetDeviceSideSyncID", std::string_view(), result, answer);
    if (!status.ok())
        return ConnectionFailure(pairing, status);
    if (FAILED(result))
        return Say(Outcome::NoSyncLibrary,
                   "The device was reached and accepted the key, but its synchronization "
                   "library in " +
                       appPath + " did not answer. Reinstall the Quillmar device program.");
    Result reached =
        Say(Outcome::Reached, "The device at " + Where(pairing) +
                                  " was reached and accepted the key. Its Quillmar folder is " + appPath + ".");
    reached.appPath = appPath;
    reached.deviceSyncId = answer.substr(0, answer.find('\0'));
    return reached;
}

PairingCheck::Result PairingCheck::CheckAndStore(const std::string& text, int timeoutMs) {
    std::string why;
    const std::optional<Pairing> pairing = ParseText(text, why);
    if (!pairing)
        return Say(Outcome::BadText, why);
    Result result = Run(*pairing, timeoutMs);
    if (!result.Passed())
        return result;
    const RapiStatus stored = Pairing::Store(*pairing);
    if (!stored.ok())
        return Say(Outcome::Failed,
                   result.message + " But the pairing could not be stored: " + stored.message() + ".");
    result.message += " The pairing is stored; the device can now be synchronized.";
    return result;
}
