#include "automation/Endpoint.h"

#include <stdexcept>

namespace automation {

Endpoint parseEndpoint(std::string_view value) {
    if (value == "stdio")
        return {Endpoint::Type::Stdio, {}};
    constexpr std::string_view unixPrefix = "unix:";
    if (value.starts_with(unixPrefix) && value.size() > unixPrefix.size())
        return {Endpoint::Type::UnixSocket, std::string(value.substr(unixPrefix.size()))};
    throw std::invalid_argument("--automation: expected 'stdio' or 'unix:PATH', not '" +
                                std::string(value) + "'");
}

} // namespace automation
