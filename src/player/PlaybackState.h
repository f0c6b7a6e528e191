#pragma once
// What the play request and the transport bar share: the route of the playback
// (`playMode`), the status text (`playStatus`), the movie's length (`flashMaxTime`)
// and the hand-over of a link to the media worker.
//
// Thread: user-interface thread only.

#include <cstdint>
#include <string>

namespace ui {
class StateRegistry;
}

namespace player {

/// The route of the playback: none yet, the media worker, or the player movie.
enum class PlayMode : std::int32_t { None = 0, Worker = 1, Movie = 2 };

struct PlaybackState {
    PlayMode playMode = PlayMode::None;
    /// Shown in `Label19` and `titlestatus`.
    std::string playStatus;
    /// The movie's length in whole seconds from the last poll that could read it.
    std::int32_t flashMaxTime = 0;
    /// The item plays from a local file: the link resolver leaves it alone.
    bool localItem = false;
    /// The link handed to the media worker, and whether it has to open it anew.
    std::string workerLink;
    bool newLinkPending = false;

    /// Registers `playMode`, `playStatus`, `flashMaxTime`, `localItem`,
    /// `workerLink` and `newLinkPending`.
    void registerState(ui::StateRegistry& registry) const;
};

} // namespace player
