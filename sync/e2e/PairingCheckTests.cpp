// Testing a pairing before it is kept, against the real connection service on loopback.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <set>

#include "biz/DataHelper.h"
#include "connection/Pairing.h"
#include "connection/PairingCheck.h"
#include "sync/e2e/SyncE2eFixture.h"

namespace {

// A loopback socket listening on a port the system picked; connections wait in its backlog,
// never accepted, never answered.
class SilentPeer {
public:
    SilentPeer() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(m_fd, 4) == 0 && ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentPeer() { Close(); }
    SilentPeer(const SilentPeer&) = delete;
    SilentPeer& operator=(const SilentPeer&) = delete;
    unsigned Port() const { return m_port; }
    void Close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
    unsigned m_port = 0;
};

}   // namespace

class PairingTest : public SyncE2eTest {
protected:
    // The text the device's service printed, as the desktop stored it (pointing at the relay).
    std::string GoodText() {
        const std::optional<Pairing> stored = Pairing::Load();
        EXPECT_TRUE(stored.has_value());
        return stored ? stored->Text() : std::string();
    }
};

TEST_F(PairingTest, GoodTextReachesTheDeviceAndReadsItsFolderAndIdentity) {
    PartnerLocally();
    std::string why;
    const std::optional<Pairing> pairing = PairingCheck::ParseText(GoodText(), why);
    ASSERT_TRUE(pairing) << why;
    const PairingCheck::Result result = PairingCheck::Run(*pairing);
    ASSERT_EQ(result.outcome, PairingCheck::Outcome::Reached) << result.message;
    EXPECT_EQ(result.appPath, machine->DeviceAppFolder());
    EXPECT_EQ(result.deviceSyncId, GetCurrDataHelper()->GetMetaDataValue(u"syncID").ToUtf8());
    EXPECT_NE(result.message.find("was reached"), std::string::npos);
}

TEST_F(PairingTest, SurroundingSpacesAndLineBreaksAreAcceptedAndThePairingStored) {
    const std::string text = GoodText();
    Pairing other = *Pairing::Load();
    other.port = 1;   // stored meanwhile: a passed test must put the text's pairing in its place
    ASSERT_TRUE(Pairing::Store(other).ok());
    // As pasted from a terminal that wrapped the long line.
    const std::string pasted = "  \r\n\t" + text.substr(0, 40) + "\n" + text.substr(40) + "  \r\n";
    const PairingCheck::Result result = PairingCheck::CheckAndStore(pasted);
    ASSERT_TRUE(result.Passed()) << result.message;
    EXPECT_EQ(Pairing::Load()->Text(), text);
}

TEST_F(PairingTest, WrongKeyIsRefusedAndNothingIsStored) {
    const std::string text = GoodText();
    std::string wrong = text;
    wrong.back() = wrong.back() == '0' ? '1' : '0';
    Pairing other = *Pairing::Load();
    other.port = 1;
    ASSERT_TRUE(Pairing::Store(other).ok());
    const PairingCheck::Result result = PairingCheck::CheckAndStore(wrong);
    EXPECT_EQ(result.outcome, PairingCheck::Outcome::KeyRefused) << result.message;
    EXPECT_NE(result.message.find("refused the key"), std::string::npos);
    EXPECT_EQ(Pairing::Load()->port, 1u);
}

TEST_F(PairingTest, NothingListeningIsSaidSo) {
    SilentPeer closed;
    ASSERT_NE(closed.Port(), 0u);
    closed.Close();   // the port is free again: nothing listens there
    Pairing pairing = *Pairing::Load();
    pairing.host = "127.0.0.1";
    pairing.port = closed.Port();
    const PairingCheck::Result result = PairingCheck::Run(pairing, 3000);
    EXPECT_EQ(result.outcome, PairingCheck::Outcome::NothingListening) << result.message;
    EXPECT_NE(result.message.find("nothing listens"), std::string::npos);
}

TEST_F(PairingTest, SilentPeerTimesOutWithinTheLimit) {
    SilentPeer silent;
    ASSERT_NE(silent.Port(), 0u);
    Pairing pairing = *Pairing::Load();
    pairing.host = "127.0.0.1";
    pairing.port = silent.Port();
    const PairingCheck::Result result = PairingCheck::Run(pairing, 500);
    EXPECT_EQ(result.outcome, PairingCheck::Outcome::TimedOut) << result.message;
    EXPECT_NE(result.message.find("in time"), std::string::npos);
}

TEST_F(PairingTest, EachBadTextHasItsOwnMessage) {
    const std::string key(64, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"  \n ", "is empty"},
        {"pair:1:host:5000:" + key, "must start with \"quillmar-pair:\""},
        {"quillmar-pair:2:host:5000:" + key, "does not know (\"2\")"},
        {"quillmar-pair:1", "cut short"},
        {"quillmar-pair:1:" + key, "cut short"},
        {"quillmar-pair:1::5000:" + key, "address is missing"},
        {"quillmar-pair:1:host:70000:" + key, "not a port number"},
        {"quillmar-pair:1:host:port:" + key, "not a port number"},
        {"quillmar-pair:1:host:5000:" + key.substr(2), "has 62"},
        {"quillmar-pair:1:host:5000:" + key.substr(1) + "g", "other than the digits"},
    };
    std::set<std::string> messages;
    for (const auto& [text, expected] : cases) {
        std::string why;
        EXPECT_FALSE(PairingCheck::ParseText(text, why)) << text;
        EXPECT_NE(why.find(expected), std::string::npos) << text << ": " << why;
        messages.insert(why);
    }
    EXPECT_GE(messages.size(), 9u);
    // The command line refuses them before connecting, with the same words.
    const PairingCheck::Result result = PairingCheck::CheckAndStore("quillmar-pair:1:host:0:" + key);
    EXPECT_EQ(result.outcome, PairingCheck::Outcome::BadText);
    EXPECT_NE(result.message.find("not a port number"), std::string::npos);
}
