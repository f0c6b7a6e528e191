#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/LineSplitter.h"

namespace {

using automation::LineSplitter;

std::vector<std::string> texts(const std::vector<LineSplitter::Line>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines)
        out.push_back(l.overlong ? "<overlong>" : l.text);
    return out;
}

TEST(LineSplitter, CutsLinesAcrossChunksAndSkipsBlankOnes) {
    LineSplitter splitter(100);
    std::vector<LineSplitter::Line> lines;
    splitter.feed("one\ntw", lines);
    splitter.feed("o\r\n\n  \r\nthr", lines);
    EXPECT_EQ(texts(lines), (std::vector<std::string>{"one", "two"}));
    auto last = splitter.finish();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->text, "thr");
    EXPECT_FALSE(splitter.finish().has_value());
}

TEST(LineSplitter, ReportsAnOverlongLineOnceAndResumesAfterIt) {
    LineSplitter splitter(5);
    std::vector<LineSplitter::Line> lines;
    splitter.feed("12345\n12345\r\n123", lines);
    splitter.feed("456", lines);
    splitter.feed("789", lines);
    splitter.feed("\nok\n123456\n", lines);
    EXPECT_EQ(texts(lines),
              (std::vector<std::string>{"12345", "12345", "<overlong>", "ok", "<overlong>"}));

    lines.clear();
    splitter.feed("1234567", lines);
    EXPECT_EQ(texts(lines), (std::vector<std::string>{"<overlong>"}));
    EXPECT_FALSE(splitter.finish().has_value()); // already reported
}

} // namespace
