// Character cuts of UTF-8 text and the toolkit's integer conversion.

#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/Convert.h"
#include "ui/Utf8.h"

namespace {

TEST(Utf8, CutsCountCharactersNeverBytes) {
    const std::string text = "Ärger über Öl – naïve café 日本語";
    EXPECT_EQ(ui::utf8::length(text), 30u);
    EXPECT_EQ(ui::utf8::left(text, 5), "Ärger");
    EXPECT_EQ(ui::utf8::mid(text, 27, 10), "日本語");
    EXPECT_EQ(ui::utf8::mid(text, 40, 5), "");
    EXPECT_EQ(ui::utf8::left("short", 21), "short");
    // A 120-character description splits 50 / 50 / 20.
    std::string desc;
    for (int i = 0; i < 120; ++i)
        desc += (i % 2) ? "é" : "a";
    EXPECT_EQ(ui::utf8::length(ui::utf8::mid(desc, 0, 50)), 50u);
    EXPECT_EQ(ui::utf8::length(ui::utf8::mid(desc, 50, 50)), 50u);
    EXPECT_EQ(ui::utf8::length(ui::utf8::mid(desc, 100, 50)), 20u);
}

TEST(Utf8, MalformedBytesCountOneEachAndNothingRunsPastTheEnd) {
    const std::string bad = "a\xC3"    // lead byte at the very end of a pair
                            "\xE2\x82" // truncated three-byte sequence
                            "\xFF\x80z";
    EXPECT_EQ(ui::utf8::length(bad), 7u);
    EXPECT_EQ(ui::utf8::left(bad, 2), "a\xC3");
    EXPECT_EQ(ui::utf8::mid(bad, 6, 9), "z");
    EXPECT_EQ(ui::utf8::left(std::string("\xE6\x97"), 1), "\xE6"); // never reads past the text
}

TEST(Convert, IntegersAsTheToolkitReadsThem) {
    EXPECT_EQ(ui::toInteger("42"), 42);
    EXPECT_EQ(ui::toInteger(" -7 "), -7);
    EXPECT_EQ(ui::toInteger("+5"), 5);
    EXPECT_EQ(ui::toInteger("05"), 5);
    for (const char* bad : {"", "abc", "1.5", "12x", "99999999999"}) {
        try {
            (void)ui::toInteger(bad);
            ADD_FAILURE() << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

} // namespace
