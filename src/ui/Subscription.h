#pragma once
// A listener's hold on a Hook: while it lives the listener is called, and when it
// goes (destroyed, reset or moved over) the listener is taken off the hook. Either
// side may go first: a subscription that outlives its hook simply has nothing left
// to take off.
//
// Owns its place in the hook's listener list. Thread: the thread that owns the hook
// (for the control model's hooks, the user-interface thread).

#include <cstdint>
#include <memory>

namespace ui {

class Subscription {
  public:
    /// What a subscription is taken off: the hook's listener list.
    class Source {
      public:
        /// Takes listener `id` off the list; an id no longer there is ignored.
        virtual void unsubscribe(std::uint64_t id) = 0;

      protected:
        ~Source() = default;
    };

    /// Holds nothing.
    Subscription() = default;
    /// Made by Hook::subscribe.
    Subscription(std::weak_ptr<Source> source, std::uint64_t id);
    ~Subscription();
    Subscription(Subscription&& other) noexcept;
    /// Takes this listener off its hook first, then holds `other`'s.
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    /// Takes the listener off its hook now; later calls do nothing.
    void reset();
    /// True while the listener is on a hook that still exists.
    bool active() const;

  private:
    std::weak_ptr<Source> source_;
    std::uint64_t id_ = 0;
};

} // namespace ui
