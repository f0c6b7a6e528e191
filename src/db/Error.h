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

/// Server error numbers that callers test for.
inline constexpr int duplicateEntry = 1062;  // ER_DUP_ENTRY
inline constexpr int unknownDatabase = 1049; // ER_BAD_DB_ERROR

} // namespace db
