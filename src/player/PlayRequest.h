#pragma once
// The play request: the one operation that starts playback of the item the user
// chose (a thumbnail click, the thumbnail menu's "Play", the page menu's
// "Play Video "). It copies the chosen item into `nowPlaying`, writes its picture
// to "temp.jpg", fills the now-playing labels, uncovers the player area and sends
// the link down one of two routes: the player movie in `ShockwaveFlash1`, polled by
// the transport bar, or the media worker.
//
// Thread: user-interface thread only. Errors (a picture that cannot be written, a
// movie request that fails) end the request at that step and propagate to the
// caller's error boundary.

#include <string>
#include <string_view>

namespace ui {
class Form;
}
namespace catalogue {
class Selection;
}

namespace player {

class LinkResolver;
class Movie;
class WorkerRoute;
struct PlaybackState;

/// Whether an item of `mediaType` from the feed `feedTitle` plays in the movie.
bool playsInMovie(std::string_view mediaType, std::string_view feedTitle);
/// A link of the "Google Video" feed as the movie plays it: "%3A", "%2F", "%3F",
/// "%26", "%2F" and "%3D" decoded in that order, whatever their case, and ".flv"
/// appended.
std::string decodeGoogleVideoLink(std::string link);

class PlayRequest {
  public:
    /// Binds `PlayVideo1` ("Play Video "), `Play2` ("Play") and the hidden button
    /// `playlocalvideos`.
    PlayRequest(ui::Form& form, catalogue::Selection& selection, Movie& movie, PlaybackState& state,
                LinkResolver& resolver, WorkerRoute& worker);
    PlayRequest(const PlayRequest&) = delete;
    PlayRequest& operator=(const PlayRequest&) = delete;

    /// Plays `playLink` as the current item. Does nothing while `Animate1` plays.
    void run();

    /// `playlocalvideos`: plays `workerLink` as it is on the media worker route,
    /// without the link resolver and leaving the items alone. Does nothing while
    /// `Animate1` plays.
    void playWorkerLink();

  private:
    /// "Play" in the thumbnail menu: plays the current item's own link.
    void playCurrentItem();
    void showNowPlaying();
    void uncoverPlayer();
    void playInMovie();
    void handToWorker();
    /// The worker route's status, surfaces and movie, ready for a new link.
    void routeToWorker();

    ui::Form& form_;
    catalogue::Selection& selection_;
    Movie& movie_;
    PlaybackState& state_;
    LinkResolver& resolver_;
    WorkerRoute& worker_;
};

} // namespace player
