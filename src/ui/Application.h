#pragma once
// The process-wide frame of the user interface: the event loop, the dialogs, the
// forms and the principal form whose closing ends the program.
//
// Thread: user-interface thread, except where a member says otherwise.

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/EventLoop.h"
#include "ui/Hook.h"
#include "ui/StateRegistry.h"

namespace ui {

class Control;
class Form;
struct EventArgs;
enum class Event;

class Application {
  public:
    explicit Application(EventLoop::ClockKind clock);

    EventLoop& loop() { return loop_; }
    Dialogs& dialogs() { return dialogs_; }
    StateRegistry& state() { return state_; }

    /// True while no background worker has a command pending; subsystems with a
    /// worker install their probe (automation: `wait-idle`). Any thread.
    std::function<bool()> idleProbe;

    const std::string& title() const { return title_; }
    void setTitle(std::string title);

    /// Forms in creation order. Forms register themselves and are owned elsewhere.
    const std::vector<Form*>& forms() const { return forms_; }
    Form* findForm(std::string_view name) const;
    /// The control so named on any form, searching forms in creation order;
    /// "form.control" looks in that form only (for names that several forms use).
    Control* findControl(std::string_view name) const;

    /// The form whose closing ends the program.
    void setPrincipal(Form* form) { principal_ = form; }
    Form* principal() const { return principal_; }
    /// Ends the program: the driver leaves its loop once the current event is done.
    void terminate();
    bool terminated() const { return terminated_; }
    /// Any thread: the program is asked to end (an automation `quit` arrived) and
    /// will, once the running handler lets it. From now on a front end answers every
    /// dialog as a cancel would: it closes the one that holds the loop, so that its
    /// handler returns and the request ending the program gets its turn, and answers
    /// those that follow without showing them. The model's own dialogs (no front
    /// end) never hold the loop and are not changed.
    void requestQuit() noexcept { quitRequested_ = true; }
    bool quitRequested() const noexcept { return quitRequested_; }
    std::function<void()> onTerminate;

    /// Told while a control of one of the forms is destroyed, its children before
    /// it and a form after all of its controls, so a front end can drop what it
    /// shows for it. The control is partly destroyed: listeners use only its address.
    /// Subscribe on the user-interface thread.
    Hook<Control&> controlRemoved;

    /// How the program waits for a slow outside call (a catalogue server that does
    /// not answer): the front end's hook keeps the windows painting, shows the busy
    /// pointer and offers a cancel, and returns false when the user cancelled.
    /// The wait runs inside the running turn, so no other handler, timer or posted
    /// work runs meanwhile (the drivers hold them back until the turn ends).
    /// Without a hook there is nothing to keep going, and callers run their call
    /// directly.
    std::function<bool(const std::function<bool()>& finished)> waitHook;
    bool waitWhile(const std::function<bool()>& finished);
    bool waiting() const { return waiting_; }

    /// The entry for every user event a front end delivers: at the top level of the
    /// loop, runs `fn` as one turn (inside the error boundary, then the work it
    /// posted). Inside a turn (an automation request, or a front end reporting
    /// something while a handler's modal dialog is open) `fn` runs at once inside the
    /// error boundary and the work it posts joins the running turn.
    void dispatch(const std::function<void()>& fn);

    /// Sees every mouse press (MouseDown, and DblClick with its button) before the
    /// control does, like an application-wide message hook; returning true takes
    /// the press, and the control gets nothing.
    std::function<bool(Control& target, Event event, const EventArgs& args)> mousePressHook;
    /// Delivers a user event as the front ends and the automation channel do: mouse
    /// presses pass the hook, then Control::deliver. Returns false when the event
    /// does not apply to the control's kind. Call inside dispatch().
    bool deliver(Control& control, Event event, EventArgs& args);

    std::uint64_t nextRevision() { return ++revision_; }

    // Used by Form.
    void addForm(Form* form);
    void removeForm(Form* form);

  private:
    EventLoop loop_;
    Dialogs dialogs_;
    StateRegistry state_;
    std::string title_;
    std::vector<Form*> forms_;
    Form* principal_ = nullptr;
    bool terminated_ = false;
    std::atomic<bool> quitRequested_{false};
    bool waiting_ = false;
    std::uint64_t revision_ = 0;
};

} // namespace ui
