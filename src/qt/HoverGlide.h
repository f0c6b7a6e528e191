#pragma once
// Moves a widget to its new place. A thumbnail or caption panel that grows or
// shrinks by a pointer's hover step glides there instead of jumping; every other
// change is immediate.
//
// The glide animation is a child of the widget, made on its first glide. Thread:
// user-interface thread only.

class QRect;
class QWidget;

namespace qtfront {

/// Puts `w` at `target` of its parent. `hoverKind`: the widget shows a kind that
/// grows under the pointer (an image, a caption panel), so a visible change of at
/// most 20 pixels in each direction glides.
void glideTo(QWidget& w, const QRect& target, bool hoverKind);

} // namespace qtfront
