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
    /// Points the current item at the picture its thumbnail shows.
    void setPicture(ui::PictureRef picture) { current_.picture = std::move(picture); }
    /// Replaces what the next play request plays (the link resolver's result).
    void setPlayLink(std::string link) { playLink_ = std::move(link); }

    /// Registers `currentItem`, `playLink` and `selectionTitle`.
    void registerState(ui::StateRegistry& registry) const;

  private:
    CurrentItem current_;
    std::string playLink_;
    std::string selectionTitle_;
};

} // namespace catalogue
