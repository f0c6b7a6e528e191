#include "catalogue/Selection.h"

#include <nlohmann/json.hpp>

#include "ui/StateRegistry.h"

namespace catalogue {

void Selection::choose(const Item& item) {
    copyTexts(item, current_);
    current_.mediaLink = item.mediaLink;
    playLink_ = item.mediaLink;
    selectionTitle_ = item.title;
}

void Selection::registerState(ui::StateRegistry& r) const {
    r.add("currentItem", [this] {
        auto j = itemJson(current_);
        const auto& p = current_.picture;
        j["picture"] = p && !p->empty()
                           ? nlohmann::json{{"width", p->width()}, {"height", p->height()}}
                           : nlohmann::json(nullptr);
        return j;
    });
    r.add("playLink", [this] { return playLink_; });
    r.add("selectionTitle", [this] { return selectionTitle_; });
    r.add("nowPlaying", [this] { return itemJson(nowPlaying_); });
    r.add("bookmarkFromNowPlaying", [this] { return bookmarkFromNowPlaying_; });
    r.add("visitSiteTarget", [this] { return visitSiteTarget_; });
}

} // namespace catalogue
