#pragma once
// The playback subsystem as the main window composes it: the shared playback
// state, the play request and the transport bar, over the player movie in
// `ShockwaveFlash1`.
//
// Thread: user-interface thread only.

#include <memory>
#include <string>

namespace ui {
class Form;
}
namespace catalogue {
class Selection;
}

namespace player {

class Movie;
class PlayRequest;
class Transport;
struct PlaybackState;

class Player {
  public:
    /// Binds the handlers of the play request and the transport bar and registers
    /// the playback state. `movie` is kept by the caller and outlives this.
    Player(ui::Form& form, catalogue::Selection& selection, Movie& movie);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    /// At start-up: loads the movie file `path` into `ShockwaveFlash1` (layer 1) and
    /// lets the movie draw into that surface. Throws MovieError when the file cannot
    /// be loaded; the movie embedded in the control then answers instead.
    void loadMovie(const std::string& path);

    /// Plays `playLink` as the current item (a thumbnail click, "Play", "Play Video ").
    void PlayRequest();

    const PlaybackState& state() const { return *state_; }

  private:
    ui::Form& form_;
    Movie& movie_;
    std::unique_ptr<PlaybackState> state_;
    std::unique_ptr<player::PlayRequest> request_;
    std::unique_ptr<Transport> transport_;
};

} // namespace player
