#pragma once
// The thumbnail of a harvested item: a JPEG of the size the pages show, made from
// the feed's picture when it offers one, else from a frame of the video, else the
// placeholder. Pictures and videos are decoded with ffmpeg's libraries (so a feed's
// PNG or WebP thumbnail serves as well as a JPEG), scaled with swscale and encoded
// with libjpeg-turbo.
//
// Hostile input is refused, never trusted: a picture or video whose header claims
// more than ui::Picture::kMaxPixels is refused before anything of that size is
// allocated; bytes that are not a picture are refused; a video is only read over
// http or https, within a time limit, and only as far as its first frame.
//
// Thread: any thread; calls share no state.

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

namespace harvest {

/// The size of a thumbnail on the pages.
inline constexpr int kThumbnailWidth = 120;
inline constexpr int kThumbnailHeight = 90;

/// Why no thumbnail could be made; the message says what was wrong.
class ThumbnailError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// JPEG bytes of the picture held in `bytes` (JPEG, PNG, WebP, GIF or BMP), scaled
/// to the thumbnail size. Throws ThumbnailError.
std::string thumbnailFromPicture(std::string_view bytes);

/// JPEG bytes of an early frame of the video at `url` (http or https; a second in
/// when the video is longer than three), scaled to the thumbnail size. Gives up
/// after `timeLimit`. Throws ThumbnailError.
std::string thumbnailFromVideo(const std::string& url, std::chrono::milliseconds timeLimit);

/// The picture of an item that has neither: a dark frame with a play mark.
const std::string& placeholderThumbnail();

} // namespace harvest
