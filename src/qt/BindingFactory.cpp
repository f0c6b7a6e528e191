#include "qt/BindingFactory.h"

#include "qt/AnimationBinding.h"
#include "qt/BindingHost.h"
#include "qt/ButtonBinding.h"
#include "qt/CaptionPanelBinding.h"
#include "qt/EditBinding.h"
#include "qt/FormBinding.h"
#include "qt/FormWindow.h"
#include "qt/ImageBinding.h"
#include "qt/LabelBinding.h"
#include "qt/MainMenuBinding.h"
#include "qt/MediaSurfaceBinding.h"
#include "qt/MemoBinding.h"
#include "qt/MenuItemBinding.h"
#include "qt/PageControlBinding.h"
#include "qt/PanelBinding.h"
#include "qt/PopupMenuBinding.h"
#include "qt/ProgressBarBinding.h"
#include "qt/RadioButtonBinding.h"
#include "qt/SideChannelBinding.h"
#include "qt/StringGridBinding.h"
#include "qt/TabSheetBinding.h"
#include "qt/TrackBarBinding.h"
#include "qt/TreeViewBinding.h"
#include "qt/WebViewBinding.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"

namespace qtfront {

namespace {

/// The binding of a kind that shows a widget in its parent's container.
template <class Kind, class Model>
std::unique_ptr<Binding> inContainer(ui::Control& control, BindingHost& host, std::uint64_t serial,
                                     QWidget* parent) {
    return std::make_unique<Kind>(static_cast<Model&>(control), host, serial, parent);
}

} // namespace

std::unique_ptr<Binding> makeBinding(ui::Control& control, BindingHost& host,
                                     std::uint64_t serial) {
    Binding* parentBinding = host.bindingOf(control.parent());
    QWidget* parent = parentBinding ? parentBinding->container() : nullptr;

    switch (control.kind()) {
    case ui::Kind::Form:
        return std::make_unique<FormBinding>(static_cast<ui::Form&>(control), host, serial);
    case ui::Kind::Menu: {
        auto& menu = static_cast<ui::Menu&>(control);
        Binding* formBinding = host.bindingOf(control.form());
        FormWindow* window = formBinding ? formBinding->window() : nullptr;
        if (menu.style() == ui::Menu::Style::Main)
            return std::make_unique<MainMenuBinding>(menu, host, serial, window);
        // A popup menu belongs to its control's place, so it takes that place's skin.
        QWidget* place = parent ? parent : static_cast<QWidget*>(window);
        return std::make_unique<PopupMenuBinding>(menu, host, serial, place);
    }
    case ui::Kind::MenuItem:
        return std::make_unique<MenuItemBinding>(static_cast<ui::MenuItem&>(control), host, serial,
                                                 parentBinding);
    case ui::Kind::Timer:
        return std::make_unique<Binding>(control, host, serial);
    default:
        break;
    }

    if (!parent) // a control outside any window (e.g. under a menu) shows nothing
        return std::make_unique<Binding>(control, host, serial);
    switch (control.kind()) {
    case ui::Kind::Panel:
        return inContainer<PanelBinding, ui::Panel>(control, host, serial, parent);
    case ui::Kind::Label:
        return inContainer<LabelBinding, ui::Label>(control, host, serial, parent);
    case ui::Kind::Image:
        return inContainer<ImageBinding, ui::Image>(control, host, serial, parent);
    case ui::Kind::Button:
        return inContainer<ButtonBinding, ui::Button>(control, host, serial, parent);
    case ui::Kind::Edit:
        return inContainer<EditBinding, ui::Edit>(control, host, serial, parent);
    case ui::Kind::Memo:
        return inContainer<MemoBinding, ui::Memo>(control, host, serial, parent);
    case ui::Kind::RadioButton:
        return inContainer<RadioButtonBinding, ui::RadioButton>(control, host, serial, parent);
    case ui::Kind::TrackBar:
        return inContainer<TrackBarBinding, ui::TrackBar>(control, host, serial, parent);
    case ui::Kind::ProgressBar:
        return inContainer<ProgressBarBinding, ui::ProgressBar>(control, host, serial, parent);
    case ui::Kind::PageControl:
        return inContainer<PageControlBinding, ui::PageControl>(control, host, serial, parent);
    case ui::Kind::TabSheet:
        return inContainer<TabSheetBinding, ui::TabSheet>(control, host, serial, parent);
    case ui::Kind::CaptionPanel:
        return inContainer<CaptionPanelBinding, ui::CaptionPanel>(control, host, serial, parent);
    case ui::Kind::SideChannel:
        return inContainer<SideChannelBinding, ui::SideChannel>(control, host, serial, parent);
    case ui::Kind::StringGrid:
        return inContainer<StringGridBinding, ui::StringGrid>(control, host, serial, parent);
    case ui::Kind::TreeView:
        return inContainer<TreeViewBinding, ui::TreeView>(control, host, serial, parent);
    case ui::Kind::Animation:
        return inContainer<AnimationBinding, ui::Animation>(control, host, serial, parent);
    case ui::Kind::WebView:
        return inContainer<WebViewBinding, ui::WebView>(control, host, serial, parent);
    case ui::Kind::MediaSurface:
        return inContainer<MediaSurfaceBinding, ui::MediaSurface>(control, host, serial, parent);
    default:
        return std::make_unique<Binding>(control, host, serial);
    }
}

} // namespace qtfront
