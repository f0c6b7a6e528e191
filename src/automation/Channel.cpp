#include "automation/Channel.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <stdexcept>
#include <vector>

#include "automation/ControlProperties.h"
#include "automation/Reachability.h"
#include "ui/Application.h"
#include "ui/EventLoop.h"
#include "ui/Form.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"

namespace automation {

namespace {

using nlohmann::json;

constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
// An hour of real waiting at most.
constexpr std::int64_t kMaxWaitMs = 3'600'000;

std::string dumpLine(const json& value) {
    // Control texts come from files and databases and may hold bytes that are not
    // UTF-8; they are replaced rather than allowed to fail the reply.
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

// Replies list their members in the order the protocol gives them (id, error,
// data), which json objects, being sorted, would not keep.
std::string replyLine(const json& id, std::string_view error, const json* data) {
    std::string line = "{\"id\":" + dumpLine(id) + ",\"error\":" + dumpLine(error);
    if (data)
        line += ",\"data\":" + dumpLine(*data);
    line += '}';
    return line;
}

std::string withoutExceptionTag(std::string_view what) {
    // nlohmann prefixes its messages with "[json.exception.parse_error.101] ".
    if (!what.empty() && what.front() == '[')
        if (auto end = what.find("] "); end != std::string_view::npos)
            what.remove_prefix(end + 2);
    return std::string(what);
}

ui::Control& findControl(ui::Application& app, Arguments& args, std::size_t index) {
    const std::string name = args.string(index, "CONTROL");
    ui::Control* control = app.findControl(name);
    if (!control)
        throw args.error("unknown control '" + name + "'");
    return *control;
}

// The arguments an event carries, as the front end delivers them: a handler reads
// every one of them, so each must be given; a default would quietly stand for a
// press at 0,0, page 0 or cell 0,0.
std::vector<std::string_view> eventArguments(ui::Event event, const ui::Control& control) {
    switch (event) {
    case ui::Event::MouseDown:
    case ui::Event::MouseUp:
        return {"button", "x", "y"};
    case ui::Event::MouseMove:
        return {"x", "y"};
    case ui::Event::MouseEnter:
        // A form learns where on the screen the pointer came in; other controls
        // only that it did.
        if (control.kind() == ui::Kind::Form)
            return {"x", "y"};
        return {};
    case ui::Event::KeyPress:
        return {"key"};
    case ui::Event::TabActive:
        return {"index"};
    case ui::Event::SelectCell:
        return {"col", "row"};
    default:
        return {};
    }
}

std::string quotedList(const std::vector<std::string_view>& names) {
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += i + 1 == names.size() ? " and " : ", ";
        out += "'" + std::string(names[i]) + "'";
    }
    return out;
}

// Reads ARGS (null when the request gave none) for `event` on `control`: every
// argument the event carries must be there with its type, and nothing else may be.
ui::EventArgs readEventArgs(const Arguments& args, ui::Event event, const ui::Control& control,
                            const json* object) {
    ui::EventArgs out;
    const std::string context = args.command() + " ARGS";
    const std::string eventText(ui::eventName(event));
    const std::vector<std::string_view> wanted = eventArguments(event, control);
    if (object) {
        for (const auto& [key, value] : object->items()) {
            if (key == "button") {
                const std::string button = requireString(value, context, "button");
                if (button == "left")
                    out.button = ui::MouseButton::Left;
                else if (button == "right")
                    out.button = ui::MouseButton::Right;
                else if (button == "middle")
                    out.button = ui::MouseButton::Middle;
                else
                    throw args.error("unknown button '" + button +
                                     "', expected left, right or middle");
            } else if (key == "x") {
                out.x = static_cast<int>(requireInteger(value, context, "x", kIntMin, kIntMax));
            } else if (key == "y") {
                out.y = static_cast<int>(requireInteger(value, context, "y", kIntMin, kIntMax));
            } else if (key == "index") {
                out.index =
                    static_cast<int>(requireInteger(value, context, "index", kIntMin, kIntMax));
            } else if (key == "col") {
                out.col = static_cast<int>(requireInteger(value, context, "col", kIntMin, kIntMax));
            } else if (key == "row") {
                out.row = static_cast<int>(requireInteger(value, context, "row", kIntMin, kIntMax));
            } else if (key == "key") {
                out.key = requireString(value, context, "key");
                // A key press is one character, as the front end delivers it.
                if (ui::utf8::length(out.key) != 1)
                    throw RequestError(context + ": key must be one character");
            } else {
                throw args.error("unknown event argument '" + key + "'");
            }
            if (std::find(wanted.begin(), wanted.end(), key) == wanted.end())
                throw args.error(eventText + " takes no argument '" + key + "'");
        }
    }
    std::vector<std::string_view> missing;
    for (std::string_view name : wanted)
        if (!object || !object->contains(name))
            missing.push_back(name);
    if (!missing.empty())
        throw args.error(eventText + " needs the argument" + (missing.size() > 1 ? "s " : " ") +
                         quotedList(missing));
    return out;
}

json commandEvent(ui::Application& app, Arguments& args) {
    args.expectCount(2, 3, "CONTROL, EVENT, {ARGS}");
    ui::Control& control = findControl(app, args, 0);
    const std::string eventText = args.string(1, "EVENT");
    ui::Event event{};
    if (!ui::parseEvent(eventText, event))
        throw args.error("unknown event '" + eventText + "'");
    const json* object = args.size() > 2 ? &args.object(2, "ARGS") : nullptr;
    if (!control.takes(event))
        throw args.error(std::string(ui::kindName(control.kind())) + " '" + control.name() +
                         "' does not take the event '" + eventText + "'");
    ui::EventArgs eventArgs = readEventArgs(args, event, control, object);

    // A page the control does not have is the client's mistake, not the handler's:
    // it gets an error reply rather than an entry in the dialog log.
    if (event == ui::Event::TabActive && control.kind() == ui::Kind::PageControl) {
        const auto& pages = static_cast<const ui::PageControl&>(control);
        if (eventArgs.index < 0 || eventArgs.index >= pages.pageCount())
            throw args.error("PageControl '" + control.name() + "' has no page " +
                             std::to_string(eventArgs.index));
    }

    // The model drops input a user could not give; the client hears of it.
    if (auto why = whyUnreachable(control, event, eventArgs))
        throw args.error(*why);
    app.dispatch([&] { app.deliver(control, event, eventArgs); });
    // The key handler may change or swallow the key; the client learns which.
    if (event == ui::Event::KeyPress)
        return {{"key", eventArgs.key}};
    return nullptr;
}

json commandMenu(ui::Application& app, Arguments& args) {
    args.expectCount(1, 1, "ITEM");
    const std::string name = args.string(0, "ITEM");
    ui::Control* item = nullptr;
    for (ui::Form* form : app.forms())
        if (ui::Control* c = form->find(name); c && c->kind() == ui::Kind::MenuItem) {
            item = c;
            break;
        }
    if (!item)
        throw args.error("unknown menu item '" + name + "'");
    ui::EventArgs eventArgs;
    if (auto why = whyUnreachable(*item, ui::Event::Click, eventArgs))
        throw args.error(*why);
    app.dispatch([&] { item->deliver(ui::Event::Click, eventArgs); });
    return nullptr;
}

json commandSet(ui::Application& app, Arguments& args) {
    args.expectCount(3, 3, "CONTROL, PROPERTY, VALUE");
    ui::Control& control = findControl(app, args, 0);
    const std::string property = args.string(1, "PROPERTY");
    setControlProperty(control, property, args.at(2, "VALUE"));
    return nullptr;
}

json commandGet(ui::Application& app, Arguments& args) {
    args.expectCount(1, 1, "CONTROL");
    return describeControl(findControl(app, args, 0));
}

json commandState(ui::Application& app, Arguments& args) {
    args.expectCount(1, 1, "NAME");
    const std::string name = args.string(0, "NAME");
    if (!app.state().contains(name))
        throw args.error("unknown state '" + name + "'");
    return app.state().get(name);
}

void commandAdvance(ui::Application& app, Arguments& args, const Channel::Done& done) {
    args.expectCount(1, 1, "MS");
    const std::int64_t ms = args.integer(0, "MS", 0, Channel::kMaxAdvanceMs);
    if (app.loop().clockKind() != ui::EventLoop::ClockKind::Virtual)
        throw args.error(
            "the clock is real time here; only the headless mode's virtual clock can be advanced");
    // The ticks run one after another in this turn; the clock has arrived when the
    // loop comes to the callback after them.
    app.loop().advance(ms);
    app.loop().afterTurn([&app, done] { done(app.loop().now()); });
}

json commandAnswer(ui::Application& app, Arguments& args) {
    args.expectCount(1, 1, "TEXT");
    app.dialogs().queueAnswer(args.string(0, "TEXT"));
    return nullptr;
}

json commandChooseFile(ui::Application& app, Arguments& args) {
    args.expectCount(1, 1, "PATH");
    app.dialogs().queueFile(args.string(0, "PATH"));
    return nullptr;
}

json commandDialogs(ui::Application& app, Arguments& args) {
    args.expectCount(0, 0, "");
    json out = json::array();
    for (const auto& record : app.dialogs().log())
        out.push_back({{"type", std::string(ui::dialogTypeName(record.type))},
                       {"title", record.title},
                       {"text", record.text},
                       {"buttons", record.buttons},
                       {"answer", record.answer}});
    return out;
}

json commandControls(ui::Application& app, Arguments& args) {
    args.expectCount(0, 0, "");
    json out = json::array();
    for (ui::Form* form : app.forms())
        for (ui::Control* control : form->controls())
            out.push_back(control->name());
    return out;
}

void commandWaitIdle(ui::Application& app, Arguments& args, const Channel::Done& done) {
    using namespace std::chrono;
    args.expectCount(1, 1, "MS");
    const auto deadline = steady_clock::now() + milliseconds(args.integer(0, "MS", 0, kMaxWaitMs));
    // The worker reports through posted work, and on the real clock its wake-up timer
    // must keep running: the wait is a watch of the loop, which runs both between its
    // checks, rather than a wait that would hold the loop up.
    auto settled = [&app, deadline, done] {
        if (!app.idleProbe || app.idleProbe()) {
            done(true);
            return true;
        }
        if (steady_clock::now() >= deadline) {
            done(false);
            return true;
        }
        return false;
    };
    if (!settled())
        app.loop().watch(settled);
}

} // namespace

Channel::Channel(ui::Application& app) : app_(app) {
    addBuiltins();
}

Channel::~Channel() {
    *alive_ = false;
}

void Channel::addBuiltins() {
    auto bind = [this](json (*fn)(ui::Application&, Arguments&)) {
        return [this, fn](Arguments& args) { return fn(app_, args); };
    };
    auto bindLater = [this](void (*fn)(ui::Application&, Arguments&, const Done&)) {
        return [this, fn](Arguments& args, Done done) { fn(app_, args, done); };
    };
    addCommand("event", bind(commandEvent));
    addCommand("menu", bind(commandMenu));
    addCommand("set", bind(commandSet));
    addCommand("get", bind(commandGet));
    addCommand("state", bind(commandState));
    addLaterCommand("advance", bindLater(commandAdvance));
    addCommand("answer", bind(commandAnswer));
    addCommand("choose-file", bind(commandChooseFile));
    addCommand("dialogs", bind(commandDialogs));
    addCommand("controls", bind(commandControls));
    addLaterCommand("wait-idle", bindLater(commandWaitIdle));
    addCommand("quit", [this](Arguments& args) -> json {
        args.expectCount(0, 0, "");
        quit();
        return nullptr;
    });
}

void Channel::addCommand(std::string name, Command command) {
    addLaterCommand(std::move(name), [command = std::move(command)](Arguments& args, Done done) {
        done(command(args));
    });
}

void Channel::addLaterCommand(std::string name, LaterCommand command) {
    if (commands_.contains(name))
        throw std::logic_error("automation command '" + name + "' is registered twice");
    commands_.emplace(std::move(name), std::move(command));
}

void Channel::quit() {
    app_.requestQuit();
    if (ui::Form* principal = app_.principal())
        app_.dispatch([principal] { principal->close(); });
    if (!app_.terminated())
        app_.terminate();
}

void Channel::announce(std::string_view line) const noexcept {
    // Most lines are not a quit; only those naming it are read here.
    if (line.find("quit") == std::string_view::npos)
        return;
    try {
        const json parsed =
            json::parse(line.begin(), line.end(), [](int depth, json::parse_event_t, json&) {
                if (depth > kMaxDepth)
                    throw RequestError("too deep");
                return true;
            });
        if (!parsed.is_object() || !parsed.contains("id"))
            return;
        const auto command = parsed.find("command");
        if (command != parsed.end() && command->is_array() && command->size() == 1 &&
            command->front() == "quit")
            app_.requestQuit();
    } catch (...) {
        // Not a request: the channel answers it in its turn.
    }
}

void Channel::announceEndOfInput() const noexcept {
    app_.requestQuit();
}

std::string Channel::errorReply(const json& id, std::string_view message) noexcept {
    try {
        return replyLine(id, message, nullptr);
    } catch (...) {
        return R"({"id":null,"error":"the reply could not be built"})";
    }
}

void Channel::submit(std::string line, ReplyWriter reply, Presence presence) {
    enqueue({Request::Type::Line, std::move(line), 0, std::move(reply), std::move(presence)});
}

void Channel::submitOverlong(std::size_t limit, ReplyWriter reply, Presence presence) {
    enqueue({Request::Type::Overlong, {}, limit, std::move(reply), std::move(presence)});
}

void Channel::submitEndOfInput(Presence presence) {
    enqueue({Request::Type::EndOfInput, {}, 0, {}, std::move(presence)});
}

void Channel::enqueue(Request request) {
    ui::EventLoop& loop = app_.loop();
    if (!loop.inTurn()) {
        loop.runTurn([&] { enqueue(std::move(request)); });
        return;
    }
    waiting_.push_back(std::move(request));
    startWaiting();
}

void Channel::startWaiting() {
    // finish() comes back here to start the next request; should it ever do so from
    // inside start(), the flag keeps this loop from nesting.
    if (starting_)
        return;
    starting_ = true;
    while (!running_ && !waiting_.empty()) {
        auto request = std::make_shared<Request>(std::move(waiting_.front()));
        waiting_.pop_front();
        if (!request->present())
            continue;
        running_ = true;
        try {
            start(request);
        } catch (...) {
            // Only running out of memory gets here; losing one reply is better than
            // a channel that stays busy for ever.
            running_ = false;
        }
    }
    starting_ = false;
}

void Channel::start(const std::shared_ptr<Request>& request) {
    ui::EventLoop& loop = app_.loop();
    switch (request->type) {
    case Request::Type::Line:
        startLine(request);
        return;
    case Request::Type::Overlong: {
        std::string reply = errorReply(nullptr, "request line longer than " +
                                                    std::to_string(request->limit) + " bytes");
        loop.afterTurn([this, request, reply] { finish(request, reply); });
        return;
    }
    case Request::Type::EndOfInput:
        loop.guard([this] { quit(); });
        loop.afterTurn([this, request] { finish(request, {}); });
        return;
    }
}

void Channel::startLine(const std::shared_ptr<Request>& request) {
    // Every reply is written once the turn's work is done, so a command's reply
    // follows whatever its handlers posted.
    auto answered = std::make_shared<bool>(false);
    auto replyLater = [this, alive = alive_, request, answered](std::string reply) {
        // A wait that outlived the channel finishes into nothing.
        if (*answered || !*alive)
            return;
        *answered = true;
        app_.loop().afterTurn(
            [this, request, reply = std::move(reply)] { finish(request, reply); });
    };
    const std::string_view line = request->line;
    json id = nullptr;
    try {
        json parsed;
        try {
            // The depth limit keeps a hostile request from exhausting the stack of
            // the recursive code that reads, copies and frees the parsed value.
            parsed =
                json::parse(line.begin(), line.end(), [](int depth, json::parse_event_t, json&) {
                    if (depth > kMaxDepth)
                        throw RequestError("request nests deeper than " +
                                           std::to_string(kMaxDepth) + " levels");
                    return true;
                });
        } catch (const json::parse_error& e) {
            return replyLater(
                errorReply(nullptr, "malformed request: " + withoutExceptionTag(e.what())));
        } catch (const RequestError& e) {
            return replyLater(errorReply(nullptr, e.what()));
        }
        if (!parsed.is_object())
            return replyLater(errorReply(nullptr, "malformed request: not a JSON object"));
        auto idIt = parsed.find("id");
        if (idIt == parsed.end())
            return replyLater(errorReply(nullptr, "request has no id"));
        id = *idIt;
        auto commandIt = parsed.find("command");
        if (commandIt == parsed.end())
            return replyLater(errorReply(id, "request has no command"));
        const json& command = *commandIt;
        if (!command.is_array() || command.empty())
            return replyLater(errorReply(id, "command must be an array [NAME, ARG...]"));
        if (!command.front().is_string())
            return replyLater(errorReply(id, "command name must be a string"));
        const std::string name = command.front().get<std::string>();
        auto it = commands_.find(name);
        if (it == commands_.end())
            return replyLater(errorReply(id, "unknown command '" + name + "'"));

        const json values(command.begin() + 1, command.end());
        Arguments args(name, values);
        // Copied so that a command registering or removing commands cannot pull
        // the running one from under itself.
        const LaterCommand run = it->second;
        run(args, [replyLater, id](json data) { replyLater(replyLine(id, "success", &data)); });
    } catch (const std::exception& e) {
        replyLater(errorReply(id, e.what()));
    } catch (...) {
        replyLater(errorReply(id, "unknown error"));
    }
}

void Channel::finish(const std::shared_ptr<Request>& request, const std::string& reply) {
    if (request->reply && request->present())
        request->reply(reply);
    running_ = false;
    startWaiting();
}

} // namespace automation
