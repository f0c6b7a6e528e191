#pragma once
// What the front end keeps for one control: the Qt objects that show it, brought in
// step with the control when its revision moves. This base places the widget and
// applies what every control has (bounds, visibility, enabled, hint, font, cursor,
// the style sheet). A subclass per control kind makes the kind's widget in its
// constructor, applies what the kind adds and turns the widget's own signals into
// the model's input. A control that shows nothing (a timer, a control outside any
// window) gets this base alone.
//
// The front end makes bindings (makeBinding), calls apply() and restack() while it
// syncs, and drops a binding when its control goes; the input translator calls the
// input hooks; the look-ups (widget(), window(), ...) are for anyone.
//
// Owns the Qt objects it made. When the binding goes they are retired: unwatched,
// silenced, hidden, and deleted once Qt is back in its loop, since one of them may be
// handling the very event whose handler removed the control. The control and the
// host must outlive the binding (the front end drops it while the control is being
// destroyed). Thread: user-interface thread only, as every member.

#include <QPointer>

#include <cstdint>
#include <string>
#include <vector>

#include "qt/InputRole.h"

class QAction;
class QMenu;
class QObject;
class QPoint;
class QRect;
class QWidget;

namespace ui {
class Control;
}

namespace qtfront {

class BindingHost;
class FormWindow;
class Skins;

class Binding {
  public:
    /// Binds `control`; `serial` tells this binding from a later one for a control at
    /// the same address. Makes no Qt object.
    Binding(ui::Control& control, BindingHost& host, std::uint64_t serial);
    virtual ~Binding();
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;

    ui::Control& control() const { return control_; }
    std::uint64_t serial() const { return serial_; }
    /// The widget showing the control (a form's client area), or nullptr.
    QWidget* widget() const;
    /// Where the children's widgets go, or nullptr.
    QWidget* container() const;
    /// Where a child menu item puts its action (a menu, a menu bar, a parent item's
    /// sub-menu, which the first call makes), or nullptr.
    virtual QWidget* itemHost() { return nullptr; }
    /// A form's window; nullptr for every other kind.
    virtual FormWindow* window() const { return nullptr; }
    /// A menu item's action; nullptr for every other kind.
    virtual QAction* action() const { return nullptr; }
    /// The menu a popup menu or a menu item with sub-items shows, or nullptr.
    virtual QMenu* menu() const { return nullptr; }

    /// True when the control changed since the last apply(), or markStale() asked
    /// for another.
    bool stale() const;
    void markStale() { stale_ = true; }
    /// Brings the Qt objects in step with the control. Returns true when the
    /// control's skin group changed since an earlier apply, so what its children
    /// inherit changed too.
    bool apply(const Skins& skins);
    /// Stacks the children's widgets, or lists the children's menu items, in the
    /// order of `children` (the model's, back to front), when that order changed
    /// since the last call.
    void restack(const std::vector<Binding*>& children);

    // Input the translator hands to the kinds it concerns.

    /// A left press at `at` in `source` (the widget or a viewport in it) is about to
    /// reach the model. A tree view tells the model the node there first.
    virtual void leftPressAt(QObject* source, const QPoint& at);
    /// The key press handler replaced the typed key by `key`: an edit takes the
    /// replacement in the typed key's place.
    virtual void replaceTypedKey(const std::string& key);
    /// Qt made the widget's native window again.
    virtual void nativeWindowChanged() {}
    /// Runs at the end of every sync, when every control's widget is in step: for a
    /// kind whose widget follows other controls too (a native window that must not
    /// show through the controls in front of it).
    virtual void afterSync() {}

  protected:
    /// Tells a slot or a hook's listener whether its binding still stands: a child
    /// object's signal may come after the binding went, and a handler the slot ran
    /// may have removed the control. Copy it into the slot; test it before using the
    /// binding.
    class Guard {
      public:
        bool alive() const;
        /// Alive, and the front end is not bringing widgets in step: what the
        /// widget reports is the user's.
        bool takesInput() const;

      private:
        friend class Binding;
        Guard(const BindingHost* host, const ui::Control* control, std::uint64_t serial)
            : host_(host), control_(control), serial_(serial) {}
        const BindingHost* host_;
        const ui::Control* control_;
        std::uint64_t serial_;
    };
    Guard guard() const { return Guard(&host_, &control_, serial_); }

    BindingHost& host() const { return host_; }

    /// Makes `w` the control's widget: named for its style rule, marked with the
    /// control's kind for the skins' selectors, tracking the mouse, watched in
    /// `role`, and retired with the binding. It is also the container unless
    /// setContainer named another.
    void adopt(QWidget* w, InputRole role);
    void setContainer(QWidget* w);
    /// Where the style sheet goes when not on the widget (a form's window, a menu).
    void setSkinHost(QWidget* w);
    /// Watches another object whose input is the control's (a viewport, a tab bar).
    void watch(QObject* object, InputRole role);
    /// Retires `object` with the binding.
    void own(QObject* object);
    void applyFontAndCursor(QWidget& w) const;
    /// Lists the children's actions on `host` in the children's order.
    static void listItems(QWidget& host, const std::vector<Binding*>& children);

    /// Applies what every control has; forms and menu items apply theirs instead.
    virtual void applyCommon();
    /// Whether applyCommon shows the widget: the control's own visibility, unless
    /// the kind shows it on more conditions.
    virtual bool shownInWindow() const;
    /// Puts the widget at `area` of its parent; kinds placed otherwise override.
    virtual void place(const QRect& area);
    /// Applies what the kind adds.
    virtual void applyKind() {}
    /// Stacks the children's widgets back to front; menus list their items instead.
    virtual void stack(const std::vector<Binding*>& children);

  private:
    void applyStyle(const Skins& skins);

    ui::Control& control_;
    BindingHost& host_;
    const std::uint64_t serial_;
    QPointer<QWidget> widget_;
    QPointer<QWidget> container_;
    QPointer<QWidget> skinHost_;
    std::vector<QPointer<QObject>> watched_;
    std::vector<QPointer<QObject>> owned_;
    std::vector<const ui::Control*> order_;
    std::uint64_t revision_ = 0;
    int skin_ = -1;
    bool stale_ = true;
};

} // namespace qtfront
