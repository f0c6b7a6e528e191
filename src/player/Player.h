#pragma once
// The playback subsystem as the main window composes it: the shared playback
// state, the play request and the transport bar, over the player movie in
// `ShockwaveFlash1`.
//
// Thread: user-interface thread only.

#include <functional>
#include <memory>
#include <string>

#include "player/LinkResolver.h"
#include "player/MediaWorker.h"

namespace ui {
class Form;
class MediaSurface;
} // namespace ui
namespace catalogue {
class Selection;
}
namespace platform {
class Downloader;
}

namespace player {

class Movie;
class PlayRequest;
class Transport;
class LocalMedia;
class WorkerRoute;
struct PlaybackState;

/// The media worker's player: libmpv drawing into the native window of `surface`
/// as it is when the worker makes the player, or with null outputs when there is
/// none (headless, or no surface). The surface must outlive the worker.
MediaWorker::PlayerFactory surfacePlayerFactory(const ui::MediaSurface* surface);

/// What the media worker route needs from outside.
struct WorkerServices {
    /// The downloader of the link resolver; none: a libcurl downloader of its own.
    platform::Downloader* downloader = nullptr;
    ResolverSettings resolver;
    /// The iFilm key loaded at start-up.
    std::function<std::string()> ifilmKey;
    /// Makes the worker's media player; none: surfacePlayerFactory with the
    /// window's `workerVideo`.
    MediaWorker::PlayerFactory makePlayer;
    /// The address "Live TV" plays.
    std::string liveStream;
};

class Player {
  public:
    /// Binds the handlers of the play request and the transport bar and registers
    /// the playback state. `movie` is kept by the caller and outlives this.
    Player(ui::Form& form, catalogue::Selection& selection, Movie& movie,
           WorkerServices services = {});
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    /// At start-up: loads the movie file `path` into `ShockwaveFlash1` (layer 1) and
    /// lets the movie draw into that surface. Throws MovieError when the file cannot
    /// be loaded; the movie embedded in the control then answers instead.
    void loadMovie(const std::string& path);

    /// Plays `playLink` as the current item (a thumbnail click, "Play", "Play Video ").
    void PlayRequest();
    /// A link handed over by another program: `workerLink` := `link`, then a click
    /// of `playlocalvideos`, which plays it on the media worker route.
    void playHandedLink(std::string link);

    const PlaybackState& state() const { return *state_; }
    WorkerRoute& worker() { return *worker_; }
    /// The player movie and the media worker have nothing left to do.
    bool idle() const;

  private:
    ui::Form& form_;
    Movie& movie_;
    std::unique_ptr<PlaybackState> state_;
    std::unique_ptr<platform::Downloader> ownDownloader_;
    std::unique_ptr<LinkResolver> resolver_;
    std::unique_ptr<WorkerRoute> worker_;
    std::unique_ptr<player::PlayRequest> request_;
    std::unique_ptr<Transport> transport_;
    std::unique_ptr<LocalMedia> localMedia_;
};

} // namespace player
