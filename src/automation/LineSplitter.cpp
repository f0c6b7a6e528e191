#include "automation/LineSplitter.h"

namespace automation {

namespace {
bool blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\f\v") == std::string_view::npos;
}
} // namespace

void LineSplitter::complete(std::vector<Line>& out) {
    if (!buffer_.empty() && buffer_.back() == '\r')
        buffer_.pop_back();
    if (buffer_.size() > limit_)
        out.push_back({{}, true});
    else if (!blank(buffer_))
        out.push_back({std::move(buffer_), false});
    buffer_.clear();
}

void LineSplitter::feed(std::string_view data, std::vector<Line>& out) {
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        const std::string_view piece = data.substr(0, end);
        if (!dropping_) {
            // The buffer may hold one byte past the limit: the "\r" of a "\r\n" break.
            if (buffer_.size() + piece.size() > limit_ + 1) {
                buffer_.clear();
                buffer_.shrink_to_fit();
                out.push_back({{}, true});
                dropping_ = true;
            } else {
                buffer_.append(piece);
            }
        }
        if (end == std::string_view::npos)
            return;
        if (dropping_)
            dropping_ = false;
        else
            complete(out);
        data.remove_prefix(end + 1);
    }
}

std::optional<LineSplitter::Line> LineSplitter::finish() {
    std::vector<Line> out;
    if (!dropping_)
        complete(out);
    buffer_.clear();
    dropping_ = false;
    if (out.empty())
        return std::nullopt;
    return std::move(out.front());
}

} // namespace automation
