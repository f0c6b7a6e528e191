#pragma once
// The one exception type of the database layer.
//
// Thread: a plain value; any thread.

#include <stdexcept>
#include <string>

namespace db {

/// A failed database operation. `what()` is the text the user sees (for server
/// errors the server's own message); `number()` is the server's error number, so
/// callers can recognise particular errors such as 1062 (duplicate entry), or 0
/// when the failure did not come from the server.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message, int number = 0)
        : std::runtime_error(message), number_(number) {}

    int number() const noexcept { return number_; }

  private:
    int number_;
};

/// The error of an action whose connection could not be made: "Dataset server
/// could not connect", then the server's (or client library's) reason, with the
/// cause's error number.
inline Error couldNotConnect(const Error& cause) {
    return Error(std::string("Dataset server could not connect: ") + cause.what(), cause.number());
}

/// True for an error that says the connection failed or broke rather than that the
/// server refused a statement: every client-library error (2000..2999: no route,
/// server gone or lost, packet too large for the connection), and the server's
/// refusals of the connection itself. Page fills stay silent about statement
/// errors but always report these.
inline constexpr int waitCancelled = -1; ///< the user stopped waiting for the server

inline bool isConnectionFailure(int number) {
    return number == waitCancelled || (number >= 2000 && number <= 2999) ||
           number == 1040 /* too many connections */ || number == 1045 /* access denied */ ||
           number == 1129 /* host blocked */ || number == 1130 /* host not allowed */ ||
           number == 1153 /* packet too large */;
}

/// Server error numbers that callers test for.
inline constexpr int duplicateEntry = 1062;  // ER_DUP_ENTRY
inline constexpr int unknownDatabase = 1049; // ER_BAD_DB_ERROR

} // namespace db
