#pragma once
// EchoClient over a real ICMP socket: an unprivileged ping socket
// (SOCK_DGRAM/IPPROTO_ICMP, allowed by net.ipv4.ping_group_range), else a raw
// ICMP socket (needs CAP_NET_RAW, e.g. when running as root). IPv4 only, as the
// start-up check asks for.
//
// Thread: stateless apart from an atomic sequence counter; any thread, also
// concurrently. Each call makes and closes its own socket, and replies are
// matched by identifier, sequence number and data, so concurrent calls on a raw
// socket (which sees every echo reply of the machine) do not take each other's.

#include "platform/EchoClient.h"

#include <atomic>
#include <cstdint>

namespace platform {

class IcmpEchoClient final : public EchoClient {
  public:
    IcmpEchoClient() = default;

    /// Never throws except std::bad_alloc; see EchoClient::echo.
    EchoResult echo(std::string_view host, std::string_view data,
                    std::chrono::milliseconds timeout) override;

  private:
    std::atomic<std::uint16_t> sequence_{0};
};

} // namespace platform
