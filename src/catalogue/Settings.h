#pragma once
// Where the catalogue server is and how to log in to it. The installation's
// configuration file fills it; the defaults point at the demo catalogue on this
// machine.

#include <string>

namespace catalogue {

struct Settings {
    std::string host = "127.0.0.1";
    int port = 3306;
    std::string user = "mediauser";
    std::string password = "#!%@qwmv*&r*";
    /// Seconds to wait for a connection, and for a read or a write on it.
    int connectTimeout = 10;
    int readTimeout = 35;
    int writeTimeout = 35;
};

} // namespace catalogue
