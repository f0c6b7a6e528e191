#pragma once
// Whether a user could deliver an event to a control right now, for the automation
// channel, which refuses what a user could not do instead of letting the control
// model drop it in silence.
//
// It follows the model's own rule for input (Control::deliver and the kinds that
// refine it): input reaches a control that is enabled and showing, that is visible
// with every parent, so a control on a sheet of a page control that is not the
// active one is not showing. A menu item is reachable while it and its parent
// items are visible and enabled (the menu itself shows only while popped up). A
// tab is chosen only when its tab is shown. A form's Show and Close are the
// window's own coming and going rather than input, and always apply.
//
// Code that clicks a control itself (a handler calling a hidden button's onClick)
// does not pass here.
//
// Thread: user-interface thread only, like the controls.

#include <optional>
#include <string>

#include "ui/Control.h"

namespace automation {

/// Nothing when a user could deliver `event` (with `args`) to `control` now;
/// otherwise why not, naming the control: "Button 'Button9' is not showing",
/// "Button 'Button1' is disabled", "tab 1 of PageControl 'Pages' is not showing".
/// The event must be one the control takes, and a TabActive index must name one of
/// its pages.
std::optional<std::string> whyUnreachable(const ui::Control& control, ui::Event event,
                                          const ui::EventArgs& args);

} // namespace automation
