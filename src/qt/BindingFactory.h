#pragma once
// Makes the binding that shows a control, by the control's kind.
//
// Thread: user-interface thread only.

#include <cstdint>
#include <memory>

namespace ui {
class Control;
}

namespace qtfront {

class Binding;
class BindingHost;

/// The binding of `control`'s kind, its Qt objects made under its parent's: a
/// widget in the parent's container, a menu item's action on its menu. A control
/// with nothing to show (a timer, a control outside any window) gets a plain
/// Binding. The parent's binding, and for a main menu its form's, must exist
/// already: the front end binds parents first. `serial` tells this binding from a
/// later one for a control at the same address.
std::unique_ptr<Binding> makeBinding(ui::Control& control, BindingHost& host, std::uint64_t serial);

} // namespace qtfront
