#include "ui/Subscription.h"

#include <utility>

namespace ui {

Subscription::Subscription(std::weak_ptr<Source> source, std::uint64_t id)
    : source_(std::move(source)), id_(id) {}

Subscription::~Subscription() {
    reset();
}

Subscription::Subscription(Subscription&& other) noexcept
    : source_(std::move(other.source_)), id_(std::exchange(other.id_, 0)) {}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        source_ = std::move(other.source_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void Subscription::reset() {
    if (id_ == 0)
        return;
    if (auto source = source_.lock())
        source->unsubscribe(id_);
    source_.reset();
    id_ = 0;
}

bool Subscription::active() const {
    return id_ != 0 && !source_.expired();
}

} // namespace ui
