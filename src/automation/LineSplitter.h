#pragma once
// Cuts a byte stream into request lines. A line ends at "\n" (a "\r" before it is
// dropped); blank lines are skipped, as the clients' line-based tools send them
// freely. A line longer than the limit is not kept: it is reported once as
// overlong and its remaining bytes are dropped up to its line break, so a client
// cannot make the program hold an unbounded amount of memory.
//
// Thread: a plain value, used by one reader thread.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace automation {

class LineSplitter {
  public:
    struct Line {
        std::string text;      ///< empty when overlong
        bool overlong = false; ///< longer than the limit; its text was dropped
    };

    /// Lines of up to `limit` bytes (without the line break) are kept.
    explicit LineSplitter(std::size_t limit) : limit_(limit) {}

    std::size_t limit() const { return limit_; }
    /// Appends `data` and moves every line it completes to `out`.
    void feed(std::string_view data, std::vector<Line>& out);
    /// The end of the input: an unterminated last line, if there is one.
    std::optional<Line> finish();

  private:
    void complete(std::vector<Line>& out);

    std::size_t limit_;
    std::string buffer_;
    bool dropping_ = false; ///< inside an overlong line, already reported
};

} // namespace automation
