#pragma once
// The simple control kinds: each adds only the properties the program uses.
//
// Thread: user-interface thread only.

#include <atomic>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Picture.h"

namespace ui {

class Panel : public Control {
  public:
    Panel(std::string name, Control* parent) : Control(Kind::Panel, std::move(name), parent) {}
};

class Label : public Control {
  public:
    Label(std::string name, Control* parent) : Control(Kind::Label, std::move(name), parent) {}
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool transparent() const { return transparent_; }
    void setTransparent(bool on);

  private:
    bool wordWrap_ = false;
    bool transparent_ = true;
};

/// A button, or an image button when it has a glyph picture.
class Button : public Control {
  public:
    Button(std::string name, Control* parent) : Control(Kind::Button, std::move(name), parent) {}
    const PictureRef& glyph() const { return glyph_; }
    void setGlyph(PictureRef p);

  private:
    PictureRef glyph_;
};

/// A one-line text box; its text is the caption.
class Edit : public Control {
  public:
    Edit(std::string name, Control* parent) : Control(Kind::Edit, std::move(name), parent) {}
    const std::string& text() const { return caption(); }
    void setText(std::string t) { setCaption(std::move(t)); }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on);
    /// Puts the keyboard focus into the edit; counted, so the front end can tell
    /// one request from the next.
    void setFocus() {
        ++focusRequests_;
        changed();
    }
    int focusRequests() const { return focusRequests_; }

  private:
    bool readOnly_ = false;
    int focusRequests_ = 0;
};

class Memo : public Control {
  public:
    Memo(std::string name, Control* parent) : Control(Kind::Memo, std::move(name), parent) {}
    const std::vector<std::string>& lines() const { return lines_; }
    void setLines(std::vector<std::string> lines);
    void addLine(std::string line);
    void clear() { setLines({}); }
    /// All lines joined by "\n".
    std::string text() const;
    /// Replaces the lines by `text` split at line breaks.
    void setText(std::string_view text);

  private:
    std::vector<std::string> lines_;
};

class RadioButton : public Control {
  public:
    RadioButton(std::string name, Control* parent)
        : Control(Kind::RadioButton, std::move(name), parent) {}
    bool checked() const { return checked_; }
    /// Checking one radio button unchecks its siblings.
    void setChecked(bool on);
    bool deliver(Event event, EventArgs& args) override;

  private:
    bool checked_ = false;
};

/// Position bars: a track bar the user drags and a progress bar the program moves.
class RangeControl : public Control {
  public:
    RangeControl(Kind kind, std::string name, Control* parent)
        : Control(kind, std::move(name), parent) {}
    int position() const { return position_; }
    /// Clamped to [min, max].
    void setPosition(int p);
    int min() const { return min_; }
    int max() const { return max_; }
    void setRange(int min, int max);

  private:
    int position_ = 0;
    int min_ = 0;
    int max_ = 100;
};

class TrackBar : public RangeControl {
  public:
    TrackBar(std::string name, Control* parent)
        : RangeControl(Kind::TrackBar, std::move(name), parent) {}
};

class ProgressBar : public RangeControl {
  public:
    ProgressBar(std::string name, Control* parent)
        : RangeControl(Kind::ProgressBar, std::move(name), parent) {}
};

/// A titled panel that collapses to its title bar ("push") and opens again.
class CaptionPanel : public Control {
  public:
    CaptionPanel(std::string name, Control* parent)
        : Control(Kind::CaptionPanel, std::move(name), parent) {}
    /// Height of the title bar; 20 pixels when it has no title bitmap.
    int titleHeight() const { return titleHeight_; }
    void setTitleHeight(int px);
    bool collapsed() const { return collapsed_; }
    /// Shrinks the panel in 15-pixel steps to its title bar height.
    void push();
    /// Restores the height it had before the push.
    void open();

  private:
    int titleHeight_ = 20;
    int openHeight_ = 0;
    bool collapsed_ = false;
};

/// A side bar docked at its parent's edge that slides out when pointed at.
class SideChannel : public Control {
  public:
    SideChannel(std::string name, Control* parent)
        : Control(Kind::SideChannel, std::move(name), parent) {}
    bool popped() const { return popped_; }
    /// Slides out; `animate` false shows it at once. Runs onPop.
    void pop(bool animate = true);
    /// Slides back in.
    void push();
    std::function<void()> onPop;
    bool deliver(Event event, EventArgs& args) override;
    bool takes(Event event) const override { return event == Event::Pop || Control::takes(event); }

  private:
    bool popped_ = false;
};

/// The busy animation: plays a clip file while active.
class Animation : public Control {
  public:
    Animation(std::string name, Control* parent)
        : Control(Kind::Animation, std::move(name), parent) {}
    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string path);
    bool active() const { return active_; }
    /// Starts or stops the clip; runs onStart or onStop when that changes it.
    void setActive(bool on);
    std::function<void()> onStart, onStop;

  private:
    std::string fileName_;
    bool active_ = false;
};

/// Where a media player draws. The front end publishes the native window it made
/// for the surface; the media worker reads it from its own thread.
class MediaSurface : public Control {
  public:
    MediaSurface(std::string name, Control* parent)
        : Control(Kind::MediaSurface, std::move(name), parent) {}
    /// Native window id, 0 in headless mode. Any thread.
    std::int64_t windowId() const { return windowId_.load(); }
    void setWindowId(std::int64_t id) { windowId_.store(id); }

  private:
    std::atomic<std::int64_t> windowId_{0};
};

} // namespace ui
