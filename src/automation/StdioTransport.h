#pragma once
// The automation channel on a pair of descriptors, standard input and output by
// default: requests are read one per line, and each reply is written as one line
// on the output, which carries nothing else. When the input ends the program quits
// as with a `quit` request.
//
// Owns the reader thread and a stop signal; the descriptors stay the caller's.
// Thread: construct and destroy on the user-interface thread; replies are written
// from it. Throws std::system_error from the constructor when the thread or its
// stop signal cannot be made.

#include <cstddef>
#include <memory>
#include <thread>

#include <unistd.h>

#include "automation/StopSignal.h"
#include "automation/Transport.h"

namespace ui {
class EventLoop;
}

namespace automation {

class Channel;

class StdioTransport : public Transport {
  public:
    /// Longest request line kept, in bytes.
    static constexpr std::size_t kMaxLine = 1 << 20;

    /// Starts reading `in` at once. `channel` must outlive the transport.
    explicit StdioTransport(Channel& channel, int in = STDIN_FILENO, int out = STDOUT_FILENO);
    /// Stops and joins the reader; requests not yet handled are dropped.
    ~StdioTransport() override;

  private:
    void readLoop();

    Channel& channel_;
    ui::EventLoop& loop_;
    /// Cleared when the transport goes: requests still queued are then dropped.
    std::shared_ptr<bool> present_;
    int in_;
    int out_;
    StopSignal stop_;
    std::thread reader_; // last: starts once everything it uses exists
};

} // namespace automation
