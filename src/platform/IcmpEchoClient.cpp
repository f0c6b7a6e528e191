#include "platform/IcmpEchoClient.h"

#include "platform/UniqueFd.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace platform {

namespace {

// The largest ICMP payload an IPv4 datagram can carry: 65535 minus the IP
// header (20) and the ICMP header (8).
constexpr std::size_t maxEchoData = 65507;
constexpr std::size_t icmpHeaderBytes = 8;

struct AddrInfoDeleter {
    void operator()(addrinfo* info) const noexcept { ::freeaddrinfo(info); }
};

std::uint16_t internetChecksum(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (size % 2)
        sum += static_cast<std::uint32_t>(bytes[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

std::uint16_t randomIdentifier() {
    std::random_device device;
    return static_cast<std::uint16_t>(device());
}

struct IcmpSocket {
    UniqueFd fd;
    bool raw = false;
};

// The unprivileged ping socket first; the raw socket only where the ping socket
// is not allowed for this user's group.
IcmpSocket openIcmpSocket(std::string& error) {
    IcmpSocket s;
    s.fd.reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP));
    if (s.fd)
        return s;
    const int dgramErrno = errno;
    s.fd.reset(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP));
    if (s.fd) {
        s.raw = true;
        return s;
    }
    error = std::string("no ICMP socket could be made (ping socket: ") + std::strerror(dgramErrno) +
            "; raw socket: " + std::strerror(errno) + ")";
    return s;
}

} // namespace

EchoResult IcmpEchoClient::echo(std::string_view host, std::string_view data,
                                std::chrono::milliseconds timeout) {
    EchoResult result;
    if (host.empty()) {
        result.error = "no host name given";
        return result;
    }
    if (data.size() > maxEchoData) {
        result.error = "echo data of " + std::to_string(data.size()) + " bytes is too large";
        return result;
    }

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM; // one entry per address, not one per socket type
    addrinfo* found = nullptr;
    const std::string hostName(host);
    if (const int rc = ::getaddrinfo(hostName.c_str(), nullptr, &hints, &found); rc != 0) {
        result.error = "cannot resolve " + hostName + ": " + ::gai_strerror(rc);
        return result;
    }
    const std::unique_ptr<addrinfo, AddrInfoDeleter> addresses(found);
    sockaddr_in target{};
    std::memcpy(&target, addresses->ai_addr, sizeof target);
    char dotted[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &target.sin_addr, dotted, sizeof dotted);
    result.address = dotted;

    IcmpSocket sock = openIcmpSocket(result.error);
    if (!sock.fd)
        return result;

    // A ping socket replaces the identifier with its own port and filters replies
    // by it; a raw socket keeps ours and sees all replies, so ours must be unlikely
    // to clash with other pingers on the machine.
    const std::uint16_t identifier = randomIdentifier();
    const std::uint16_t sequence = ++sequence_;

    std::vector<std::uint8_t> packet(icmpHeaderBytes + data.size());
    packet[0] = ICMP_ECHO;
    packet[1] = 0;
    packet[4] = static_cast<std::uint8_t>(identifier >> 8);
    packet[5] = static_cast<std::uint8_t>(identifier & 0xFF);
    packet[6] = static_cast<std::uint8_t>(sequence >> 8);
    packet[7] = static_cast<std::uint8_t>(sequence & 0xFF);
    if (!data.empty()) // memcpy wants a valid pointer even for no bytes
        std::memcpy(packet.data() + icmpHeaderBytes, data.data(), data.size());
    const std::uint16_t checksum = internetChecksum(packet.data(), packet.size());
    packet[2] = static_cast<std::uint8_t>(checksum >> 8);
    packet[3] = static_cast<std::uint8_t>(checksum & 0xFF);

    const auto start = std::chrono::steady_clock::now();
    ssize_t sentBytes;
    do {
        sentBytes = ::sendto(sock.fd.get(), packet.data(), packet.size(), 0,
                             reinterpret_cast<const sockaddr*>(&target), sizeof target);
    } while (sentBytes < 0 && errno == EINTR);
    if (sentBytes != static_cast<ssize_t>(packet.size())) {
        result.error = std::string("cannot send to ") + dotted + ": " +
                       (sentBytes < 0 ? std::strerror(errno) : "short send");
        return result;
    }
    result.sent = true;

    const auto deadline = start + timeout;
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd pfd{sock.fd.get(), POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return result; // time-out (or a poll failure): sent, no reply

        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t got = ::recvfrom(sock.fd.get(), buffer.data(), buffer.size(), MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            return result;
        }
        const auto received = std::chrono::steady_clock::now();

        // A raw socket hands over the whole IP datagram, a ping socket only the
        // ICMP message.
        std::size_t offset = 0;
        if (sock.raw) {
            if (got < 20)
                continue;
            offset = static_cast<std::size_t>(buffer[0] & 0x0F) * 4;
            if (from.sin_addr.s_addr != target.sin_addr.s_addr)
                continue;
        }
        if (static_cast<std::size_t>(got) < offset + icmpHeaderBytes)
            continue;
        const std::uint8_t* icmp = buffer.data() + offset;
        const std::size_t icmpBytes = static_cast<std::size_t>(got) - offset;
        if (icmp[0] != ICMP_ECHOREPLY)
            continue; // on loopback a raw socket also sees our own request
        const auto replySequence = static_cast<std::uint16_t>(icmp[6] << 8 | icmp[7]);
        const auto replyIdentifier = static_cast<std::uint16_t>(icmp[4] << 8 | icmp[5]);
        if (replySequence != sequence || (sock.raw && replyIdentifier != identifier))
            continue;
        if (icmpBytes != packet.size() ||
            (!data.empty() && std::memcmp(icmp + icmpHeaderBytes, data.data(), data.size()) != 0))
            continue;

        result.replied = true;
        result.replyBytes = icmpBytes;
        result.roundTripMs = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(received - start).count());
        return result;
    }
}

} // namespace platform
