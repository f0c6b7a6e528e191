#include "qt/FormBinding.h"

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
        this->host().dispatch([&form, size] {
            form.setBounds(form.left(), form.top(), size.width(), size.height());
        });
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
    if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != form_.stayOnTop()) {
        const bool wasVisible = w->isVisible();
        if (form_.stayOnTop())
            w->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
        else
            w->setWindowFlags(Qt::Window);
        if (wasVisible)
            w->show();
    }
    applyFontAndCursor(*widget());
}

void FormBinding::stack(const std::vector<Binding*>& children) {
    Binding::stack(children);
    if (FormWindow* w = window())
        w->relayout();
}

} // namespace qtfront
