#pragma once
// The transport bar and the status poll. While the player movie plays,
// `threadtimer` asks it once a second for its state, the played seconds and the
// length, and shows them in the status line, the slider and the time labels; the
// buttons and sliders send it their requests. The busy animation `Animate1`
// disables the three buttons while it runs.
//
// Thread: user-interface thread only. A failing movie request other than the
// status request ends its handler and propagates to the caller's error boundary.

namespace ui {
class Form;
class Label;
class Timer;
} // namespace ui

namespace player {

class Movie;
class WorkerRoute;
struct PlaybackState;

class Transport {
  public:
    /// Binds `threadtimer`, `play`, `pause`, `stop`, `mpposibar`, `previewvolume`
    /// and `Animate1`.
    Transport(ui::Form& form, Movie& movie, PlaybackState& state, WorkerRoute& worker);
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    /// One tick of `threadtimer`.
    void poll();

  private:
    void pollMovie();
    void playPressed();
    void pausePressed();
    void stopPressed();
    void seekReleased();
    void volumeChanged();
    void showStatus();
    bool movieRoute() const;

    ui::Form& form_;
    Movie& movie_;
    PlaybackState& state_;
    WorkerRoute& worker_;
    ui::Timer& threadtimer_;
    ui::Label& label19_;
    ui::Label& titlestatus_;
};

} // namespace player
