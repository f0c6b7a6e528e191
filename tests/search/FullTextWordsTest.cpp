// The words of a user's request, as the full-text engine is to read them.

#include <gtest/gtest.h>

#include "search/FullTextWords.h"

namespace {

using Words = std::vector<std::string>;

TEST(FullTextWords, OperatorsAndBlanksSeparateWordsAndEmptyWordsDisappear) {
    EXPECT_EQ(search::fullTextWords("funny cats"), (Words{"funny", "cats"}));
    EXPECT_EQ(search::fullTextWords("  two  blanks "), (Words{"two", "blanks"}));
    EXPECT_EQ(search::fullTextWords("-a"), (Words{"a"}));
    EXPECT_EQ(search::fullTextWords("a--b"), (Words{"a", "b"}));
    EXPECT_EQ(search::fullTextWords("spider-man"), (Words{"spider", "man"}));
    EXPECT_EQ(search::fullTextWords("\"x"), (Words{"x"}));
    EXPECT_EQ(search::fullTextWords("x*y (z) ~w <v> @3 +u"),
              (Words{"x", "y", "z", "w", "v", "3", "u"}));
    EXPECT_EQ(search::fullTextWords("a\tb\r\nc\x7f"
                                    "d"),
              (Words{"a", "b", "c", "d"}));
    for (const char* none : {"", " ", "*", "(", ")", "@", "+", "-", "\"", "~", "<>", " - + ", "\t"})
        EXPECT_EQ(search::fullTextWords(none), Words{}) << "[" << none << "]";
}

TEST(FullTextWords, OtherCharactersStayAsTyped) {
    // Quotes of the SQL literal and backslashes are the caller's to escape.
    EXPECT_EQ(search::fullTextWords("'quote back\\slash %_ it's"),
              (Words{"'quote", "back\\slash", "%_", "it's"}));
    EXPECT_EQ(search::fullTextWords("Übung café 東京 😀"), (Words{"Übung", "café", "東京", "😀"}));
    EXPECT_EQ(search::fullTextWords("cat:News site:bondi.com"),
              (Words{"cat:News", "site:bondi.com"}));
}

TEST(FullTextWords, RequiredWordsAndPhrases) {
    EXPECT_EQ(search::requiredWords({"funny", "cats"}), "+funny +cats");
    EXPECT_EQ(search::requiredWords({}), "");
    EXPECT_EQ(search::requiredPhrase("bondi"), "+\"bondi\"");
    EXPECT_EQ(search::requiredPhrase("\"bondi beach\"*"), "+\"bondi beach\"");
    EXPECT_EQ(search::requiredPhrase(" \" "), "");
}

} // namespace
