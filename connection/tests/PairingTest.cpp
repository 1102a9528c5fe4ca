// The pairing text and its place in the desktop's registry.
#include <gtest/gtest.h>

#include "connection/Pairing.h"
#include "platform/Registry.h"
#include "testing/TempHome.h"

namespace {

Pairing Sample() {
    Pairing pairing;
    pairing.host = "192.168.1.20";
    pairing.port = 47953;
    for (size_t i = 0; i < pairing.key.size(); ++i)
        pairing.key[i] = static_cast<uint8_t>(i * 7 + 1);
    return pairing;
}

const std::string kKeyHex = Pairing::KeyToHex(Sample().key);

}   // namespace

TEST(PairingText, RoundTrips) {
    const Pairing pairing = Sample();
    const std::string text = pairing.Text();
    EXPECT_EQ(text, "quillmar-pair:1:192.168.1.20:47953:" + kKeyHex);
    auto parsed = Pairing::Parse(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->host, pairing.host);
    EXPECT_EQ(parsed->port, pairing.port);
    EXPECT_EQ(parsed->key, pairing.key);
}

TEST(PairingText, AcceptsIpv6HostsAndATrailingNewline) {
    auto parsed = Pairing::Parse("quillmar-pair:1:fe80::1:5000:" + kKeyHex + "\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->host, "fe80::1");
    EXPECT_EQ(parsed->port, 5000u);
    auto upper = Pairing::Parse("quillmar-pair:1:h:1:" + std::string(64, 'A'));
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->key[0], 0xAA);
}

TEST(PairingText, RefusesDamagedTexts) {
    const char* bad[] = {
        "",
        "quillmar-pair:1:",
        "quillmar-pair:2:host:1:",
        "quillmar-pair:1::47953:",
        "quillmar-pair:1:host:0:",
        "quillmar-pair:1:host:65536:",
        "quillmar-pair:1:host:12x:",
        "quillmar-pair:1:ho st:1:",
        "pair:1:host:1:",
    };
    for (const char* prefix : bad)
        EXPECT_FALSE(Pairing::Parse(std::string(prefix) + kKeyHex)) << prefix;
    EXPECT_FALSE(Pairing::Parse("quillmar-pair:1:host:1:" + kKeyHex.substr(1)));
    EXPECT_FALSE(Pairing::Parse("quillmar-pair:1:host:1:" + kKeyHex + "00"));
    EXPECT_FALSE(Pairing::Parse("quillmar-pair:1:host:1:" + kKeyHex.substr(2) + "zz"));
    EXPECT_FALSE(Pairing::Parse("quillmar-pair:1:host:1"));
}

TEST(PairingRegistry, StoredTextLoadsBack) {
    TempHome home;
    ASSERT_TRUE(Pairing::StoreText(CString(Sample().Text())).ok());
    EXPECT_EQ(Registry::QueryString(Pairing::kRegistryKey, "Host"), std::optional<CString>(CString("192.168.1.20")));
    EXPECT_EQ(Registry::QueryDword(Pairing::kRegistryKey, "Port"), std::optional<uint32_t>(47953));
    EXPECT_EQ(Registry::QueryString(Pairing::kRegistryKey, "Key"), std::optional<CString>(CString(kKeyHex)));
    Registry::Reload();
    RapiStatus why;
    auto loaded = Pairing::Load(&why);
    ASSERT_TRUE(loaded) << why.message();
    EXPECT_EQ(loaded->key, Sample().key);
    EXPECT_EQ(loaded->port, 47953u);
}

TEST(PairingRegistry, BadTextLeavesTheStoredPairing) {
    TempHome home;
    ASSERT_TRUE(Pairing::Store(Sample()).ok());
    RapiStatus status = Pairing::StoreText("quillmar-pair:1:other:1:nothex");
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.message().empty());
    auto loaded = Pairing::Load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->host, "192.168.1.20");
}

TEST(PairingRegistry, MissingOrDamagedPairingIsReported) {
    TempHome home;
    RapiStatus why;
    EXPECT_FALSE(Pairing::Load(&why));
    EXPECT_FALSE(why.ok());
    ASSERT_TRUE(Pairing::Store(Sample()).ok());
    ASSERT_TRUE(Registry::SetString(Pairing::kRegistryKey, "Key", "0123"));
    EXPECT_FALSE(Pairing::Load(&why));
    EXPECT_FALSE(why.ok());
}
