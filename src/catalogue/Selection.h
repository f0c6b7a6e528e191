#pragma once
// The item the user last pointed at or selected, and what the next play request
// plays. The thumbnail pages and the text grid choose it; the play request, the
// link resolver and the bookmark commands read it.
//
// Thread: user-interface thread only.

#include <string>

#include "catalogue/SlotTable.h"
#include "ui/Picture.h"

namespace ui {
class StateRegistry;
}

namespace catalogue {

/// The item last pointed at or selected. `picture` refers to the picture object the
/// hovered image control shows, so a later fill of that control changes it.
struct CurrentItem : Item {
    ui::PictureRef picture;
};

class Selection {
  public:
    const CurrentItem& currentItem() const { return current_; }
    /// What the next play request plays.
    const std::string& playLink() const { return playLink_; }
    /// The title the link resolver reads.
    const std::string& selectionTitle() const { return selectionTitle_; }

    /// Makes `item` the current item: its texts and media link, the play link and
    /// the selection title. The picture stays as it is.
    void choose(const Item& item);
    /// Replaces the current item's texts (all but its media link), as a text grid
    /// row chooses them. The link, the play link and the picture stay.
    void setCurrentTexts(const Item& item) { copyTexts(item, current_); }
    /// Replaces the title the link resolver reads.
    void setSelectionTitle(std::string title) { selectionTitle_ = std::move(title); }
    /// Points the current item at the picture its thumbnail shows.
    void setPicture(ui::PictureRef picture) { current_.picture = std::move(picture); }
    /// Replaces what the next play request plays (the link resolver's result).
    void setPlayLink(std::string link) { playLink_ = std::move(link); }

    /// The item last handed to the player (or chosen from a text grid row). Its
    /// media link is the link that was played, not the catalogue's.
    const Item& nowPlaying() const { return nowPlaying_; }
    void setNowPlaying(const Item& item) { nowPlaying_ = item; }
    /// When set, the next bookmark insert takes `nowPlaying` and "temp.jpg"
    /// instead of the current item and its picture.
    bool bookmarkFromNowPlaying() const { return bookmarkFromNowPlaying_; }
    void setBookmarkFromNowPlaying(bool on) { bookmarkFromNowPlaying_ = on; }
    /// The host text that the visit-site command opens.
    const std::string& visitSiteTarget() const { return visitSiteTarget_; }
    void setVisitSiteTarget(std::string host) { visitSiteTarget_ = std::move(host); }

    /// Registers `currentItem`, `playLink`, `selectionTitle`, `nowPlaying`,
    /// `bookmarkFromNowPlaying` and `visitSiteTarget`.
    void registerState(ui::StateRegistry& registry) const;

  private:
    CurrentItem current_;
    std::string playLink_;
    std::string selectionTitle_;
    Item nowPlaying_;
    bool bookmarkFromNowPlaying_ = false;
    std::string visitSiteTarget_;
};

} // namespace catalogue
