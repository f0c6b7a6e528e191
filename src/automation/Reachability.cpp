#include "automation/Reachability.h"

#include "ui/PageControl.h"

namespace automation {

namespace {

std::string named(const ui::Control& control) {
    return std::string(ui::kindName(control.kind())) + " '" + control.name() + "'";
}

// The form a control belongs to: the last of its ancestors.
const ui::Control* formOf(const ui::Control& control) {
    const ui::Control* c = &control;
    while (c->parent())
        c = c->parent();
    return c->kind() == ui::Kind::Form ? c : nullptr;
}

} // namespace

std::optional<std::string> whyUnreachable(const ui::Control& control, ui::Event event,
                                          const ui::EventArgs& args) {
    if (control.kind() == ui::Kind::Form && (event == ui::Event::Show || event == ui::Event::Close))
        return std::nullopt;

    if (control.kind() == ui::Kind::MenuItem) {
        // The item and the items it hangs from; the menu above them does not count.
        bool showing = true;
        bool enabled = true;
        for (const ui::Control* c = &control; c && c->kind() == ui::Kind::MenuItem;
             c = c->parent()) {
            showing = showing && c->visible();
            enabled = enabled && c->enabled();
        }
        if (!showing)
            return named(control) + " is not showing";
        if (!enabled)
            return named(control) + " is disabled";
        // A disabled window opens none of its menus.
        if (const ui::Control* f = formOf(control); f && !f->enabled())
            return named(control) + " is in a disabled window";
        return std::nullopt;
    }

    if (!control.showing())
        return named(control) + " is not showing";
    if (!control.enabled())
        return named(control) + " is disabled";
    // A disabled window (one held by a dialog, say) takes no input in any control.
    for (const ui::Control* c = control.parent(); c; c = c->parent())
        if (!c->enabled())
            return named(control) + " is in a disabled " + std::string(ui::kindName(c->kind())) +
                   " '" + c->name() + "'";

    if (event == ui::Event::TabActive && control.kind() == ui::Kind::PageControl) {
        const auto& pages = static_cast<const ui::PageControl&>(control);
        if (args.index >= 0 && args.index < pages.pageCount() &&
            !pages.page(args.index).tabVisible())
            return "tab " + std::to_string(args.index) + " of " + named(control) +
                   " is not showing";
    }
    return std::nullopt;
}

} // namespace automation
