#include "player/PlaybackState.h"

#include <nlohmann/json.hpp>

#include "ui/StateRegistry.h"

namespace player {

void PlaybackState::registerState(ui::StateRegistry& r) const {
    r.add("playMode", [this] { return static_cast<std::int32_t>(playMode); });
    r.add("playStatus", [this] { return playStatus; });
    r.add("flashMaxTime", [this] { return flashMaxTime; });
    r.add("localItem", [this] { return localItem; });
    r.add("workerLink", [this] { return workerLink; });
    r.add("newLinkPending", [this] { return newLinkPending; });
}

} // namespace player
