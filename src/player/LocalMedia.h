#pragma once
// The "Local Media" and "Live TV" menus: playing a file chosen from disk and the
// live stream named in zorvex.ini. Both fill the play request's inputs and then
// run it; from there on playback is the same as for catalogue items.
//
// Thread: user-interface thread only.

#include <functional>
#include <string>
#include <string_view>

namespace ui {
class Form;
}
namespace catalogue {
class Selection;
}

namespace player {

struct PlaybackState;

/// The now-playing texts of a local file: the name after the last '/' (at most 50
/// characters), and the first 50 characters of the path followed by "..".
std::string localTitle(std::string_view path);
std::string localDescription(std::string_view path);

class LocalMedia {
  public:
    /// Binds `OpenLocalMedia1`, `elstraTV1` and `estLive1`. `playRequest` runs the
    /// play request; `liveStream` is the live stream's address.
    LocalMedia(ui::Form& form, catalogue::Selection& selection, PlaybackState& state,
               std::function<void()> playRequest, std::string liveStream);
    LocalMedia(const LocalMedia&) = delete;
    LocalMedia& operator=(const LocalMedia&) = delete;

    /// "Open Local Media": asks for a file (the main window hidden meanwhile) and
    /// plays it; a cancelled dialog changes nothing.
    void openLocalMedia();
    /// "Telstra TV" and "Test Live": plays the live stream as the current item.
    void playLiveStream();

  private:
    ui::Form& form_;
    catalogue::Selection& selection_;
    PlaybackState& state_;
    std::function<void()> playRequest_;
    std::string liveStream_;
};

} // namespace player
