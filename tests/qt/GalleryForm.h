#pragma once
// A form holding one control of every kind, laid out like a small version of the
// program's main window, with handlers that record what reached them.

#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"

namespace qttest {

/// A dusk scene over the sea: warm sky above, blue water below.
ui::Picture duskPicture(int width, int height);

class GalleryForm : public ui::Form {
  public:
    explicit GalleryForm(ui::Application& app);

    ui::Panel& header;
    ui::Panel& videoArea;
    ui::MediaSurface& surface;
    ui::Button& play;
    ui::Button& stop;
    ui::TrackBar& position;
    ui::ProgressBar& buffer;
    ui::Label& timeLabel;
    ui::Animation& busy;
    ui::Panel& infoArea;
    ui::Image& picture;
    ui::Label& title;
    ui::Label& description;
    ui::Edit& search;
    ui::Button& go;
    ui::RadioButton& popular;
    ui::RadioButton& recent;
    ui::Memo& log;
    ui::PageControl& pages;
    ui::TabSheet& resultsSheet;
    ui::StringGrid& results;
    ui::TabSheet& webSheet;
    ui::WebView& browser;
    ui::Panel& rightColumn;
    ui::Panel& categories;
    ui::TreeView& tree;
    ui::CaptionPanel& nowPlaying;
    ui::Label& nowText;
    ui::SideChannel& side;
    ui::PageControl& sidePages;
    ui::Menu& mainMenu;
    ui::MenuItem& aboutItem;
    ui::MenuItem& fullScreenItem;
    ui::MenuItem& toolsItem;
    ui::Menu& thumbMenu;
    ui::MenuItem& playItem;
    ui::Timer& tick;

    /// What reached the handlers, in order ("go:Click", "search:KeyPress:a", ...).
    std::vector<std::string> events;
};

} // namespace qttest
