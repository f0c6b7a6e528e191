#pragma once
// Turns the user's input on the watched Qt objects into the model's events: presses,
// releases, double clicks, moves, the pointer coming and going, typed characters,
// leaving the focus and asking for a context menu. It decides nothing: a click is
// the model's Click, and what follows is the handler's business. Kinds whose
// widgets have their own pointer behaviour keep it; for the others the model's
// events are all a press or a move means.
//
// The front end owns it; bindings watch and unwatch their widgets through the
// front end. Owns the table of watched objects and its event filter on them.
// Thread: user-interface thread only.

#include <QObject>
#include <QPointer>

#include <unordered_map>

#include "qt/InputRole.h"

namespace ui {
class Control;
}

namespace qtfront {

class BindingHost;

class InputTranslator : public QObject {
    Q_OBJECT
  public:
    /// `host` must outlive the translator.
    explicit InputTranslator(BindingHost& host);

    /// Turns `object`'s input into `control`'s events, in `role`, until unwatch.
    void watch(QObject* object, ui::Control& control, InputRole role);
    void unwatch(QObject* object);
    /// Unwatches everything: no input reaches the model any more.
    void stop();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Watched {
        QPointer<QObject> object;
        ui::Control* control;
        InputRole role;
    };
    /// A press in a window that is not the active one activates it first.
    void activateByPress(ui::Control& control);

    BindingHost& host_;
    std::unordered_map<const QObject*, Watched> watched_;
};

} // namespace qtfront
