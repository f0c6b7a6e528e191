#pragma once
// The top-level window of a form: an optional menu bar across the top and the client
// area below it, where the form's controls are placed. The client area has the
// form's designed size; the menu bar adds to the window's height, as a main menu
// does outside a window's client area.
//
// Closing the window only asks (closeRequested): the model decides whether the form
// hides. Moves and resizes the user makes are reported so the model's bounds stay true.
//
// Owns the client area; the menu bar, once set, is a child too. Thread:
// user-interface thread only.

#include <QFrame>
#include <QMenuBar>
#include <QPointer>
#include <QSize>
#include <QWidget>

namespace qtfront {

class FormWindow : public QWidget {
    Q_OBJECT
  public:
    FormWindow();

    QFrame* client() const { return client_; }
    /// Takes `bar` as the window's menu bar; nullptr removes it from the layout.
    void setMenuBar(QMenuBar* bar);
    QMenuBar* menuBar() const { return bar_; }
    /// Resizes the window so the client area gets `size`.
    void setClientSize(QSize size);
    /// Lays out the menu bar and the client again, e.g. after the bar shows or hides.
    void relayout();
    /// A frameless window (the floating video, full screen) shows no menu bar.
    void setMenuBarSuppressed(bool suppressed);

  signals:
    void closeRequested();
    /// The user moved the window to `frameTopLeft`.
    void movedByUser(QPoint frameTopLeft);
    /// The user resized the window; `clientSize` is the new client area.
    void resizedByUser(QSize clientSize);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    int barHeight() const;

    QFrame* client_;
    QPointer<QMenuBar> bar_;
    QSize clientSize_;
    bool barSuppressed_ = false;
};

} // namespace qtfront
