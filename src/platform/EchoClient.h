#pragma once
// The network check's echo request: one ICMP echo to a host, waiting a bounded
// time for its reply.
//
// Thread: implementations keep no per-call state in the object; any thread may
// call echo(), also several at once.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

/// What one echo request came to.
struct EchoResult {
    /// The request left this machine. False when it "could not be sent": the name
    /// does not resolve to an IPv4 address, no ICMP socket could be made, or the
    /// send itself failed. Only this counts as a failed check; a request that gets
    /// no reply in time was still sent.
    bool sent = false;
    /// A matching echo reply came back within the time-out.
    bool replied = false;
    /// Size of the reply's ICMP message in bytes (8-byte header plus the echoed
    /// data); 0 without a reply.
    std::size_t replyBytes = 0;
    /// Round-trip time in whole milliseconds; 0 without a reply.
    long roundTripMs = 0;
    /// The IPv4 address the host name resolved to, dotted; empty when it did not.
    std::string address;
    /// Why the request was not sent, or "" when it was.
    std::string error;
};

class EchoClient {
  public:
    virtual ~EchoClient() = default;

    /// Sends one echo request carrying `data` to `host` (a name or a dotted IPv4
    /// address) and waits up to `timeout` for the reply. Blocks the calling thread
    /// for at most the name lookup plus `timeout`. Failures are reported in the
    /// result, never thrown (only std::bad_alloc may escape).
    virtual EchoResult echo(std::string_view host, std::string_view data,
                            std::chrono::milliseconds timeout) = 0;
};

} // namespace platform
