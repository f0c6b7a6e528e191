#pragma once
// Writing a whole reply to a descriptor whose reader may have gone away.
//
// Thread: any; it touches only the calling thread's signal mask.

#include <string_view>

namespace automation {

/// Writes all of `data` to `fd`, retrying after interruptions and partial writes.
/// A reader that went away makes it return false rather than raise SIGPIPE, which
/// would end the whole program for the sake of one lost reply. Sockets are written
/// with send(MSG_NOSIGNAL). Returns false on any failure (errno tells which).
bool writeAll(int fd, std::string_view data) noexcept;

} // namespace automation
