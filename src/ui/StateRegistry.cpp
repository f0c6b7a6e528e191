#include "ui/StateRegistry.h"

#include <stdexcept>

#include <nlohmann/json.hpp>

namespace ui {

void StateRegistry::add(std::string name, Getter getter) {
    if (getters_.contains(name))
        throw std::logic_error("state '" + name + "' is registered twice");
    getters_.emplace(std::move(name), std::move(getter));
}

bool StateRegistry::contains(std::string_view name) const {
    return getters_.find(name) != getters_.end();
}

nlohmann::json StateRegistry::get(std::string_view name) const {
    auto it = getters_.find(name);
    if (it == getters_.end())
        throw std::out_of_range("unknown state '" + std::string(name) + "'");
    return it->second();
}

std::vector<std::string> StateRegistry::names() const {
    std::vector<std::string> out;
    for (const auto& [name, getter] : getters_)
        out.push_back(name);
    return out;
}

} // namespace ui
