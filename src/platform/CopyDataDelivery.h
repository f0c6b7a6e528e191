#pragma once
// The sending end of the copy-data channel: finds a receiver window by its class
// name and title, hands it one message and waits for its answer, as the window
// message for copying data does.
//
// The receivers are the sockets of the copy-data folder (platform/CopyData.h) whose
// names start with the class name and title; the newest is tried first. A socket
// file whose program has ended is removed on the way; a socket of another user, or
// a folder that is not the user's own, is never used. A receiver of this same process
// is handed the message directly (the user-interface thread cannot wait for itself).
//
// Thread: any thread; a receiver of this process only from the user-interface thread.
// Blocks for at most about `timeout` for each receiver it reaches.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CopyData.h"

namespace platform {

struct CopyDataDelivery {
    /// A receiver window of the class and title was found and given the message.
    bool found = false;
    /// Its answer, when it gave one.
    std::optional<std::int32_t> answer;
    /// Why the message was not delivered or not answered; empty when it was.
    std::string error;
};

/// Delivers `message` to the newest receiver of `className` and `title`. Throws
/// CopyDataError when the message is larger than kCopyDataMaxPayload.
/// `directory` defaults to copyDataDirectory().
CopyDataDelivery deliverCopyData(std::string_view className, std::string_view title,
                                 const CopyData& message,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(10),
                                 std::string directory = {});

} // namespace platform
