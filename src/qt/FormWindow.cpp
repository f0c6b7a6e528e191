#include "qt/FormWindow.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>

namespace qtfront {

FormWindow::FormWindow() : client_(new QFrame(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void FormWindow::setMenuBar(QMenuBar* bar) {
    bar_ = bar;
    if (bar_)
        bar_->setParent(this);
    relayout();
}

int FormWindow::barHeight() const {
    return bar_ && !barSuppressed_ && !bar_->isHidden() ? bar_->sizeHint().height() : 0;
}

void FormWindow::setMenuBarSuppressed(bool suppressed) {
    if (barSuppressed_ == suppressed)
        return;
    barSuppressed_ = suppressed;
    if (bar_)
        bar_->setVisible(!suppressed);
    relayout();
}

void FormWindow::setClientSize(QSize size) {
    clientSize_ = size;
    const QSize total(size.width(), size.height() + barHeight());
    if (this->size() != total)
        resize(total);
    else
        relayout();
}

void FormWindow::relayout() {
    const int bar = barHeight();
    if (bar_ && bar > 0) {
        bar_->setGeometry(0, 0, width(), bar);
        bar_->raise();
    }
    client_->setGeometry(0, bar, width(), height() - bar);
    // The menu bar adds to the window: when it comes or goes the client keeps its size.
    const QSize total(clientSize_.width(), clientSize_.height() + bar);
    if (clientSize_.isValid() && size() != total)
        resize(total);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The model closes the form (and may end the program); the window follows it.
    event->ignore();
    emit closeRequested();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A size the user (or the window manager) gave the window is the form's new size.
    bool byUser = false;
    if (event->spontaneous() && isVisible()) {
        const QSize client(width(), height() - barHeight());
        byUser = client != clientSize_;
        clientSize_ = client;
    }
    relayout();
    if (byUser)
        emit resizedByUser(clientSize_);
}

void FormWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (event->spontaneous() && isVisible())
        emit movedByUser(pos());
}

} // namespace qtfront
