#pragma once
// The control model: every window of the program is a tree of named controls whose
// properties the front end renders and whose handlers the front end (or the
// automation channel) calls. Nothing here knows how controls are drawn.
//
// Thread: controls belong to the user-interface thread. Other threads post work to
// the event loop instead of touching them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

class Form;
class Menu;

enum class Kind {
    Form,
    Panel,
    Label,
    Image,
    Button,
    Edit,
    Memo,
    RadioButton,
    TrackBar,
    ProgressBar,
    PageControl,
    TabSheet,
    CaptionPanel,
    SideChannel,
    StringGrid,
    TreeView,
    Animation,
    WebView,
    MediaSurface,
    Menu,
    MenuItem,
    Timer
};
std::string_view kindName(Kind kind);

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    /// "#RRGGBB"
    std::string hex() const;
    bool operator==(const Colour&) const = default;
};

namespace colours {
inline constexpr Colour black{0, 0, 0};
inline constexpr Colour white{255, 255, 255};
inline constexpr Colour silver{192, 192, 192};
} // namespace colours

struct Font {
    std::string name = "Tahoma";
    Colour colour = colours::black;
    int height = 11; ///< pixels
    bool bold = false;
    bool underline = false;
    /// Size in points at 96 dots per inch, as the designer gives it.
    int points() const { return (height * 72 + 48) / 96; }
    void setPoints(int pt) { height = (pt * 96 + 36) / 72; }
    bool operator==(const Font&) const = default;
};

enum class Cursor { Default, Arrow, HandPoint, HourGlass, AppStart };
std::string_view cursorName(Cursor cursor);

enum class MouseButton { Left, Right, Middle };

/// User events the front end and the automation channel deliver by name.
enum class Event {
    Click,
    DblClick,
    MouseEnter,
    MouseMove,
    MouseLeave,
    MouseDown,
    MouseUp,
    KeyPress,
    Change,
    Exit,
    TabActive,
    SelectCell,
    Pop,
    Show,
    Close,
    Activate
};
std::string_view eventName(Event event);
/// Returns false when `name` is not an event name.
bool parseEvent(std::string_view name, Event& event);

struct EventArgs {
    MouseButton button = MouseButton::Left;
    int x = 0, y = 0;
    std::string key; ///< one character, UTF-8; a handler may clear it to swallow the key
    int index = 0;   ///< TabActive
    int col = 0, row = 0;
};

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Bounds&) const = default;
};

class Control {
  public:
    /// Makes a control under `parent` (nullptr only for forms and loose menus).
    /// Use Control::add to create children: it registers them with their form.
    Control(Kind kind, std::string name, Control* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    /// Creates a child control owned by this one and registers it with the form by
    /// name. Throws std::logic_error when the form already has a control so named.
    template <class T, class... Args> T& add(std::string name, Args&&... args) {
        auto child = std::make_unique<T>(std::move(name), this, std::forward<Args>(args)...);
        T& ref = *child;
        adopt(std::move(child));
        return ref;
    }

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    Control* parent() const { return parent_; }
    /// The form this control belongs to (itself for a form).
    Form* form() const { return form_; }
    /// Children from back to front.
    const std::vector<std::unique_ptr<Control>>& children() const { return children_; }
    /// True when `ancestor` is this control or one of its parents.
    bool isInside(const Control& ancestor) const;

    const Bounds& bounds() const { return bounds_; }
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width; }
    int height() const { return bounds_.height; }
    void setBounds(int left, int top, int width, int height);
    void setBounds(const Bounds& b) { setBounds(b.left, b.top, b.width, b.height); }
    void setLeft(int v) { setBounds(v, bounds_.top, bounds_.width, bounds_.height); }
    void setTop(int v) { setBounds(bounds_.left, v, bounds_.width, bounds_.height); }
    void setWidth(int v) { setBounds(bounds_.left, bounds_.top, v, bounds_.height); }
    void setHeight(int v) { setBounds(bounds_.left, bounds_.top, bounds_.width, v); }

    bool visible() const { return visible_; }
    virtual void setVisible(bool v);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    /// Visible, and so is every parent.
    bool showing() const;
    bool enabled() const { return enabled_; }
    virtual void setEnabled(bool v);

    /// The caption of labels, buttons, panels and forms, or the text of an edit.
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);
    const std::string& hint() const { return hint_; }
    void setHint(std::string text);
    /// The key that runs this control's handler in its window ("Space", "Ctrl+L"),
    /// shown beside its hint or its menu caption; empty when there is none.
    const std::string& keyHint() const { return keyHint_; }
    void setKeyHint(std::string key);
    const Font& font() const { return font_; }
    void setFont(const Font& f);
    void setFontColour(Colour c);
    void setFontHeight(int pixels);
    /// Background colour, when the control paints one.
    bool hasColour() const { return hasColour_; }
    Colour colour() const { return colour_; }
    void setColour(Colour c);
    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor c);
    Menu* popupMenu() const { return popupMenu_; }
    void setPopupMenu(Menu* menu);
    /// The skin group the control follows (0: none, 1 or 2 for the two skin files).
    int skin() const { return skin_; }
    void setSkin(int group);

    /// Z-order among the siblings.
    void bringToFront();
    void sendToBack();
    int zIndex() const;

    /// Bumped by every change of this control's properties or children; the front
    /// end repaints a control only when its revision moved.
    std::uint64_t revision() const { return revision_; }

    std::function<void()> onClick, onDblClick, onMouseEnter, onMouseLeave, onChange, onExit;
    std::function<void(int x, int y)> onMouseMove;
    std::function<void(MouseButton, int x, int y)> onMouseDown, onMouseUp;
    /// The handler may change or clear the key.
    std::function<void(std::string& key)> onKeyPress;

    /// Delivers a user event as the front end would: state the event implies is
    /// applied first (a radio button becomes checked, a page control switches
    /// page), then the handler runs. Disabled or hidden controls take no input.
    /// Returns false when the event does not apply to this kind of control.
    /// Exceptions from the handler propagate to the caller's error boundary.
    virtual bool deliver(Event event, EventArgs& args);
    /// Whether deliver() applies `event` to this kind of control.
    virtual bool takes(Event event) const;

  protected:
    /// Records a change for the front end.
    void changed();

  private:
    void adopt(std::unique_ptr<Control> child);
    void moveInParent(bool toFront);

    Kind kind_;
    std::string name_;
    Control* parent_;
    Form* form_ = nullptr;
    std::vector<std::unique_ptr<Control>> children_;
    Bounds bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    std::string hint_;
    std::string keyHint_;
    Font font_;
    bool hasColour_ = false;
    Colour colour_;
    Cursor cursor_ = Cursor::Default;
    Menu* popupMenu_ = nullptr;
    int skin_ = 0;
    std::uint64_t revision_ = 0;

    friend class Form;
};

/// Where (x, y) inside `control` lies on the screen: through its parents to the
/// form, whose bounds are its place on the screen.
std::pair<int, int> screenPosition(const Control& control, int x, int y);

} // namespace ui
