#pragma once
// A way for automation clients to reach the channel. Each transport reads requests
// on its own thread, hands every line to the user-interface thread through its
// event loop, and writes the channel's reply back to the client that asked.
// Destroying a transport stops its thread and releases what it holds.
//
// Thread: create and destroy transports on the user-interface thread.

#include <memory>
#include <string_view>

namespace ui {
class Application;
}

namespace automation {

class Channel;
struct Endpoint;

class Transport {
  public:
    virtual ~Transport() = default;
    Transport() = default;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;
};

/// Starts the transport `endpoint` names, serving `channel` (which must outlive
/// it). Throws std::runtime_error when it cannot start (the socket path is in use,
/// too long, not a socket, ...), with a message that says why.
std::unique_ptr<Transport> openTransport(Channel& channel, const Endpoint& endpoint);

/// The transport the value of --automation= names, serving `channel` (which must
/// serve `app` and outlive the transport); nullptr when `option` is empty (no
/// automation). Throws std::invalid_argument for a value that names no transport
/// and std::runtime_error when the transport cannot start.
std::unique_ptr<Transport> makeTransport(std::string_view option, ui::Application& app,
                                         Channel& channel);

} // namespace automation
