#include "qt/FormBinding.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include <algorithm>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "qt/FormWindow.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace qtfront {

FormBinding::FormBinding(ui::Form& form, BindingHost& host, std::uint64_t serial)
    : Binding(form, host, serial), form_(form) {
    auto* window = new FormWindow;
    window->setObjectName(toObjectName(form) + QStringLiteral("Window"));
    window_ = window;
    own(window);
    setSkinHost(window);
    adopt(window->client(), InputRole::Whole);

    systemMove_ = form.systemMoveRequested.subscribe([this] {
        // The window manager drags the window while the pressed button is held.
        if (FormWindow* w = this->window(); w && w->windowHandle())
            w->windowHandle()->startSystemMove();
    });
    systemResize_ = form.systemResizeRequested.subscribe([this](ui::Form::Corner corner) {
        // The window manager resizes the window from the grip's corner while the
        // button is held.
        if (FormWindow* w = this->window(); w && w->windowHandle())
            w->windowHandle()->startSystemResize(corner == ui::Form::Corner::BottomRight
                                                     ? Qt::BottomEdge | Qt::RightEdge
                                                     : Qt::BottomEdge | Qt::LeftEdge);
    });
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        form.setScreen({r.x(), r.y(), r.width(), r.height()});
    }
    // The form's window keys reach its KeyPress wherever the focus is; a text field
    // keeps the printable ones it types.
    for (const std::string& key : form.windowKeys) {
        QKeySequence sequence;
        if (key == " ")
            sequence = QKeySequence(Qt::Key_Space);
        else if (key == "\x1b")
            sequence = QKeySequence(Qt::Key_Escape);
        else if (key.size() == 1 && key[0] > 0 && key[0] < 27)
            sequence = QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + key[0] - 1));
        else
            sequence = QKeySequence(QString::fromStdString(key).toUpper());
        auto* shortcut = new QShortcut(sequence, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, [this, key, g = guard()] {
            if (!g.alive())
                return;
            ui::EventArgs args;
            args.key = key;
            this->host().deliver(form_, ui::Event::KeyPress, args);
        });
    }
    QObject::connect(window, &FormWindow::closeRequested, window, [this, g = guard()] {
        if (g.alive())
            this->host().deliver(form_, ui::Event::Close, {});
    });
    // Where the user puts the window is where the model's form is.
    QObject::connect(window, &FormWindow::movedByUser, window, [this, g = guard()](QPoint at) {
        if (!g.alive())
            return;
        ui::Form& form = form_;
        this->host().dispatch(
            [&form, at] { form.setBounds(at.x(), at.y(), form.width(), form.height()); });
    });
    QObject::connect(window, &FormWindow::resizedByUser, window, [this, g = guard()](QSize size) {
        if (!g.alive())
            return;
        ui::Form& form = form_;
        // As a drag of the border: the form's resize handler lays the window out.
        this->host().dispatch([&form, size] { form.resize(size.width(), size.height()); });
    });
}

FormWindow* FormBinding::window() const {
    return static_cast<FormWindow*>(window_.data());
}

void FormBinding::applyCommon() {
    FormWindow* w = window();
    if (!w)
        return;
    const std::string& caption = form_.caption();
    const QString title = toQString(caption.empty() ? host().application().title() : caption);
    if (w->windowTitle() != title)
        w->setWindowTitle(title);
    const ui::Bounds& b = form_.bounds();
    if (b.left != shownBounds_.left || b.top != shownBounds_.top)
        w->move(b.left, b.top);
    if (b.width != shownBounds_.width || b.height != shownBounds_.height)
        w->setClientSize(QSize(std::max(b.width, 1), std::max(b.height, 1)));
    shownBounds_ = b;
    w->setEnabled(form_.enabled());
    // A stay-on-top form is a small dialog: above the other windows, with a close
    // button only. Changing the flags hides the window, so it is shown again.
    // A frameless form (the floating video, full screen) has neither frame nor menu
    // bar and stays above the other windows.
    const bool frameless = form_.frameless();
    if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != form_.stayOnTop() ||
        w->windowFlags().testFlag(Qt::FramelessWindowHint) != frameless) {
        const bool wasVisible = w->isVisible();
        if (frameless)
            w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint |
                              (form_.stayOnTop() ? Qt::WindowStaysOnTopHint : Qt::Widget));
        else if (form_.stayOnTop())
            w->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
        else
            w->setWindowFlags(Qt::Window);
        w->move(b.left, b.top);
        if (wasVisible)
            w->show();
    }
    w->setMenuBarSuppressed(frameless);
    applyFontAndCursor(*widget());
    if (form_.pointerHidden())
        widget()->setCursor(Qt::BlankCursor);
}

void FormBinding::stack(const std::vector<Binding*>& children) {
    Binding::stack(children);
    if (FormWindow* w = window())
        w->relayout();
}

} // namespace qtfront
