#include "automation/RequestQueue.h"

#include <nlohmann/json.hpp>

#include "automation/Channel.h"
#include "ui/Application.h"

namespace automation {

void RequestQueue::submitLine(std::string line, ReplyWriter reply) {
    submit({Item::Type::Line, std::move(line), 0, std::move(reply)});
}

void RequestQueue::submitOverlong(std::size_t limit, ReplyWriter reply) {
    submit({Item::Type::Overlong, {}, limit, std::move(reply)});
}

void RequestQueue::submitEndOfInput() {
    submit({Item::Type::EndOfInput, {}, 0, {}});
}

void RequestQueue::detach() {
    channel_ = nullptr;
    pending_.clear();
}

void RequestQueue::submit(Item item) {
    if (!channel_)
        return;
    pending_.push_back(std::move(item));
    if (running_)
        return; // the running request's loop below picks it up
    running_ = true;
    while (channel_ && !pending_.empty()) {
        Item next = std::move(pending_.front());
        pending_.pop_front();
        try {
            run(next);
        } catch (...) {
            // Only running out of memory gets here (handle never throws); losing
            // one reply is better than a queue that stays stuck as running.
        }
    }
    running_ = false;
}

void RequestQueue::run(Item& item) {
    switch (item.type) {
    case Item::Type::Line:
        item.reply(channel_->handle(item.line));
        break;
    case Item::Type::Overlong:
        item.reply(Channel::errorReply(nullptr, "request line longer than " +
                                                    std::to_string(item.limit) + " bytes"));
        break;
    case Item::Type::EndOfInput: {
        ui::Application& app = channel_->app();
        Channel& channel = *channel_;
        app.loop().guard([&] {
            channel.quit();
            if (!app.terminated())
                app.terminate();
        });
        break;
    }
    }
}

} // namespace automation
