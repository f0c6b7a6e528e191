#include "app/WindowModes.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "app/ProportionalLayout.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

namespace app {

namespace {

/// Scales the children of `c` (positions, sizes and fonts) by `percent`.
void scaleContents(ui::Control& c, int percent) {
    using layout::scaled;
    for (const auto& child : c.children()) {
        const auto& b = child->bounds();
        child->setBounds(scaled(b.left, percent), scaled(b.top, percent), scaled(b.width, percent),
                         scaled(b.height, percent));
        child->setFontHeight(std::max(1, scaled(child->font().height, percent)));
        scaleContents(*child, percent);
    }
}

/// Scales a region and everything inside it, keeping its top-left corner.
void scaleRegion(ui::Control& region, int percent) {
    if (percent == 100)
        return;
    region.setWidth(layout::scaled(region.width(), percent));
    region.setHeight(layout::scaled(region.height(), percent));
    region.setFontHeight(std::max(1, layout::scaled(region.font().height, percent)));
    scaleContents(region, percent);
}

/// Enough passes of the region scaling to come within a whole percent of the
/// target from any size; each pass is cheap.
constexpr int kScalePasses = 8;

nlohmann::json boundsJson(const ui::Bounds& b) {
    return {{"width", b.width}, {"height", b.height}, {"top", b.top}, {"left", b.left}};
}

} // namespace

std::string windowModeText(WindowMode mode) {
    switch (mode) {
    case WindowMode::Start:
        return "";
    case WindowMode::Main:
        return "0";
    case WindowMode::Float:
        return "1";
    case WindowMode::FullScreen:
        return "2";
    case WindowMode::Switching:
        return "off";
    }
    return "";
}

WindowModes::WindowModes(ui::Form& form) : form_(form) {
    form_.app().mousePressHook = [this](ui::Control& target, ui::Event event,
                                        const ui::EventArgs& args) {
        return mousePressed(target, event, args);
    };
    form_.onMouseEnterAt = [this](int x, int y) { mouseEntered(x, y); };
    form_.onMouseActivate = [this] { mouseActivated(); };
    form_.onResize = [this] { FormResize(); };
    bindControls();
    registerState();
}

void WindowModes::bindControls() {
    auto button = [this](const char* name) -> ui::Control& { return *form_.find(name); };
    auto item = [this](const char* name) -> ui::MenuItem& { return form_.get<ui::MenuItem>(name); };
    // floatvideobuttonClick / NormalScreen1Click: float the video.
    button("floatvideobutton").onClick = [this] { switchToFloat(false); };
    item("NormalScreen1").onClick = [this] { switchToFloat(true); };
    // fullscreenbuttonClick, suiImageButton26Click (clicks fullscreenbutton),
    // FullScreen1Click (from the floating video).
    button("fullscreenbutton").onClick = [this] { switchToFullScreen(); };
    button("suiImageButton26").onClick = [this] {
        auto& full = *form_.find("fullscreenbutton");
        if (full.onClick)
            full.onClick();
    };
    item("FullScreen1").onClick = [this] { switchToFullScreenFromFloat(); };
    // normalscreenClick / MainScreen1Click: back to the main screen.
    button("normalscreen").onClick = [this] { returnToMainScreen(false); };
    item("MainScreen1").onClick = [this] { returnToMainScreen(true); };

    // Hover feedback of the two mode buttons of the information area.
    for (const char* name : {"floatvideobutton", "suiImageButton26"}) {
        auto& b = button(name);
        b.onMouseEnter = [&b] { b.setFontColour(ui::colours::black); };
        b.onMouseLeave = [&b] { b.setFontColour({128, 128, 128}); };
    }

    // dragMoveMouseDown / dragLeftMouseDown: resize the floating window from a
    // bottom corner, left button only.
    button("dragMove").onMouseDown = [this](ui::MouseButton b, int, int) {
        if (b == ui::MouseButton::Left)
            form_.startSystemResize(ui::Form::Corner::BottomRight);
    };
    button("dragLeft").onMouseDown = [this](ui::MouseButton b, int, int) {
        if (b == ui::MouseButton::Left)
            form_.startSystemResize(ui::Form::Corner::BottomLeft);
    };

    form_.get<ui::Timer>("Timer3").onTimer = [this] { Timer3Timer(); };
}

void WindowModes::FitLayout() {
    if (mode_ == WindowMode::Switching || detached())
        return;
    auto& fullscreen = *form_.find("fullscreenbutton");
    const char* const secondary[] = {"mostpopularchecked", "mostrecentchecked", "previewvolume",
                                     "mpposibar", "minleft"};
    fullscreen.show();
    for (const char* name : secondary)
        form_.find(name)->show();

    auto& p4 = *form_.find("Panel4");
    auto& p5 = *form_.find("Panel5");
    auto& p6 = *form_.find("Panel6");
    auto& p7 = *form_.find("Panel7");
    auto& p8 = *form_.find("Panel8");
    auto& p9 = *form_.find("Panel9");
    auto measure = [&] {
        layout::FitInput in;
        in.window = {form_.width(), form_.height()};
        in.panel7 = {p7.width(), p7.height()};
        in.panel8 = {p8.width(), p8.height()};
        in.panel9 = {p9.width(), p9.height()};
        in.panel7Top = p7.top();
        in.panel5Height = p5.height();
        return in;
    };
    const layout::FitInput first = measure();
    auto r = layout::fit(first);
    if (r.window != first.window) {
        // The smallest window; the layout below is for it, so no second pass.
        const bool was = inResize_;
        inResize_ = true;
        form_.resize(r.window.width, r.window.height);
        inResize_ = was;
    }
    // A whole percent cannot hit the target size from far away (from a huge window
    // to a small one it undershoots by up to a third), so the regions are scaled
    // again until each percent comes out at 100: one layout settles.
    for (int pass = 0; pass < kScalePasses; ++pass) {
        scaleRegion(p9, r.s9);
        scaleRegion(p8, r.s8);
        scaleRegion(p7, r.s7);
        if ((r.s7 == 100 && r.s8 == 100 && r.s9 == 100) || pass + 1 == kScalePasses)
            break;
        r = layout::fit(measure());
    }
    // The skinned frame spans the window.
    form_.find("suiForm1")->setWidth(r.window.width);
    p9.setBounds(r.panel9);
    auto& side = *form_.find("videosidebarslide");
    side.setWidth(r.sideBarWidth);
    p8.setBounds(r.panel8);
    p7.setBounds(r.panel7);
    p6.setBounds(r.panel6);
    // The start page fills the video area.
    auto& start = *form_.find("Panel2");
    start.setBounds(0, 0, r.panel6.width, r.panel6.height);
    form_.find("MozillaBrowser3")->setBounds(0, 0, r.panel6.width, r.panel6.height);
    p5.setTop(r.panel5Top);
    p5.setWidth(r.panel5Width);
    p4.setWidth(r.panel4Width);
    p4.setHeight(r.panel4Height);
    form_.find("Image2")->setBounds(0, 0, p7.width(), p7.height());

    fillPlayer();

    if (!r.fullscreenButtonShown)
        fullscreen.hide();
    if (!r.secondaryShown)
        for (const char* name : secondary)
            form_.find(name)->hide();
}

void WindowModes::FitControlBar() {
    const auto fit = layout::fitControlBar(mode_ == WindowMode::Float, form_.width());
    form_.find("Panel5")->setWidth(fit.panel5Width);
    using Extras = layout::ControlBarFit::Extras;
    if (fit.extras != Extras::Unchanged)
        for (const char* name : {"mpposibar", "previewvolume", "minleft", "secleft", "Label19"})
            form_.find(name)->setVisible(fit.extras == Extras::Shown);
    if (fit.modeButtonLeft >= 0) {
        form_.find("fullscreenbutton")->setLeft(fit.modeButtonLeft);
        form_.find("normalscreen")->setLeft(fit.modeButtonLeft);
    }
}

void WindowModes::FormResize() {
    if (inResize_)
        return;
    inResize_ = true;
    FitControlBar();
    FitLayout();
    if (mode_ == WindowMode::Float) {
        auto& p4 = *form_.find("Panel4");
        auto& p5 = *form_.find("Panel5");
        auto& p6 = *form_.find("Panel6");
        const int w = form_.width(), h = form_.height();
        auto fillWidth = [&] {
            p4.setWidth(w);
            p6.setBounds(0, 0, w, h);
        };
        if (controlBarStep_ >= 1 && controlBarStep_ <= 100) {
            p5.show();
            p5.setBounds(0, h - 54, p5.width(), p5.height());
            p4.setHeight(h - 50);
            fillWidth();
            placeGrips();
        } else if (controlBarStep_ > 100) {
            // The bar is sliding out: the video grows into its place.
            p4.setHeight(h - (50 - (controlBarStep_ - 100)));
            fillWidth();
            fillPlayer();
            inResize_ = false;
            return;
        } else {
            p4.setHeight(h);
            fillWidth();
        }
    }
    fillPlayer();
    fitVideo();
    inResize_ = false;
}

void WindowModes::setWindowBounds(const ui::Bounds& b) {
    form_.setBounds(b.left, b.top, form_.width(), form_.height());
    form_.resize(b.width, b.height);
}

void WindowModes::saveMainBounds() {
    main_ = form_.bounds();
}

void WindowModes::saveFloatBounds() {
    float_ = form_.bounds();
}

void WindowModes::placeGrips() {
    auto& bar = *form_.find("Panel5");
    auto& grip = *form_.find("dragMove");
    auto& left = *form_.find("dragLeft");
    grip.setBounds(bar.width() - grip.width(), bar.height() - grip.height(), grip.width(),
                   grip.height());
    left.setBounds(0, bar.height() - left.height(), left.width(), left.height());
}

void WindowModes::setModeMenu(bool fullScreenShown) {
    form_.find("FullScreen1")->setVisible(fullScreenShown);
    form_.find("NormalScreen1")->setVisible(!fullScreenShown);
}

void WindowModes::switchToFloat(bool fromMenu) {
    const WindowMode from = mode_;
    form_.hide();
    mode_ = WindowMode::Switching;
    showPointer();
    form_.find("fullscreenbutton")->hide();
    form_.find("normalscreen")->show();
    setModeMenu(true);
    // Only the main screen's own bounds are kept as the main bounds: leaving full
    // screen for the floating video must not make the screen the main window's size.
    if (from != WindowMode::FullScreen && from != WindowMode::Float)
        saveMainBounds();

    auto& p4 = *form_.find("Panel4");
    auto& p5 = *form_.find("Panel5");
    auto& p6 = *form_.find("Panel6");
    p5.show();
    form_.setFrameless(true);
    form_.setStayOnTop(true);
    auto& frame = *form_.find("suiForm1");
    frame.hide();
    for (const char* name : {"Panel7", "Panel8", "Panel9"})
        form_.find(name)->hide();
    frame.setEnabled(false);
    // The mode is still "off": the size change lays nothing out.
    if (float_.width > 1) {
        setWindowBounds(float_);
        p4.setWidth(form_.width());
        p4.setHeight(form_.height() - 50);
    }
    const int w = form_.width(), h = form_.height();
    p6.setBounds(0, 0, w, h);
    p4.setBounds(0, 0, p4.width(), p4.height());
    p5.setBounds(0, h - 54, p5.width(), 50);
    if (fromMenu) {
        p4.bringToFront();
        p5.bringToFront();
    }
    mode_ = WindowMode::Float;
    FitControlBar();
    fillPlayer();
    fitVideo();

    form_.show();
    auto& grip = *form_.find("dragMove");
    grip.show();
    form_.find("dragLeft")->show();
    grip.bringToFront();
    placeGrips();
}

void WindowModes::fillWindowForFullScreen() {
    const auto& screen = form_.screen();
    form_.setFrameless(true);
    setWindowBounds(screen);
    const int w = form_.width(), h = form_.height();
    auto& p5 = *form_.find("Panel5");
    form_.find("Panel6")->setBounds(0, 0, w, h);
    form_.find("Panel4")->setBounds(0, 0, w, h);
    fillPlayer();
    p5.setBounds(0, h - 50, p5.width(), p5.height());
    p5.bringToFront();
    p5.show();
    form_.get<ui::Timer>("Timer3").setEnabled(true);
}

void WindowModes::switchToFullScreen() {
    mode_ = WindowMode::Switching;
    saveMainBounds();
    form_.find("fullscreenbutton")->hide();
    form_.find("normalscreen")->show();
    for (const char* name : {"dragMove", "dragLeft", "suiForm1", "Panel7", "Panel8", "Panel9"})
        form_.find(name)->hide();
    form_.find("suiForm1")->setEnabled(false);
    setModeMenu(false);
    form_.get<ui::Timer>("Timer3").setEnabled(false);
    mode_ = WindowMode::FullScreen;
    fillWindowForFullScreen();
}

void WindowModes::switchToFullScreenFromFloat() {
    setModeMenu(false);
    form_.get<ui::Timer>("Timer3").setEnabled(false);
    mode_ = WindowMode::FullScreen;
    form_.find("dragMove")->hide();
    form_.find("dragLeft")->hide();
    if (form_.width() != float_.width && form_.height() != float_.height)
        saveFloatBounds();
    fillWindowForFullScreen();
}

void WindowModes::returnToMainScreen(bool fromMenu) {
    form_.hide();
    form_.find("dragMove")->hide();
    form_.find("dragLeft")->hide();
    // The control bar stays in the main screen: its animation, if one runs, ends here
    // (its ticks would do nothing in the main screen but keep the clock busy).
    form_.get<ui::Timer>("Timer3").setEnabled(false);
    controlBarStep_ = 0;
    if (mode_ == WindowMode::Float)
        saveFloatBounds();
    mode_ = WindowMode::Switching;
    form_.find("normalscreen")->hide();
    form_.find("fullscreenbutton")->show();
    showPointer();

    form_.setBounds(main_.left, main_.top, form_.width(), form_.height());
    auto& p4 = *form_.find("Panel4");
    auto& p5 = *form_.find("Panel5");
    form_.find("Panel6")->setBounds(10, 51, 363, 300);
    p4.setBounds(13, 5, 340, 245);
    p5.setBounds(0, 250, 363, 50);
    p5.show();
    if (fromMenu)
        p4.bringToFront();
    auto& frame = *form_.find("suiForm1");
    frame.show();
    for (const char* name : {"Panel7", "Panel8", "Panel9"})
        form_.find(name)->show();
    form_.setFrameless(false);
    form_.setStayOnTop(false);
    frame.setEnabled(true);
    form_.resize(main_.width, main_.height);
    fillPlayer();
    fitVideo();

    mode_ = WindowMode::Main;
    // A size change and back makes one full layout pass.
    form_.resize(main_.width + 1, main_.height);
    form_.resize(main_.width, main_.height);
    if (!fromMenu)
        form_.setLeft(form_.left() - 1);
    form_.show();
}

void WindowModes::Timer3Timer() {
    auto& timer = form_.get<ui::Timer>("Timer3");
    auto& p5 = *form_.find("Panel5");
    int& step = controlBarStep_;
    if (mode_ == WindowMode::Float) {
        if (step == 1) {
            p5.show();
            p5.setHeight(50);
            step = 2;
            form_.resize(form_.width(), form_.find("Panel4")->height() + 50);
            p5.bringToFront();
        } else if (step < 1 || (step >= 2 && step <= 99)) {
            ++step;
            if (step == 20)
                p5.hide(); // a repaint
            p5.show();
        } else if (step <= 149) {
            ++step;
            form_.resize(form_.width(), form_.height() - 1);
        } else {
            timer.setEnabled(false);
            step = 0;
            auto& p6 = *form_.find("Panel6");
            p6.hide();
            p6.show();
        }
    } else if (mode_ == WindowMode::FullScreen) {
        if (step == 1) {
            showPointer();
            p5.show();
            p5.setBounds(0, form_.height() - 50, form_.width(), 50);
            p5.bringToFront();
            step = 2;
        } else if (step < 1 || (step >= 2 && step <= 99)) {
            ++step;
        } else if (step <= 149) {
            ++step;
            p5.setBounds(p5.left(), p5.top() + 1, p5.width(), p5.height() - 1);
        } else {
            hidePointer();
            timer.setEnabled(false);
            step = 0;
        }
    }
    if (mode_ != WindowMode::FullScreen)
        showPointer();
}

void WindowModes::showPointer() {
    while (pointerCounter_ < 0)
        ++pointerCounter_;
    form_.setPointerHidden(false);
}

void WindowModes::hidePointer() {
    while (pointerCounter_ >= 0)
        --pointerCounter_;
    form_.setPointerHidden(true);
}

void WindowModes::fillPlayer() {
    // The player movie's surface fills the player area. It is a window of its own
    // in the front end, which no parent clips: left at an earlier, larger size it
    // would cover the information area beside the video.
    auto& p4 = *form_.find("Panel4");
    form_.find("ShockwaveFlash1")->setBounds(0, 0, p4.width(), p4.height());
}

void WindowModes::fitVideo() {
    ++videoFits_;
    if (onFitVideo)
        onFitVideo();
}

bool WindowModes::mousePressed(ui::Control& target, ui::Event event, const ui::EventArgs& args) {
    const bool right = args.button == ui::MouseButton::Right;
    const bool inside = target.form() == &form_;
    const auto [x, y] = ui::screenPosition(target, args.x, args.y);
    if (right && inside && detached()) {
        form_.get<ui::Menu>("PopupMenu2").popup(x, y);
        return true;
    }
    if (right && target.isInside(form_.get<ui::Panel>("Panel4"))) {
        form_.get<ui::Menu>("videoquerypopup").popup(x, y);
        return true;
    }
    if (!right && event == ui::Event::MouseDown && args.button == ui::MouseButton::Left && inside &&
        !target.isInside(form_.get<ui::Panel>("Panel5")) && mode_ == WindowMode::Float) {
        form_.startSystemMove();
        return true;
    }
    return false;
}

void WindowModes::mouseEntered(int screenX, int screenY) {
    if (!detached() || !form_.enabled())
        return;
    if (screenX == lastCursorX_ || screenY == lastCursorY_)
        return;
    showControlBar();
    lastCursorX_ = screenX;
    lastCursorY_ = screenY;
}

void WindowModes::mouseActivated() {
    if (!detached() || !form_.enabled())
        return;
    showControlBar();
}

void WindowModes::showControlBar() {
    controlBarStep_ = 1;
    form_.get<ui::Timer>("Timer3").setEnabled(true);
}

void WindowModes::registerState() const {
    auto& r = form_.app().state();
    r.add("windowMode", [this] { return windowModeText(mode_); });
    r.add("floatBounds", [this] { return boundsJson(float_); });
    r.add("mainBounds", [this] { return boundsJson(main_); });
    r.add("controlBarStep", [this] { return controlBarStep_; });
    r.add("lastCursor", [this] {
        return nlohmann::json{{"x", lastCursorX_}, {"y", lastCursorY_}};
    });
    r.add("pointerCounter", [this] { return pointerCounter_; });
    r.add("videoFits", [this] { return videoFits_; });
}

} // namespace app
