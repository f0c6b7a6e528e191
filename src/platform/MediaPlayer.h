#pragma once
// The media player the media worker drives: open a file or stream address, play,
// pause, seek, read position and length, show the picture in a window, set the
// volume, and report the outcome of the last command as a message text.
//
// Thread: an implementation belongs to one thread at a time — the media worker
// that owns it — and is not safe to call from two threads at once. It may be
// made on one thread and handed to another before first use.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

/// A player command that cannot be carried out, e.g. pausing with no media open.
/// `what()` is a message for the user.
class MediaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The text of a successful result. Callers look for "carried out" in it.
inline constexpr std::string_view mediaSuccessMessage = "The specified command was carried out.";

/// The completion result of a command.
struct MediaResult {
    bool success = true;
    /// mediaSuccessMessage on success, else what went wrong (without "carried out").
    std::string message{mediaSuccessMessage};
};

/// A native window the player draws into (an X11 window id, for instance); 0 means
/// none, and the player then draws nowhere.
using NativeWindow = std::uint64_t;

/// Where the picture goes inside the display window, in pixels.
struct DisplayRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const DisplayRect&, const DisplayRect&) = default;
};

enum class MediaMode {
    NotOpen, // nothing open (never opened, closed, or the last open failed)
    Stopped, // open, not moving: just opened, stopped, or at the end
    Playing,
    Paused, // stopped by the pause toggle; the next toggle resumes
};

class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;

    /// Closes what is open, then opens `address` (a file path or a stream URL) and
    /// waits until it is ready or has failed (or an implementation's time-out).
    /// Opened media is stopped at its start. The result is also lastResult(); a
    /// failed open leaves nothing open and is reported there, never thrown.
    virtual MediaResult open(std::string_view address) = 0;
    /// Closes the media, if any. Never throws.
    virtual void close() noexcept = 0;

    /// Starts or resumes playback without waiting for it to finish; from the start
    /// again when the position is at the end. Throws MediaError with nothing open.
    virtual void play() = 0;
    /// Halts playback and keeps the position. Throws MediaError with nothing open.
    virtual void stop() = 0;
    /// Pauses when playing, resumes when paused (a stopped medium becomes paused,
    /// so that the next toggle plays). Throws MediaError with nothing open.
    virtual void pauseToggle() = 0;
    /// Moves to the start; playing media keeps playing. Throws MediaError with
    /// nothing open.
    virtual void seekToStart() = 0;
    /// Moves to `milliseconds` (clamped to 0..length); playing media keeps playing.
    /// Throws MediaError with nothing open.
    virtual void setPosition(std::int64_t milliseconds) = 0;

    /// Position and length in milliseconds; 0 with nothing open or when unknown.
    virtual std::int64_t position() = 0;
    virtual std::int64_t length() = 0;
    /// Number of video frames, estimated from length and frame rate where the
    /// container does not say; 0 for media without video or with nothing open.
    virtual std::int64_t frameCount() = 0;
    virtual MediaMode mode() = 0;

    /// The window the picture is drawn into; 0 = none. Takes effect for media
    /// opened afterwards.
    virtual void setDisplayWindow(NativeWindow window) = 0;
    virtual NativeWindow displayWindow() const = 0;
    /// The rectangle of the display window the picture fills.
    virtual void setDisplayRect(const DisplayRect& rect) = 0;
    virtual DisplayRect displayRect() const = 0;

    /// Audio volume 0 (silent) to 1000 (full); values outside are clamped. Works
    /// with or without media open and lasts across opens.
    virtual void setVolume(int volume) = 0;
    virtual int volume() const = 0;

    /// The completion result of the last command (open, close, play, stop, pause
    /// toggle, seeks, volume); queries do not change it.
    virtual const MediaResult& lastResult() const = 0;
    /// The message text of lastResult().
    std::string message() const { return lastResult().message; }
};

} // namespace platform
