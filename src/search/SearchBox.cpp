#include "search/SearchBox.h"

#include <random>

#include "browse/FeaturePages.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

namespace search {

namespace {

constexpr int kTypingHeight = 21; ///< pixels
constexpr int kHelpPoints = 9;

} // namespace

SearchBox::SearchBox(ui::Form& form, browse::FeaturePages& pages, Exclusions exclusions,
                     std::function<const ImageSearchPieces&()> imagePieces,
                     std::string exampleDomain)
    : form_(form), pages_(pages), exclusions_(std::move(exclusions)),
      imagePieces_(std::move(imagePieces)), exampleDomain_(std::move(exampleDomain)),
      box_(form.get<ui::Edit>("sqlsearchedit")),
      mostRecent_(form.get<ui::RadioButton>("mostrecentchecked")),
      featureSheet_(form.get<ui::TabSheet>("suiTabSheet8")) {
    draw_ = [engine = std::mt19937(std::random_device{}())]() mutable {
        return std::uniform_int_distribution<int>(0, 99)(engine);
    };
    bindHandlers();
}

void SearchBox::bindHandlers() {
    box_.onClick = [this] { enterTyping(); };
    box_.onExit = [this] { leaveBox(); };
    box_.onKeyPress = [this](std::string& key) {
        // Enter searches; the key itself goes on to the box.
        if (key == "\r")
            imageSearch();
    };
    form_.get<ui::Button>("suiImageButton3").onClick = [this] { imageSearch(); };
    form_.get<ui::RadioButton>("mostpopularchecked").onClick = [this] {
        pages_.setImageSearchPopular(true);
    };
    mostRecent_.onClick = [this] { pages_.setImageSearchPopular(false); };
    form_.get<ui::MenuItem>("NewSearch1").onClick = [this] { visualSearch(); };
    form_.get<ui::MenuItem>("estImageLibarybothmethod1").onClick = [this] {
        librarySearchByRadioButtons();
    };
    form_.get<ui::MenuItem>("SearchImageLibrary1").onClick = [this] { librarySearch(true); };
    form_.get<ui::MenuItem>("MostRecentByImageLibary1").onClick = [this] { librarySearch(false); };
}

std::string SearchBox::helpText(int drawn) const {
    if (drawn < 33)
        return "Use cat: to search in Categories eg. cat:news";
    if (drawn < 66)
        return "Double click on the side predefined categories to view results";
    return "Use site: to search Hosts eg. cat:" + exampleDomain_;
}

bool SearchBox::mostRecent() const {
    return mostRecent_.checked();
}

bool SearchBox::showsHelp() const {
    return box_.font().colour == ui::colours::silver;
}

void SearchBox::enterTyping() {
    if (box_.font().colour == ui::colours::black)
        return;
    box_.setText("");
    ui::Font f = box_.font();
    f.colour = ui::colours::black;
    f.height = kTypingHeight;
    box_.setFont(f);
}

void SearchBox::leaveBox() {
    if (!box_.text().empty())
        return;
    box_.setText(helpText(draw_()));
    ui::Font f = box_.font();
    f.colour = ui::colours::silver;
    f.setPoints(kHelpPoints);
    box_.setFont(f);
}

void SearchBox::imageSearch() {
    // The caption changes first, so a help text can name the tab.
    featureSheet_.setCaption(box_.text());
    if (showsHelp() || box_.text().empty())
        return;
    pages_.showSearchResults(ImageSearchBase(box_.text(), mostRecent(), imagePieces_()));
}

void SearchBox::visualSearch() {
    pages_.showSearchResults(VisualSearchBase(box_.text(), mostRecent(), exclusions_));
}

void SearchBox::librarySearchByRadioButtons() {
    pages_.startLibrarySearch(!mostRecent(), true);
}

void SearchBox::librarySearch(bool popular) {
    pages_.startLibrarySearch(popular, false);
}

} // namespace search
