#include "ui/Widgets.h"

#include <algorithm>

namespace ui {

void Label::setWordWrap(bool on) {
    if (wordWrap_ != on) {
        wordWrap_ = on;
        changed();
    }
}

void Label::setTransparent(bool on) {
    if (transparent_ != on) {
        transparent_ = on;
        changed();
    }
}

void Button::setGlyph(PictureRef p) {
    glyph_ = std::move(p);
    changed();
}

void Edit::setReadOnly(bool on) {
    if (readOnly_ != on) {
        readOnly_ = on;
        changed();
    }
}

void Memo::setLines(std::vector<std::string> lines) {
    if (lines_ == lines)
        return;
    lines_ = std::move(lines);
    changed();
}

void Memo::addLine(std::string line) {
    lines_.push_back(std::move(line));
    changed();
}

std::string Memo::text() const {
    std::string out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i)
            out += '\n';
        out += lines_[i];
    }
    return out;
}

void Memo::setText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty() && !text.empty() && text.back() == '\n')
        lines.pop_back();
    if (text.empty())
        lines.clear();
    setLines(std::move(lines));
}

void RadioButton::setChecked(bool on) {
    if (on && parent()) {
        for (auto& sibling : parent()->children())
            if (auto* radio = dynamic_cast<RadioButton*>(sibling.get()); radio && radio != this)
                if (radio->checked_) {
                    radio->checked_ = false;
                    radio->changed();
                }
    }
    if (checked_ != on) {
        checked_ = on;
        changed();
    }
}

bool RadioButton::deliver(Event event, EventArgs& args) {
    if (event == Event::Click && enabled() && showing())
        setChecked(true);
    return Control::deliver(event, args);
}

void RangeControl::setPosition(int p) {
    p = std::clamp(p, min_, std::max(min_, max_));
    if (p != position_) {
        position_ = p;
        changed();
    }
}

void RangeControl::setRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    changed();
    setPosition(position_);
}

void CaptionPanel::setTitleHeight(int px) {
    titleHeight_ = px > 0 ? px : 20;
    changed();
}

void CaptionPanel::push() {
    if (!collapsed_)
        openHeight_ = height();
    collapsed_ = true;
    // The toolkit shrinks in 15-pixel steps with a repaint after each; the steps
    // only matter to the eye, so the model lands on the title bar height at once.
    setHeight(titleHeight_);
    changed();
}

void CaptionPanel::open() {
    if (!collapsed_)
        return;
    collapsed_ = false;
    setHeight(openHeight_);
    changed();
}

void SideChannel::pop(bool animate) {
    (void)animate; // the front end animates the slide; the model is out at once
    if (!popped_) {
        popped_ = true;
        changed();
    }
    if (onPop)
        onPop();
}

void SideChannel::push() {
    if (popped_) {
        popped_ = false;
        changed();
    }
}

bool SideChannel::deliver(Event event, EventArgs& args) {
    if (event == Event::Pop) {
        if (enabled() && showing())
            pop();
        return true;
    }
    return Control::deliver(event, args);
}

void Animation::setFileName(std::string path) {
    fileName_ = std::move(path);
    changed();
}

void Animation::setActive(bool on) {
    if (active_ != on) {
        active_ = on;
        changed();
        if (const auto& handler = on ? onStart : onStop)
            handler();
    }
}

} // namespace ui
