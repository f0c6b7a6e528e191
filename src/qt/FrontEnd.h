#pragma once
// The Qt front end: one widget per control of the model, kept in step with it, and
// the user's input turned into the model's events. It decides nothing: every
// behaviour stays in the handlers of the control model.
//
// FrontEnd is the binding; run() (Run.h, included here for the program's entry)
// drives it in the windowed program, and tests drive it directly.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "qt/FormWindow.h"
#include "qt/Run.h"
#include "qt/Skins.h"
#include "ui/Control.h"
#include "ui/Subscription.h"
#include "ui/TreeView.h"

class QTreeWidgetItem;

namespace ui {
class Application;
class Form;
class Menu;
class MenuItem;
} // namespace ui

namespace qtfront {

class FrontEnd : public QObject {
    Q_OBJECT
  public:
    /// Binds `app`, which must outlive the front end; widgets are made by the first
    /// sync(). Needs a QApplication. Installs the model's control-removal hook, shows
    /// popup menus and starts window drags on the model's request; the destructor
    /// removes those hooks and deletes every widget it made. Thread: user-interface
    /// thread, as every member.
    FrontEnd(ui::Application& app, Skins skins);
    ~FrontEnd() override;
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    /// Makes widgets for controls and forms new since the last sync and brings those
    /// whose revision moved in step with the model. Shows and hides the forms' windows.
    void sync();
    /// Runs `fn` inside the application's error boundary with the work it posts,
    /// then syncs.
    void dispatch(const std::function<void()>& fn);
    /// Delivers a user event to `control` as the user's input does, then syncs.
    /// Returns the arguments as the handler left them (a key it changed or cleared).
    ui::EventArgs deliver(ui::Control& control, ui::Event event, ui::EventArgs args = {});

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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// What the front end keeps for one control.
    struct Entry {
        ui::Control* control = nullptr;
        /// Tells this control from a later one at the same address.
        std::uint64_t serial = 0;
        /// The model revision last brought in step; `dirty` forces the next sync.
        std::uint64_t revision = 0;
        bool dirty = true;
        QPointer<QWidget> widget;               ///< placed and shown; the client area for a form
        QPointer<QWidget> container;            ///< where the children's widgets go
        QPointer<QWidget> skinHost;             ///< where the style sheet goes, when not `widget`
        QPointer<FormWindow> window;            ///< forms
        QPointer<QAction> action;               ///< menu items
        QPointer<QMenu> menu;                   ///< popup menus and items with sub-items
        QPointer<QMenuBar> menuBar;             ///< main menus
        std::vector<const ui::Control*> order;  ///< children as last stacked
        std::vector<QPointer<QObject>> watched; ///< objects whose input is the control's
        int skin = -1;
        ui::Bounds formBounds{-1, -1, -1, -1};
        int webLoads = -1;
        int webFocus = -1;
        bool webLoading = false;
        std::vector<ui::TreeNode> treeNodes;
        std::vector<QTreeWidgetItem*> treeItems;
        std::size_t memoLines = 0;
        ui::Subscription popupRequest;      ///< popup menus
        ui::Subscription systemMoveRequest; ///< forms
    };
    enum class InputRole { Whole, Keys, Pointer };

    void syncControl(ui::Control& control);
    void build(ui::Control& control);
    void makeWidget(ui::Control& control, Entry& entry);
    void apply(ui::Control& control, Entry& entry);
    void applyCommon(ui::Control& control, Entry& entry);
    void applyKind(ui::Control& control, Entry& entry);
    void applyStyle(ui::Control& control, Entry& entry);
    void applyForm(ui::Form& form, Entry& entry);
    void applyMenuItem(ui::MenuItem& item, Entry& entry);
    void restack(ui::Control& control, Entry& entry);
    void refreshTabs(ui::Control& pageControl);
    void forget(ui::Control& control);
    void watch(QObject* object, ui::Control& control, InputRole role);
    void markDirty(const ui::Control* control, std::uint64_t serial);
    bool alive(const ui::Control* control, std::uint64_t serial) const;
    void showPopup(ui::Menu& menu, int x, int y);
    /// A press in a window that is not the active one activates it first.
    void activateByPress(ui::Control& control);
    void selectTreeNodeAt(ui::Control& tree, QWidget* viewport, QPoint pos);
    int effectiveSkin(const ui::Control* control) const;
    QWidget* containerOf(const ui::Control* control) const;
    QWidget* parentWindowOf(const ui::Control& control) const;

    ui::Application& app_;
    Skins skins_;
    std::unordered_map<const ui::Control*, Entry> entries_;
    struct Watched {
        ui::Control* control;
        InputRole role;
    };
    std::unordered_map<const QObject*, Watched> watched_;
    std::vector<const ui::Control*> updated_;
    std::vector<QPointer<FormWindow>> windows_;
    std::uint64_t serials_ = 0;
    ui::Subscription controlRemoved_;
    bool syncing_ = false;
    bool terminatedSignalled_ = false;
};

} // namespace qtfront
