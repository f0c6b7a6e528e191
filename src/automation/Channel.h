#pragma once
// The automation channel: one JSON request line in, one JSON reply line out.
//
//   request  {"id": ID, "command": [NAME, ARG...]}
//   reply    {"id": ID, "error": "success", "data": ...}
//            {"id": ID, "error": "<what went wrong>"}
//
// The id is echoed as given (null when the request had none or could not be read).
// Commands reach controls through the application's forms and named state through
// its StateRegistry, so subsystems that add controls or state never touch the
// channel; a subsystem that needs a command of its own registers it with
// addCommand.
//
// Requests run inside turns of the event loop, never around them: a request that
// runs handlers (`event`, `menu`, `quit`) replies once the turn has run them and the
// work they posted; `advance` replies once the clock has arrived, its ticks having
// run one after another in the turn; `wait-idle` replies from a later turn, when the
// worker is idle or the time is up. Requests start in the order submitted, each once
// the one before it has replied, so replies come in order too.
//
// `event` and `menu` deliver only what a user could: an event for a control (or a
// click on a menu item) that is hidden, disabled or on a sheet not shown is refused
// with an error naming it and why (see Reachability.h), instead of being dropped.
//
// Thread: user-interface thread only. The transports read on their own threads
// and post each line to the user-interface thread's event loop.

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "automation/Arguments.h"

namespace ui {
class Application;
}

namespace automation {

class Channel {
  public:
    /// A command: reads its arguments, does its work and returns the reply's data
    /// (null when it has nothing to report). Throwing RequestError, or any other
    /// std::exception, makes the reply an error reply with the exception's message.
    /// Handlers it runs through Application::dispatch run in the request's turn, and
    /// the reply waits for the work they post.
    using Command = std::function<nlohmann::json(Arguments& args)>;
    /// Writes one reply line (without its line break). Runs on the user-interface
    /// thread and must not throw.
    using ReplyWriter = std::function<void(const std::string& reply)>;
    /// Whether the client that sent a request is still there. It turns false when
    /// the transport goes or disconnects that client; the channel then drops the
    /// client's requests that have not started and writes none of its replies. Runs
    /// on the user-interface thread and must not throw. Empty: always there.
    using Presence = std::function<bool()>;

    /// Installs the built-in commands. `app` must outlive the channel.
    explicit Channel(ui::Application& app);
    /// A `wait-idle` still in progress then ends without a reply.
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    ui::Application& app() const { return app_; }

    /// Handles one request line (without its line break); `reply` gets the reply
    /// line when the request is done. Whatever the client sends, the answer is a
    /// reply. Call from posted work or at the top level of the event loop; at the
    /// top level the request runs as a turn of its own, so every reply but that of a
    /// `wait-idle` still waiting has been written when this returns. Throws nothing
    /// but std::bad_alloc.
    void submit(std::string line, ReplyWriter reply, Presence presence = {});
    /// A request line longer than `limit` bytes that was dropped unread: an error
    /// reply, in its place among the requests.
    void submitOverlong(std::size_t limit, ReplyWriter reply, Presence presence = {});
    /// The client's input has ended: in its place among the requests, the program
    /// quits as with a `quit` request, since nobody is left to drive it. No reply.
    void submitEndOfInput(Presence presence = {});

    /// Any thread: a transport calls this with every request line as it arrives,
    /// before submitting it. A `quit` tells the application at once
    /// (Application::requestQuit), so that a front end holding the loop in a modal
    /// dialog lets go of it; the request itself runs in its place like any other.
    /// Throws nothing.
    void announce(std::string_view line) const noexcept;
    /// Any thread: the client's input has ended, which quits too (submitEndOfInput).
    void announceEndOfInput() const noexcept;

    /// Adds a command by name. Throws std::logic_error when the name is taken.
    void addCommand(std::string name, Command command);

    /// Ends the program: closes the principal form as the user would (its onClose
    /// handler runs inside the error boundary, answering any dialog it shows as a
    /// cancel would in a window), and ends the program even when that did not (the
    /// handler failed), since the client asked for the end. Without a principal form,
    /// ends it at once.
    void quit();

    /// An error reply for `id`. Never throws.
    static std::string errorReply(const nlohmann::json& id, std::string_view message) noexcept;

    /// Requests nested deeper than this are refused before anything reads them.
    static constexpr int kMaxDepth = 32;
    /// The longest `advance`, in milliseconds: a day of virtual time. Every tick of
    /// every running timer runs on the way (a 100 ms timer fires 864,000 times in a
    /// day), all inside one request that nothing can interrupt, so a longer move
    /// would hold the program for minutes; a client that needs more sends several.
    static constexpr std::int64_t kMaxAdvanceMs = 86'400'000;

    /// Finishes a request that was started with the reply's data. Call it once, on
    /// the user-interface thread, inside a turn of the event loop.
    using Done = std::function<void(nlohmann::json data)>;
    /// A command that may finish later than it returns (`wait-idle`): it calls
    /// `done` when it has its data, or throws as a Command does before returning.
    using LaterCommand = std::function<void(Arguments& args, Done done)>;
    /// Adds a command that finishes later. Throws std::logic_error when the name is taken.
    void addLaterCommand(std::string name, LaterCommand command);

  private:
    struct Request {
        enum class Type { Line, Overlong, EndOfInput } type = Type::Line;
        std::string line;
        std::size_t limit = 0;
        ReplyWriter reply;
        Presence presence;
        bool present() const { return !presence || presence(); }
    };

    void addBuiltins();
    void enqueue(Request request);
    void startWaiting();
    void start(const std::shared_ptr<Request>& request);
    void startLine(const std::shared_ptr<Request>& request);
    void finish(const std::shared_ptr<Request>& request, const std::string& reply);

    ui::Application& app_;
    std::map<std::string, LaterCommand, std::less<>> commands_;
    std::deque<Request> waiting_; ///< submitted, not started
    bool running_ = false;        ///< a request has started and not replied yet
    bool starting_ = false;       ///< startWaiting is on the stack
    /// Cleared when the channel goes, for the watch of a `wait-idle` that outlives it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace automation
