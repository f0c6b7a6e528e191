#pragma once
// Our player movie: it takes the movie's request strings and plays through a
// libmpv player of its own, drawn into the `ShockwaveFlash1` surface (null video
// and audio outputs while the surface has no native window, as in headless runs).
//
// The movie works on a thread of its own, as a movie runs beside the program that
// scripts it: a request that acts (playVideo, stopVideo, ...) is queued and
// answered at once, and opening a link never holds up the window. What it is doing
// is published for the query requests (statusVideo, playedVideo, maxTimeVideo),
// which answer from it without waiting: "loading" while a link opens, "playing",
// "paused", "stopped", "seeking", "connectionError" when a link cannot be opened
// (or does not answer within the open time-out), "disconnected" when open media
// goes away.
//
// libmpv is loaded and the player made at the first playVideo, not before.
//
// Owns the movie thread and the player on it. Thread: callFunction, loadMovie and
// setSurface on the user-interface thread; idle from any thread.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "player/Movie.h"

namespace ui {
class MediaSurface;
}
namespace platform {
class MediaPlayer;
}

namespace player {

/// The first line of a player movie file ("fl8b.swf" next to the executable).
inline constexpr std::string_view kMovieSignature = "ZORVEX PLAYER MOVIE 1";

struct PlayerMovieOptions {
    /// How long a link may take to open before it counts as a failed open.
    std::chrono::milliseconds openTimeout{15'000};
};

class PlayerMovie final : public Movie {
  public:
    explicit PlayerMovie(PlayerMovieOptions options = {});
    /// Stops the movie thread (waiting for a running open, bounded by its time-out)
    /// and closes the player.
    ~PlayerMovie() override;
    PlayerMovie(const PlayerMovie&) = delete;
    PlayerMovie& operator=(const PlayerMovie&) = delete;

    void setSurface(const ui::MediaSurface* surface) override { surface_ = surface; }

    void loadMovie(int layer, const std::string& path) override;
    std::string callFunction(std::string_view request) override;
    bool idle() const override;

    /// The file loaded into layer 1, or empty while the embedded movie plays.
    const std::string& moviePath() const { return moviePath_; }
    /// Why the last link could not be played, or empty.
    std::string lastError() const;

  private:
    enum class Action { Open, Resume, Stop, PauseToggle, Seek, Volume };
    struct Command {
        Action action;
        std::string link;       // Open
        std::int64_t value = 0; // Open: the native window; Seek: milliseconds; Volume: 0..1000
    };

    void post(Command command);
    void run();
    void carryOut(const Command& command, std::unique_ptr<platform::MediaPlayer>& player);
    void refresh(platform::MediaPlayer* player);
    void setState(std::string word);

    PlayerMovieOptions options_;
    const ui::MediaSurface* surface_ = nullptr;
    std::string moviePath_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Command> queue_;
    bool busy_ = false;
    bool quit_ = false;
    // Published by the movie thread for the queries.
    std::string state_ = "stopped";
    std::int64_t positionMs_ = 0;
    std::int64_t lengthMs_ = 0;
    std::string lastError_;

    int volume_ = 1000; // movie thread only: kept for a player made later

    std::thread thread_; // started by the first request that acts
};

} // namespace player
