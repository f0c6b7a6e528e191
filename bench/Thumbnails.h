#pragma once
// Finding a thumbnail to click in the headless program: the first of the two 8-slot
// pages' items that plays a file of this machine on the route a benchmark measures.

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "AutomationProcess.h"

namespace bench {

/// The "data" of the program's answer to `command`.
inline nlohmann::json data(AutomationProcess& p, const std::string& command) {
    return nlohmann::json::parse(p.request(command)).value("data", nlohmann::json());
}

struct Thumbnail {
    std::string name; // featurepicN or specialpicN
    int tab = 0;      // its page of suiPageControl1
    std::string clip; // the local file it plays
};

/// Whether a slot's item plays in the player movie (the others go to the media worker).
inline bool playsInTheMovie(const nlohmann::json& item) {
    const std::string type = item.value("mediaType", "");
    return type == "application/flash" || type == "video/flv" ||
           item.value("feedTitle", "") == "ABC USA";
}

/// The first thumbnail whose item has a file:// link and passes `wanted`; throws
/// naming `what` when the first pages hold none.
inline Thumbnail findThumbnail(AutomationProcess& p,
                               const std::function<bool(const nlohmann::json&)>& wanted,
                               const std::string& what) {
    const std::pair<const char*, int> pages[] = {{"featureSlots", 2}, {"specialSlots", 3}};
    for (const auto& [slots, tab] : pages) {
        const nlohmann::json items = data(p, std::string("[\"state\",\"") + slots + "\"]");
        for (std::size_t i = 0; i < items.size() && i < 8; ++i) {
            const std::string link = items[i].value("mediaLink", "");
            if (link.rfind("file://", 0) == 0 && wanted(items[i]))
                return {std::string(tab == 2 ? "featurepic" : "specialpic") + std::to_string(i + 1),
                        tab, link.substr(7)};
        }
    }
    throw std::runtime_error("no " + what + " on the first pages");
}

} // namespace bench
