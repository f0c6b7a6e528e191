#pragma once
// How the input of a watched Qt object counts for its control.
//
// Thread: a plain value.

namespace qtfront {

enum class InputRole {
    /// Keys, focus, the pointer coming and going, presses and moves: a control's
    /// own widget.
    Whole,
    /// All but presses and moves: a widget whose viewport takes the pointer.
    Keys,
    /// Presses and moves only: a viewport or a tab bar inside a control's widget.
    Pointer,
};

} // namespace qtfront
