#pragma once
// How the automation channel reads and writes a control: every property as one JSON
// object, and the few properties a user can change directly.
//
// Thread: user-interface thread only, like the controls themselves.

#include <string_view>

#include <nlohmann/json.hpp>

#include "ui/Control.h"

namespace automation {

/// Every property of `control`: the common ones (name, kind, bounds, visibility,
/// caption or text, hint, font, cursor, picture) and those its kind adds. Throws
/// nothing but std::bad_alloc.
nlohmann::json describeControl(const ui::Control& control);

/// Sets what a user can set, without running any handler: `text` or `caption` of
/// any control (a memo's text is split into lines), `lines` of a memo, `checked`
/// of a radio button, `position` of a track or progress bar, `selected` of a tree
/// view (-1 clears it), `cell` of a string grid ({"col", "row", "text"}). Throws
/// RequestError naming the property when it cannot be set on this control or
/// `value` has the wrong type or range.
void setControlProperty(ui::Control& control, std::string_view property,
                        const nlohmann::json& value);

} // namespace automation
