#pragma once
// The main window's modes — the main screen, the floating video and full screen —
// with the bounds each mode keeps, and the window-wide mouse rules that depend on
// the mode: a right press opens the window-mode menu, a left press drags the
// floating window, and the pointer entering or activating the window brings the
// control bar back.
//
// Thread: user-interface thread only.

#include <string>

namespace ui {
class Control;
class Form;
struct EventArgs;
enum class Event;
} // namespace ui

namespace app {

enum class WindowMode {
    Start,      ///< "" until the first switch
    Main,       ///< "0" the main screen after a return
    Float,      ///< "1" the floating video
    FullScreen, ///< "2"
    Switching   ///< "off" while a switch is under way
};

/// The mode as the state variable `windowMode` shows it.
std::string windowModeText(WindowMode mode);

class WindowModes {
  public:
    /// Hooks the mouse rules into the form and the application, and registers the
    /// modes' state variables.
    explicit WindowModes(ui::Form& form);
    WindowModes(const WindowModes&) = delete;
    WindowModes& operator=(const WindowModes&) = delete;

    WindowMode mode() const { return mode_; }
    /// Float or full screen, where the control bar comes and goes.
    bool detached() const { return mode_ == WindowMode::Float || mode_ == WindowMode::FullScreen; }
    /// Enters `mode`; the switches between the screens call it.
    void setMode(WindowMode mode) { mode_ = mode; }

  private:
    /// Sees every mouse press: in float and full screen a right press anywhere
    /// opens the window-mode menu; a right press on the player opens its menu; in
    /// float mode a left press outside the control bar drags the window.
    bool mousePressed(ui::Control& target, ui::Event event, const ui::EventArgs& args);
    /// The pointer entered the window at screen position (x, y).
    void mouseEntered(int screenX, int screenY);
    /// A press activated the window.
    void mouseActivated();
    void showControlBar();
    void registerState() const;

    ui::Form& form_;
    WindowMode mode_ = WindowMode::Start;
    int floatWidth_ = 400, floatHeight_ = 350, floatTop_ = 100, floatLeft_ = 200;
    int controlBarStep_ = 0;
    int lastCursorX_ = 0, lastCursorY_ = 0;
};

} // namespace app
