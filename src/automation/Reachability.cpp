#include "automation/Reachability.h"

#include "ui/PageControl.h"

namespace automation {

namespace {

std::string named(const ui::Control& control) {
    return std::string(ui::kindName(control.kind())) + " '" + control.name() + "'";
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
        return std::nullopt;
    }

    if (!control.showing())
        return named(control) + " is not showing";
    if (!control.enabled())
        return named(control) + " is disabled";

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
