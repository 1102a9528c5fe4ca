#include "connection/connectd/PendingPeer.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>
#include <cstring>

PendingPeer::~PendingPeer() {
    if (fd >= 0)
        ::close(fd);
}

void PendingPeer::Abort() {
    if (fd < 0)
        return;
    linger reset{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(fd);
    fd = -1;
}

std::string AccountingAddress(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        return text;
    }
    if (address.ss_family != AF_INET6)
        return text;
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    if (IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) {
        ::inet_ntop(AF_INET, v6.sin6_addr.s6_addr + 12, text, sizeof text);
        return text;
    }
    in6_addr prefix = v6.sin6_addr;
    std::memset(prefix.s6_addr + 8, 0, 8);
    ::inet_ntop(AF_INET6, &prefix, text, sizeof text);
    return std::string(text) + "/64";
}

std::string PeerName(const sockaddr_storage& address) {
    char host[NI_MAXHOST] = "?";
    char port[NI_MAXSERV] = "?";
    ::getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host, sizeof host, port, sizeof port,
                  NI_NUMERICHOST | NI_NUMERICSERV);
    return std::string(host) + ":" + port;
}
