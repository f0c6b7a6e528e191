#include "automation/Transport.h"

#include <stdexcept>

#include "automation/Channel.h"
#include "automation/Endpoint.h"
#include "automation/StdioTransport.h"
#include "automation/UnixSocketTransport.h"

namespace automation {

std::unique_ptr<Transport> openTransport(Channel& channel, const Endpoint& endpoint) {
    switch (endpoint.type) {
    case Endpoint::Type::Stdio:
        return std::make_unique<StdioTransport>(channel);
    case Endpoint::Type::UnixSocket:
        return std::make_unique<UnixSocketTransport>(channel, endpoint.path);
    }
    return nullptr;
}

std::unique_ptr<Transport> makeTransport(std::string_view option, ui::Application& app,
                                         Channel& channel) {
    if (option.empty())
        return nullptr;
    if (&channel.app() != &app)
        throw std::logic_error("automation: the channel serves another application");
    return openTransport(channel, parseEndpoint(option));
}

} // namespace automation
