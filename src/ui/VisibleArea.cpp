#include "ui/VisibleArea.h"

#include <algorithm>

namespace ui {

namespace {

bool empty(const Bounds& r) {
    return r.width <= 0 || r.height <= 0;
}

Bounds intersection(const Bounds& a, const Bounds& b) {
    const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const int right = std::min(a.left + a.width, b.left + b.width);
    const int bottom = std::min(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

/// `parts` less `cut`: each part split into at most four pieces around it.
void subtract(std::vector<Bounds>& parts, const Bounds& cut) {
    std::vector<Bounds> out;
    out.reserve(parts.size());
    for (const Bounds& p : parts) {
        const Bounds i = intersection(p, cut);
        if (empty(i)) {
            out.push_back(p);
            continue;
        }
        const int pRight = p.left + p.width, pBottom = p.top + p.height;
        const int iRight = i.left + i.width, iBottom = i.top + i.height;
        const Bounds above{p.left, p.top, p.width, i.top - p.top};
        const Bounds below{p.left, iBottom, p.width, pBottom - iBottom};
        const Bounds leftOf{p.left, i.top, i.left - p.left, i.height};
        const Bounds rightOf{iRight, i.top, pRight - iRight, i.height};
        for (const Bounds& piece : {above, below, leftOf, rightOf})
            if (!empty(piece))
                out.push_back(piece);
    }
    parts = std::move(out);
}

/// Whether `c` paints over what lies behind it. Menus and timers take no room in
/// their window.
bool paints(const Control& c) {
    return c.visible() && c.kind() != Kind::Menu && c.kind() != Kind::MenuItem &&
           c.kind() != Kind::Timer && !empty(c.bounds());
}

} // namespace

std::vector<Bounds> visibleArea(const Control& control) {
    if (!control.showing() || empty(control.bounds()))
        return {};
    // Worked out in the coordinates of the level reached, from the control up to its
    // form; (dx, dy) is where the control's own origin lies in them.
    std::vector<Bounds> parts{control.bounds()};
    int dx = control.left(), dy = control.top();
    for (const Control* c = &control; c->parent(); c = c->parent()) {
        const Control& parent = *c->parent();
        // Siblings after `c` are stacked in front of it.
        const auto& siblings = parent.children();
        auto it = std::find_if(siblings.begin(), siblings.end(),
                               [c](const auto& s) { return s.get() == c; });
        for (++it; it != siblings.end() && !parts.empty(); ++it)
            if (paints(**it))
                subtract(parts, (*it)->bounds());
        // Into the parent's parent's coordinates, cut to the parent's rectangle (a
        // form's rectangle is its place on the screen: its children start at 0, 0).
        const bool form = parent.parent() == nullptr;
        const Bounds frame = form ? Bounds{0, 0, parent.width(), parent.height()} : parent.bounds();
        if (!form) {
            for (Bounds& p : parts) {
                p.left += parent.left();
                p.top += parent.top();
            }
            dx += parent.left();
            dy += parent.top();
        }
        std::vector<Bounds> kept;
        for (const Bounds& p : parts)
            if (const Bounds i = intersection(p, frame); !empty(i))
                kept.push_back(i);
        parts = std::move(kept);
        if (parts.empty())
            return {};
    }
    for (Bounds& p : parts) {
        p.left -= dx;
        p.top -= dy;
    }
    return parts;
}

bool wholeArea(const Control& control, const std::vector<Bounds>& area) {
    return area.size() == 1 && area.front() == Bounds{0, 0, control.width(), control.height()};
}

} // namespace ui
