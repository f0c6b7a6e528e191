// The library search statement and the escaping of user text in SQL literals.

#include <gtest/gtest.h>

#include "search/LibrarySearch.h"
#include "search/SqlText.h"

namespace {

const search::Exclusions kEx{"\"http://www.mtv.com/overdrive/player.jhtml\"", "\"youtube.com\""};

TEST(PlainTerms, LowerCaseWithAPlusBeforeEveryWord) {
    EXPECT_EQ(search::BuildPlainTerms("Funny Cats "), "\"+funny +cats\"");
    EXPECT_EQ(search::BuildPlainTerms("cat:News\t\r\n"), "\"+cat:news\"");
    // Non-ASCII letters pass unchanged; only the ASCII ones are lowered.
    EXPECT_EQ(search::BuildPlainTerms("Übung Café"), "\"+Übung +café\"");
}

TEST(PlainTerms, OperatorsTypedByTheUserAreNotPassedOn) {
    // Leading and doubled blanks leave no lone "+".
    EXPECT_EQ(search::BuildPlainTerms(" cats"), "\"+cats\"");
    EXPECT_EQ(search::BuildPlainTerms("  two  blanks"), "\"+two +blanks\"");
    EXPECT_EQ(search::BuildPlainTerms("-Cats (funny) *dogs* ~x <y> @3"),
              "\"+cats +funny +dogs +x +y +3\"");
    EXPECT_EQ(search::BuildPlainTerms("a--b"), "\"+a +b\"");
    // A box without words searches for nothing instead of a lone "+".
    EXPECT_EQ(search::BuildPlainTerms(""), "\"\"");
    EXPECT_EQ(search::BuildPlainTerms(" - * ( @ "), "\"\"");
}

TEST(PlainTerms, QuotesAndBackslashesStayInsideTheLiteral) {
    // A double quote is an operator and goes; a single quote and a backslash stay,
    // escaped for the literal.
    EXPECT_EQ(search::BuildPlainTerms("say \"hi\""), "\"+say +hi\"");
    EXPECT_EQ(search::BuildPlainTerms("a\\b 'c'"), "\"+a\\\\b +\\'c\\'\"");
}

TEST(LibrarySearch, PiecesAreExactForBothOrderings) {
    const auto popular = search::BuildLibrarySearch("Funny Cats", true, "0", kEx);
    EXPECT_EQ(popular.head, "SELECT HIGH_PRIORITY *,  ((MATCH (rssdesc,rssitemtitle,rssurl) "
                            "AGAINST (\"+funny +cats\")) AND "
                            "(rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND");
    EXPECT_EQ(popular.middle,
              " (rsshostname != \"youtube.com\")) AS score FROM videosnap WHERE ((MATCH "
              "(rssdesc,rssitemtitle,rssurl) AGAINST (\"+funny +cats\" IN BOOLEAN MODE)) AND ");
    EXPECT_EQ(popular.tail,
              "(rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
              "\"youtube.com\")) ORDER BY SCORE DESC LIMIT 0,8");
    EXPECT_EQ(popular.statement(), popular.head + popular.middle + popular.tail);

    const auto recent = search::BuildLibrarySearch("Funny Cats", false, "0", kEx);
    EXPECT_EQ(recent.head, popular.head);
    EXPECT_EQ(recent.middle, popular.middle);
    EXPECT_EQ(recent.tail,
              "(rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
              "\"youtube.com\")) ORDER BY recnum DESC LIMIT 0,8");
    EXPECT_EQ(search::BuildLibraryTail(true, "24", kEx),
              "(rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
              "\"youtube.com\")) ORDER BY SCORE DESC LIMIT 24,8");
}

TEST(SqlText, EscapesForLiteralsAndLikePatterns) {
    EXPECT_EQ(search::escapeLiteral("it's \"x\" \\ ", '"'), "it\\'s \\\"x\\\" \\\\ ");
    EXPECT_EQ(search::escapeLiteral(std::string("a\0b", 3), '\''), "a\\0b");
    // In a LIKE pattern a backslash must reach the pattern doubled; % and _ stay wildcards.
    EXPECT_EQ(search::escapeLikeText("50% a\\b \"q\""), "50% a\\\\\\\\b \\\"q\\\"");
}

} // namespace
