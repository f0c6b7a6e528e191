#pragma once
// Named state variables of the program, readable as JSON by the automation channel.
// Each subsystem registers its own variables when it is built.
//
// Thread: user-interface thread only.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace ui {

class StateRegistry {
  public:
    using Getter = std::function<nlohmann::json()>;
    /// Throws std::logic_error when the name is taken.
    void add(std::string name, Getter getter);
    bool contains(std::string_view name) const;
    /// Throws std::out_of_range naming the variable when it is unknown.
    nlohmann::json get(std::string_view name) const;
    std::vector<std::string> names() const;

  private:
    std::map<std::string, Getter, std::less<>> getters_;
};

} // namespace ui
