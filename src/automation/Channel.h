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
// Thread: user-interface thread only. The transports read on their own threads
// and post each line to the user-interface thread's event loop.

#include <functional>
#include <map>
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
    using Command = std::function<nlohmann::json(Arguments& args)>;

    /// Installs the built-in commands. `app` must outlive the channel.
    explicit Channel(ui::Application& app);
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    ui::Application& app() const { return app_; }

    /// Handles one request line (without its line break) and returns the reply line
    /// (without a line break). Never throws: whatever the client sends, the answer
    /// is a reply.
    std::string handle(std::string_view line) noexcept;

    /// Adds a command by name. Throws std::logic_error when the name is taken.
    void addCommand(std::string name, Command command);

    /// Closes the principal form as the user would (its onClose handler runs inside
    /// the error boundary); without a principal form, ends the program at once.
    void quit();

    /// An error reply for `id`. Never throws.
    static std::string errorReply(const nlohmann::json& id, std::string_view message) noexcept;

    /// Requests nested deeper than this are refused before anything reads them.
    static constexpr int kMaxDepth = 32;

  private:
    void addBuiltins();

    ui::Application& app_;
    std::map<std::string, Command, std::less<>> commands_;
};

} // namespace automation
