#pragma once
// A top-level window: the root of a control tree and the registry of its controls
// by name.
//
// Thread: user-interface thread only.

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"
#include "ui/Hook.h"

namespace ui {

class Application;

class Form : public Control {
  public:
    /// Registers the form with the application; the caller owns it.
    Form(Application& app, std::string name);
    ~Form() override;

    Application& app() const { return app_; }

    /// The control of this form so named (the form itself included), or nullptr.
    Control* find(std::string_view name) const;
    /// Like find, but throws std::out_of_range naming the control when it is missing
    /// or not of type T.
    template <class T> T& get(std::string_view name) const {
        auto* c = dynamic_cast<T*>(find(name));
        if (!c)
            throw std::out_of_range("No control '" + std::string(name) +
                                    "' of the requested kind on " + this->name());
        return *c;
    }
    /// Names of every control of the form in creation order, the form first.
    const std::vector<Control*>& controls() const { return order_; }

    /// Showing a form runs onShow every time it becomes visible.
    void setVisible(bool v) override;
    /// Closes the form as the user would: onClose runs, then the form hides. The
    /// application ends when its principal form closes.
    void close();

    /// Whether the window stays on top of the other windows (a small dialog over
    /// the main window).
    bool stayOnTop() const { return stayOnTop_; }
    void setStayOnTop(bool on);

    /// A window without a frame (no caption, no sizing border).
    bool frameless() const { return frameless_; }
    void setFrameless(bool on);
    /// The mouse pointer is hidden while it is over the window.
    bool pointerHidden() const { return pointerHidden_; }
    void setPointerHidden(bool hidden);
    /// The screen the window is on (the front end reports the real one).
    const Bounds& screen() const { return screen_; }
    void setScreen(const Bounds& b) { screen_ = b; }

    /// Changes the window's size as a user's drag does: onResize runs when the size
    /// changed.
    void resize(int width, int height);

    /// Keys (one character each, as KeyPress carries them) that go to the form's own
    /// KeyPress wherever the focus is in the window, unless a text field takes them.
    std::vector<std::string> windowKeys;

    std::function<void()> onShow, onClose, onResize;
    /// The mouse entered the window at screen position (x, y).
    std::function<void(int x, int y)> onMouseEnterAt;
    /// A mouse press activated the window.
    std::function<void()> onMouseActivate;

    /// Asks the front end to let the user drag the window from where the mouse
    /// was pressed (the system move of a window's caption): counts the request, then
    /// tells systemMoveRequested.
    void startSystemMove();
    int systemMoves() const { return systemMoves_; }
    /// Asks the front end to let the user resize the window from a bottom corner.
    enum class Corner { BottomRight, BottomLeft };
    void startSystemResize(Corner corner);
    int systemResizes() const { return systemResizes_; }
    Hook<Corner> systemResizeRequested;
    /// The form asks for a system move. Subscribe on the user-interface thread; the
    /// form notifies from startSystemMove().
    Hook<> systemMoveRequested;

    bool deliver(Event event, EventArgs& args) override;
    bool takes(Event event) const override {
        return event == Event::Show || event == Event::Close || event == Event::Activate ||
               Control::takes(event);
    }

    /// Used by the control model itself.
    void registerControl(Control& c);
    void unregisterControl(Control& c);
    std::uint64_t nextRevision();

  private:
    Application& app_;
    std::map<std::string, Control*, std::less<>> registry_;
    std::vector<Control*> order_;
    int systemMoves_ = 0;
    bool stayOnTop_ = false;
    bool frameless_ = false;
    bool pointerHidden_ = false;
    int systemResizes_ = 0;
    Bounds screen_{0, 0, 1920, 1080};
};

} // namespace ui
