#pragma once
// The copy-data receiver: a window that exists from start, never shown, which
// other programs (and `zorvex --send`) find by its class name and title to hand it
// a link, a picture or a sample record.
//
// Each message adds "WM_CopyData from: " and the sender's process id to `cdMemo`,
// and its kind does the rest: a text replaces the memo's text and is played on the
// media worker route, a picture goes into `receivedImage`, a record is written out
// line by line. The sender gets the number of lines now in the memo. A message that
// does not hold what its kind needs (a text with no end inside its payload, a record
// that is not 63 bytes, one cut short or of more than 1 MiB) is dropped with a memo
// line saying why.
//
// Owns its socket (platform::CopyDataListener) while it listens. Thread:
// user-interface thread only; messages arrive as posted work of the event loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/CopyDataListener.h"
#include "ui/Form.h"

namespace app {

class CopyDataReceiver : public ui::Form {
  public:
    /// The window's class name and title, by which senders find it.
    static constexpr const char* kClassName = "TReceiverMainForm";
    static constexpr const char* kTitle = "ReceiverMainForm";

    /// `playLink` plays a received text (`workerLink` := it, then `playlocalvideos`).
    /// Starts listening at once; a receiver that cannot listen says why in `cdMemo`
    /// and the program runs on without it.
    CopyDataReceiver(ui::Application& app, std::function<void(std::string)> playLink);
    ~CopyDataReceiver() override;

    /// Handles one message as its arrival does; returns the answer to the sender.
    std::int32_t receive(const platform::CopyDataListener::Received& message);

    /// The socket senders reach, empty while not listening.
    std::string socketPath() const;

  private:
    std::function<void(std::string)> playLink_;
    std::unique_ptr<platform::CopyDataListener> listener_;
};

/// The date part of a date-time counted in days since 30 December 1899 as
/// "YYYY-MM-DD", or "(not a date)" outside the years 1 to 9999.
std::string copyDataDate(double days);

} // namespace app
