#pragma once
// Where the automation channel listens, as the --automation= option names it.
//
// Thread: any (plain values).

#include <string>
#include <string_view>

namespace automation {

struct Endpoint {
    enum class Type { Stdio, UnixSocket };
    Type type = Type::Stdio;
    std::string path; ///< the socket file, for UnixSocket
    bool operator==(const Endpoint&) const = default;
};

/// Reads the value of --automation=: "stdio", or "unix:PATH" with a non-empty PATH.
/// Throws std::invalid_argument naming the value for anything else.
Endpoint parseEndpoint(std::string_view value);

} // namespace automation
