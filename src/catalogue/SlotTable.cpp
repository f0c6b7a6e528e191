#include "catalogue/SlotTable.h"

#include <stdexcept>

#include <nlohmann/json.hpp>

namespace catalogue {

Item& SlotTable::at(int slot) {
    if (!valid(slot))
        throw std::out_of_range("slot " + std::to_string(slot) + " is outside 1.." +
                                std::to_string(kCapacity));
    return slots_[static_cast<std::size_t>(slot)];
}

const Item& SlotTable::at(int slot) const {
    return const_cast<SlotTable*>(this)->at(slot);
}

void copyTexts(const Item& from, Item& to) {
    to.title = from.title;
    to.description = from.description;
    to.siteUrl = from.siteUrl;
    to.mediaType = from.mediaType;
    to.recnum = from.recnum;
    to.feedTitle = from.feedTitle;
}

nlohmann::json itemJson(const Item& i) {
    return {{"title", i.title},         {"description", i.description}, {"siteUrl", i.siteUrl},
            {"feedTitle", i.feedTitle}, {"recnum", i.recnum},           {"mediaType", i.mediaType},
            {"mediaLink", i.mediaLink}};
}

nlohmann::json slotsJson(const SlotTable& t) {
    auto out = nlohmann::json::array();
    for (int n = 1; n <= SlotTable::kCapacity; ++n)
        out.push_back(itemJson(t.at(n)));
    return out;
}

} // namespace catalogue
