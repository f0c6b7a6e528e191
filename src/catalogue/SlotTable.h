#pragma once
// What a thumbnail page holds for each of its slots, and the item the user points
// at. Hover, click, bookmark and play actions read these, never a result set.
//
// Thread: user-interface thread only.

#include <array>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace catalogue {

/// The thumbnail pages, numbered as the selection routine knows them.
enum class PageKind {
    pkFeature = 1,
    pkSpecial = 2,
    pkWorld = 3,
    pkNews = 4,
    pkBookmarks = 5,
    pkTextGrid = 6
};

/// The text fields of one catalogue item.
struct Item {
    std::string mediaLink;
    std::string title;
    std::string description;
    std::string siteUrl;
    std::string mediaType;
    std::string recnum;
    std::string feedTitle;
};

/// Seven parallel texts per slot, slots 1..16. A fill writes slots 1..k for its k
/// rows and leaves the others as an earlier fill left them.
class SlotTable {
  public:
    static constexpr int kCapacity = 16;

    static bool valid(int slot) { return slot >= 1 && slot <= kCapacity; }
    /// Throws std::out_of_range for a slot outside 1..16.
    Item& at(int slot);
    const Item& at(int slot) const;

  private:
    std::array<Item, kCapacity + 1> slots_{}; // index 0 unused
};

/// Copies every text of `from` except the media link into `to`.
void copyTexts(const Item& from, Item& to);

/// An item's texts as a JSON object, and a slot table's slots 1..16 as an array,
/// for the automation channel's state variables.
nlohmann::json itemJson(const Item& item);
nlohmann::json slotsJson(const SlotTable& table);

} // namespace catalogue
