#pragma once
// A point where the control model tells whoever listens that something happened
// (a menu asks to be shown, a control goes). Several listeners may subscribe; each
// keeps the Subscription it got, and leaves by dropping it, so no listener has to
// save and call the one before it.
//
// The owner of the hook (the control model) calls notify(); anyone may subscribe.
// Owns the listener list; subscriptions refer to it weakly, so the hook may go
// before them. Thread: the thread that owns the hook (for the control model's hooks,
// the user-interface thread).

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "ui/Subscription.h"

namespace ui {

template <class... Args> class Hook {
  public:
    using Listener = std::function<void(Args...)>;

    Hook() = default;
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

    /// Adds `listener`, called by every later notify() until the returned
    /// subscription goes. An empty listener is never called.
    [[nodiscard]] Subscription subscribe(Listener listener) {
        const std::uint64_t id = ++list_->lastId;
        list_->entries.push_back({id, std::make_shared<Slot>(std::move(listener))});
        return Subscription(std::weak_ptr<Subscription::Source>(list_), id);
    }

    /// Calls the listeners in the order they subscribed. A listener may subscribe or
    /// unsubscribe any listener, itself included, and may destroy the hook's owner:
    /// one taken off is not called any more, one added is called from the next
    /// notify() on. An exception from a listener propagates, and the listeners after
    /// it are not called.
    void notify(Args... args) const {
        // The list and each listener stay alive for the whole round, whatever the
        // listeners do to them.
        const std::shared_ptr<List> list = list_;
        const std::vector<Entry> round = list->entries;
        for (const Entry& entry : round)
            if (entry.slot->subscribed && entry.slot->listener)
                entry.slot->listener(args...);
    }

    /// How many listeners are subscribed.
    std::size_t size() const { return list_->entries.size(); }

  private:
    struct Slot {
        explicit Slot(Listener l) : listener(std::move(l)) {}
        Listener listener;
        bool subscribed = true;
    };
    struct Entry {
        std::uint64_t id;
        std::shared_ptr<Slot> slot;
    };
    struct List final : Subscription::Source {
        void unsubscribe(std::uint64_t id) override {
            for (auto it = entries.begin(); it != entries.end(); ++it)
                if (it->id == id) {
                    it->slot->subscribed = false;
                    entries.erase(it);
                    return;
                }
        }
        std::vector<Entry> entries;
        std::uint64_t lastId = 0;
    };

    std::shared_ptr<List> list_ = std::make_shared<List>();
};

} // namespace ui
