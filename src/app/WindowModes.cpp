#include "app/WindowModes.h"

#include <nlohmann/json.hpp>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

namespace app {

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
    registerState();
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
    r.add("floatBounds", [this] {
        return nlohmann::json{{"width", floatWidth_},
                              {"height", floatHeight_},
                              {"top", floatTop_},
                              {"left", floatLeft_}};
    });
    r.add("controlBarStep", [this] { return controlBarStep_; });
    r.add("lastCursor", [this] {
        return nlohmann::json{{"x", lastCursorX_}, {"y", lastCursorY_}};
    });
}

} // namespace app
