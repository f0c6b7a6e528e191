#pragma once
// The main window's modes — the main screen, the floating video and full screen —
// with the bounds each mode keeps, the proportional layout of the main screen,
// the control bar that slides in and out over the detached video, and the
// window-wide mouse rules that depend on the mode: a right press opens the
// window-mode menu, a left press drags the floating window, and the pointer
// entering or activating the window brings the control bar back.
//
// Thread: user-interface thread only.

#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {
class Form;
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
    /// Hooks the mouse rules into the form and the application, binds the mode
    /// buttons, the window-mode menu, the grips and the control bar's timer, and
    /// registers the modes' state variables.
    explicit WindowModes(ui::Form& form);
    WindowModes(const WindowModes&) = delete;
    WindowModes& operator=(const WindowModes&) = delete;

    WindowMode mode() const { return mode_; }
    /// Float or full screen, where the control bar comes and goes.
    bool detached() const { return mode_ == WindowMode::Float || mode_ == WindowMode::FullScreen; }
    /// Enters `mode` without switching the window (tests of the mouse rules).
    void setMode(WindowMode mode) { mode_ = mode; }

    /// The proportional layout of the main screen; the window's show and every
    /// resize run it.
    void FitLayout();
    /// The control bar's contents for the current mode.
    void FitControlBar();
    /// The window's size changed.
    void FormResize();

    /// The switches.
    void switchToFloat(bool fromMenu);
    void switchToFullScreen();
    void switchToFullScreenFromFloat();
    void returnToMainScreen(bool fromMenu);
    /// One tick of the control bar's animation.
    void Timer3Timer();

    /// Makes the pointer visible (counts up to 0) or hides it (counts below 0).
    void showPointer();
    void hidePointer();

    /// Re-fits the playing video to its area: the player's fit command. The
    /// composition sets it; unset, nothing is re-fitted.
    std::function<void()> onFitVideo;

  private:
    bool mousePressed(ui::Control& target, ui::Event event, const ui::EventArgs& args);
    void mouseEntered(int screenX, int screenY);
    void mouseActivated();
    void showControlBar();
    void bindControls();
    void registerState() const;
    void fitVideo();
    /// Sizes the player movie's surface to the player area.
    void fillPlayer();
    /// Sets the window's bounds; a changed size runs FormResize as a drag would.
    void setWindowBounds(const ui::Bounds& b);
    void saveMainBounds();
    void saveFloatBounds();
    void placeGrips();
    void fillWindowForFullScreen();
    void setModeMenu(bool fullScreenShown);

    ui::Form& form_;
    WindowMode mode_ = WindowMode::Start;
    ui::Bounds float_{200, 100, 400, 350};
    ui::Bounds main_{0, 0, 0, 0};
    int controlBarStep_ = 0;
    int lastCursorX_ = 0, lastCursorY_ = 0;
    int pointerCounter_ = 0;
    bool inResize_ = false;
    int videoFits_ = 0;
};

} // namespace app
