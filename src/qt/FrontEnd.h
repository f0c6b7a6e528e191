#pragma once
// The Qt front end: one binding per control of the model, which keeps the control's
// widget in step with it, and the user's input turned into the model's events. It
// decides nothing: every behaviour stays in the handlers of the control model.
//
// FrontEnd walks the model and keeps the bindings (BindingFactory makes them, one
// kind each); InputTranslator turns input into events. run() (Run.h) drives the
// front end in the windowed program, and tests drive it directly.

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "qt/BindingHost.h"
#include "qt/Skins.h"
#include "ui/Control.h"
#include "ui/Subscription.h"

class QAction;
class QMenu;
class QWidget;

namespace ui {
class Application;
class Form;
class MenuItem;
} // namespace ui

namespace qtfront {

class Binding;
class FormWindow;
class InputTranslator;

class FrontEnd : public QObject, private BindingHost {
    Q_OBJECT
  public:
    /// Binds `app`, which must outlive the front end; widgets are made by the first
    /// sync(). Needs a QApplication. Listens for controls the model removes; the
    /// destructor stops listening and deletes every widget it made. Thread:
    /// user-interface thread, as every member.
    FrontEnd(ui::Application& app, Skins skins);
    ~FrontEnd() override;

    /// Makes widgets for controls and forms new since the last sync and brings those
    /// whose revision moved in step with the model. Shows and hides the forms' windows.
    void sync() override;
    /// Runs `fn` inside the application's error boundary with the work it posts,
    /// then syncs.
    void dispatch(const std::function<void()>& fn) override;
    /// Delivers a user event to `control` as the user's input does, then syncs.
    /// Returns the arguments as the handler left them (a key it changed or cleared).
    ui::EventArgs deliver(ui::Control& control, ui::Event event, ui::EventArgs args = {}) override;

    /// The widget showing `control` (the client area for a form), or nullptr.
    QWidget* widgetOf(const ui::Control& control) const;
    /// The top-level window of `form`, or nullptr before the first sync.
    FormWindow* windowOf(const ui::Form& form) const;
    QAction* actionOf(const ui::MenuItem& item) const;
    /// The menu a popup menu or a menu item with sub-items shows, or nullptr.
    QMenu* menuOf(const ui::Control& control) const;

    /// The controls the last sync brought in step, in the order it did.
    const std::vector<const ui::Control*>& lastUpdated() const { return updated_; }

  signals:
    /// The application was terminated; the driver leaves its loop.
    void terminated();

  private:
    // BindingHost, for the bindings and the input translator.
    ui::Application& application() const override { return app_; }
    bool syncing() const override { return syncing_; }
    Binding* bindingOf(const ui::Control* control) const override;
    bool alive(const ui::Control* control, std::uint64_t serial) const override;
    void dispatchInput(ui::Control& control, const std::function<void()>& fn) override;
    void watch(QObject* object, ui::Control& control, InputRole role) override;
    void unwatch(QObject* object) override;

    void syncControl(ui::Control& control);
    void build(ui::Control& control);
    void bringInStep(Binding& binding);
    void restack(Binding& binding);
    void forget(ui::Control& control);

    ui::Application& app_;
    Skins skins_;
    std::unique_ptr<InputTranslator> input_;
    std::unordered_map<const ui::Control*, std::unique_ptr<Binding>> bindings_;
    std::vector<const ui::Control*> updated_;
    /// Every window made, also of forms gone whose windows wait for deletion.
    std::vector<QPointer<QWidget>> windows_;
    ui::Subscription controlRemoved_;
    std::uint64_t serials_ = 0;
    bool syncing_ = false;
    bool terminatedSignalled_ = false;
};

} // namespace qtfront
