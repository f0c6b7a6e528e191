#include "qt/InputTranslator.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "qt/Binding.h"
#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "qt/FormWindow.h"
#include "ui/Form.h"
#include "ui/Menu.h"

namespace qtfront {

namespace {

/// Kinds whose widgets have no pointer behaviour of their own: the model's events
/// are all that a press, move or release on them means, and they must not reach the
/// parent as well.
bool ownsPointer(ui::Kind kind) {
    switch (kind) {
    case ui::Kind::Form:
    case ui::Kind::Panel:
    case ui::Kind::Label:
    case ui::Kind::Image:
    case ui::Kind::PageControl:
    case ui::Kind::TabSheet:
    case ui::Kind::CaptionPanel:
    case ui::Kind::SideChannel:
    case ui::Kind::Animation:
    case ui::Kind::MediaSurface:
    case ui::Kind::ProgressBar:
        return true;
    default:
        return false;
    }
}

/// Kinds that click when the left button is released over them. Buttons and radio
/// buttons click through Qt's own click, which also covers the keyboard.
bool clicksOnRelease(ui::Kind kind) {
    switch (kind) {
    case ui::Kind::Button:
    case ui::Kind::RadioButton:
    case ui::Kind::WebView:
    case ui::Kind::Menu:
    case ui::Kind::MenuItem:
    case ui::Kind::Timer:
        return false;
    default:
        return true;
    }
}

} // namespace

InputTranslator::InputTranslator(BindingHost& host) : host_(host) {}

void InputTranslator::watch(QObject* object, ui::Control& control, InputRole role) {
    watched_[object] = Watched{object, &control, role};
    object->installEventFilter(this);
}

void InputTranslator::unwatch(QObject* object) {
    auto it = watched_.find(object);
    if (it == watched_.end())
        return;
    if (it->second.object)
        it->second.object->removeEventFilter(this);
    watched_.erase(it);
}

void InputTranslator::stop() {
    for (auto& [key, watched] : watched_)
        if (watched.object)
            watched.object->removeEventFilter(this);
    watched_.clear();
}

void InputTranslator::activateByPress(ui::Control& control) {
    ui::Form* form = control.form();
    if (!form)
        return;
    Binding* binding = host_.bindingOf(form);
    FormWindow* window = binding ? binding->window() : nullptr;
    if (!window || window->isActiveWindow())
        return;
    host_.deliver(*form, ui::Event::Activate, {});
}

bool InputTranslator::eventFilter(QObject* watched, QEvent* event) {
    auto found = watched_.find(watched);
    if (found == watched_.end() || host_.syncing())
        return QObject::eventFilter(watched, event);
    ui::Control* control = found->second.control;
    const InputRole role = found->second.role;
    Binding* binding = host_.bindingOf(control);
    if (!binding)
        return QObject::eventFilter(watched, event);
    const std::uint64_t serial = binding->serial();
    const ui::Kind kind = control->kind();
    QWidget* widget = binding->widget();
    auto* source = qobject_cast<QWidget*>(watched);
    const bool pointer = role != InputRole::Keys;
    const bool owns = role == InputRole::Whole && ownsPointer(kind);
    auto alive = [&] { return host_.alive(control, serial); };
    // Positions are the control's, also when a viewport inside it saw the event.
    auto local = [&](const QPointF& at) {
        const QPoint p = at.toPoint();
        return source && widget && source != widget && widget->isAncestorOf(source)
                   ? source->mapTo(widget, p)
                   : p;
    };
    auto mouseArgs = [&](QMouseEvent* me) {
        ui::EventArgs args;
        const QPoint p = local(me->position());
        args.button = toMouseButton(me->button());
        args.x = p.x();
        args.y = p.y();
        return args;
    };
    // A left press tells the model first what the press chooses (a tree's node).
    auto leftPress = [&](QMouseEvent* me) {
        if (me->button() != Qt::LeftButton || !alive())
            return;
        if (Binding* b = host_.bindingOf(control))
            b->leftPressAt(watched, me->position().toPoint());
    };

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (!pointer)
            break;
        auto* me = static_cast<QMouseEvent*>(event);
        activateByPress(*control);
        leftPress(me);
        if (alive())
            host_.deliver(*control, ui::Event::MouseDown, mouseArgs(me));
        return owns;
    }
    case QEvent::MouseButtonRelease: {
        if (!pointer)
            break;
        auto* me = static_cast<QMouseEvent*>(event);
        const ui::EventArgs args = mouseArgs(me);
        if (me->button() == Qt::LeftButton && clicksOnRelease(kind) && widget &&
            widget->rect().contains(args.x, args.y))
            host_.deliver(*control, ui::Event::Click, {});
        if (alive())
            host_.deliver(*control, ui::Event::MouseUp, args);
        return owns;
    }
    case QEvent::MouseButtonDblClick: {
        if (!pointer)
            break;
        // Qt's double click stands for the second press: a left one is DblClick and
        // then a press, any other button a press only, as a toolkit reports them.
        auto* me = static_cast<QMouseEvent*>(event);
        activateByPress(*control);
        leftPress(me);
        if (alive() && me->button() == Qt::LeftButton)
            host_.deliver(*control, ui::Event::DblClick, mouseArgs(me));
        if (alive())
            host_.deliver(*control, ui::Event::MouseDown, mouseArgs(me));
        return owns;
    }
    case QEvent::MouseMove: {
        if (!pointer)
            break;
        host_.deliver(*control, ui::Event::MouseMove, mouseArgs(static_cast<QMouseEvent*>(event)));
        return owns;
    }
    case QEvent::Enter:
        if (role != InputRole::Pointer) {
            // A form learns where on the screen the mouse came in.
            ui::EventArgs args;
            if (kind == ui::Kind::Form) {
                const QPoint at = QCursor::pos();
                args.x = at.x();
                args.y = at.y();
            }
            host_.deliver(*control, ui::Event::MouseEnter, args);
        }
        break;
    case QEvent::Leave:
        if (role != InputRole::Pointer)
            host_.deliver(*control, ui::Event::MouseLeave, {});
        break;
    case QEvent::KeyPress: {
        if (role == InputRole::Pointer)
            break;
        auto* ke = static_cast<QKeyEvent*>(event);
        // The model's key presses are characters; Tab moves the focus and is no character.
        if (ke->text().isEmpty() || ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
            break;
        ui::EventArgs args;
        args.key = toStdString(ke->text());
        const std::string typed = args.key;
        args = host_.deliver(*control, ui::Event::KeyPress, args);
        if (!alive())
            return true;
        if (args.key.empty())
            return true; // the handler swallowed the key
        if (args.key != typed) {
            if (Binding* b = host_.bindingOf(control))
                b->replaceTypedKey(args.key);
            return true;
        }
        break;
    }
    case QEvent::WinIdChange:
        binding->nativeWindowChanged();
        break;
    case QEvent::FocusOut: {
        if (role == InputRole::Pointer)
            break;
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Opening a menu or switching to another program leaves the focus where it was.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            host_.deliver(*control, ui::Event::Exit, {});
        break;
    }
    case QEvent::ContextMenu: {
        // The press before it may have opened a menu already (the application's
        // press hook does in some window modes): that menu is the answer.
        if (QApplication::activePopupWidget())
            return true;
        ui::Menu* menu = control->popupMenu();
        if (!menu)
            break; // the parent's menu, or the widget's own, as a toolkit does
        const QPoint at = static_cast<QContextMenuEvent*>(event)->globalPos();
        host_.dispatch([menu, at] { menu->popup(at.x(), at.y()); });
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qtfront
