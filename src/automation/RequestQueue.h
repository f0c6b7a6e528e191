#pragma once
// Hands a transport's request lines to the channel one at a time, in the order they
// arrived, and passes each reply to the writer the transport gave with it.
//
// A command may run the user-interface thread's posted work (an event runs what
// its handler posts, wait-idle runs the worker's updates), and that work can hold
// the transport's next request. Handling it there would answer the later request
// before the earlier one; the queue defers it until the running request is done.
//
// Thread: user-interface thread only. Transports share it with the work they post
// (std::shared_ptr), so a request still queued in the event loop when its transport
// goes finds the queue detached and does nothing.

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

namespace automation {

class Channel;

class RequestQueue {
  public:
    /// Writes one reply line (without its line break). Runs on the user-interface
    /// thread and must not throw.
    using ReplyWriter = std::function<void(const std::string& reply)>;

    /// `channel` must outlive the queue or be detached from it first.
    explicit RequestQueue(Channel& channel) : channel_(&channel) {}

    /// One request line: handled now, or after the request that is running.
    void submitLine(std::string line, ReplyWriter reply);
    /// A line longer than `limit` bytes that was dropped unread; it gets an error reply.
    void submitOverlong(std::size_t limit, ReplyWriter reply);
    /// The input has ended: the program quits as with a `quit` request, and ends
    /// even when closing the principal form did not end it (its handler failed),
    /// since nobody is left to drive it. No reply.
    void submitEndOfInput();

    /// Drops everything pending; later submissions do nothing.
    void detach();

  private:
    struct Item {
        enum class Type { Line, Overlong, EndOfInput } type;
        std::string line;
        std::size_t limit = 0;
        ReplyWriter reply;
    };
    void submit(Item item);
    void run(Item& item);

    Channel* channel_;
    bool running_ = false;
    std::deque<Item> pending_;
};

} // namespace automation
