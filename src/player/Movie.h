#pragma once
// The player movie that `ShockwaveFlash1` runs: the program loads it once and then
// only sends it request strings (MovieRequest.h) and reads its text replies.
//
// Thread: callFunction and loadMovie on the user-interface thread; idle from any
// thread.

#include <stdexcept>
#include <string>
#include <string_view>

namespace ui {
class MediaSurface;
}

namespace player {

/// A request the movie cannot carry out, or a movie file that cannot be loaded.
/// `what()` is a message for the user.
class MovieError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Movie {
  public:
    virtual ~Movie() = default;
    /// Loads the movie file at `path` into `layer`. Throws MovieError when the file
    /// cannot be read or is not a player movie; the movie embedded in the control
    /// then stays in place.
    virtual void loadMovie(int layer, const std::string& path) = 0;
    /// Sends one request string and returns the reply. Throws MovieError for a
    /// malformed request, an unknown function or a bad argument.
    virtual std::string callFunction(std::string_view request) = 0;
    /// The surface the movie draws into, read at each playVideo; nullptr: none.
    /// The caller keeps it alive until it is replaced.
    virtual void setSurface(const ui::MediaSurface* surface) = 0;
    /// True while the movie has no request left to carry out. Any thread.
    virtual bool idle() const = 0;
};

} // namespace player
