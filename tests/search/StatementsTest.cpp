// The request syntax and the search statements, against their worked examples and
// the texts a user can type.

#include <gtest/gtest.h>

#include "search/ImageStatements.h"
#include "search/SearchTerms.h"
#include "search/TextStatements.h"

namespace {

const search::Exclusions kEx{"\"http://www.mtv.com/overdrive/player.jhtml\"", "\"youtube.com\""};

search::TextSearchPieces textPieces() {
    return {"", "<1>", "<2>", "<3>", "<4>"};
}
search::ImageSearchPieces imagePieces() {
    return {"", "<1>", "<2>", "<3>", "<4>", "<5>", "<6>", "<7>", "<8>"};
}

TEST(PrefixValue, FirstWordAfterThePrefix) {
    EXPECT_EQ(search::ExtractPrefixValue("funny cat: news videos", "cat:"), "news");
    EXPECT_EQ(search::ExtractPrefixValue("cat:news", "cat:"), "news");
    EXPECT_EQ(search::ExtractPrefixValue("funny cat:", "cat:"), "");
    EXPECT_EQ(search::ExtractPrefixValue("no prefix", "cat:"), "");
    EXPECT_EQ(search::ExtractPrefixValue("Cat:News", "cat:"), "");
    EXPECT_EQ(search::ExtractPrefixValue("cat:\t\r\nsport\t", "cat:"), "sport");
    EXPECT_EQ(search::ExtractPrefixValue("cat:a site:b cat:c", "cat:"), "a");
    EXPECT_EQ(search::ExtractPrefixValue("x site:bondi.com y", "site:"), "bondi.com");
}

TEST(PrefixValue, CutAtTwoHundredCharactersNeverInsideOne) {
    const std::string word(250, 'w');
    EXPECT_EQ(search::ExtractPrefixValue("cat:" + word, "cat:"), std::string(200, 'w'));
    std::string wide;
    for (int i = 0; i < 210; ++i)
        wide += "é";
    std::string expected;
    for (int i = 0; i < 200; ++i)
        expected += "é";
    EXPECT_EQ(search::ExtractPrefixValue("cat:" + wide, "cat:"), expected);
    EXPECT_EQ(search::ExtractPrefixValue("site:東京 x", "site:"), "東京");
}

TEST(BooleanTerms, WorkedExamples) {
    auto t = search::BuildBooleanTerms("funny cats");
    EXPECT_EQ(t.terms, "+funny +cats");
    EXPECT_EQ(t.categoryFilter, "");
    EXPECT_EQ(t.categoryScore, "");

    t = search::BuildBooleanTerms("news cat:sport");
    EXPECT_EQ(t.terms, "+news");
    EXPECT_EQ(t.category, "sport");
    EXPECT_EQ(t.categoryFilter, " AND (MATCH(rsscat) AGAINST ('+sport' IN BOOLEAN MODE))");
    EXPECT_EQ(t.categoryScore, " AND (MATCH(rsscat) AGAINST ('+sport'))");

    t = search::BuildBooleanTerms("newsreel cat:news");
    EXPECT_EQ(t.terms, "+reel");
    EXPECT_EQ(t.categoryFilter, " AND (MATCH(rsscat) AGAINST ('+news' IN BOOLEAN MODE))");

    EXPECT_EQ(search::BuildBooleanTerms("surf site:bondi").terms, "+surf +\\\"bondi\\\"");
    EXPECT_EQ(search::BuildBooleanTerms("Cat:News").terms, "+Cat:News");
    EXPECT_EQ(search::BuildBooleanTerms("Cat:News").categoryFilter, "");
}

TEST(BooleanTerms, UserOperatorsAndEmptyWordsDoNotReachTheEngine) {
    // Three blanks leave no empty required word, a lone prefix no lone "+".
    EXPECT_EQ(search::BuildBooleanTerms("a   b").terms, "+a +b");
    EXPECT_EQ(search::BuildBooleanTerms("cat:news").terms, "");
    EXPECT_EQ(search::BuildBooleanTerms("cat:").terms, "");
    EXPECT_EQ(search::BuildBooleanTerms("cat:").categoryFilter, "");
    EXPECT_EQ(search::BuildBooleanTerms("site:").terms, "");
    EXPECT_EQ(search::BuildBooleanTerms("").terms, "");
    EXPECT_EQ(search::BuildBooleanTerms("-a +b (c) ~d* @e").terms, "+a +b +c +d +e");
    EXPECT_EQ(search::BuildBooleanTerms("x cat:-").categoryFilter, "");
    EXPECT_EQ(search::BuildBooleanTerms("x cat:spider-man").categoryFilter,
              " AND (MATCH(rsscat) AGAINST ('+spider +man' IN BOOLEAN MODE))");
}

TEST(BooleanTerms, OnlyTheFirstPrefixesCount) {
    // A second cat: is removed; its word stays unless it equals the first value.
    auto t = search::BuildBooleanTerms("cat:news cat:sport rugby");
    EXPECT_EQ(t.category, "news");
    EXPECT_EQ(t.terms, "+sport +rugby");
    t = search::BuildBooleanTerms("cat:news cat:news rugby");
    EXPECT_EQ(t.terms, "+rugby");
    // A site value inside another word still becomes a phrase there.
    EXPECT_EQ(search::BuildBooleanTerms("surfing site:surf").terms,
              "+\\\"surf\\\" +ing +\\\"surf\\\"");
}

TEST(BooleanTerms, HostileTextStaysInsideTheSingleQuotedLiteral) {
    const auto t = search::BuildBooleanTerms("it's a\\b %_ -- /* x */ # ;" + std::string(1, '\0') +
                                             "z site:o'neil");
    // A NUL byte separates words like any control character.
    EXPECT_EQ(t.terms, "+it\\'s +a\\\\b +%_ +/ +x +/ +# +; +z +\\\"o\\'neil\\\"");
    const auto c = search::BuildBooleanTerms("x cat:a'b");
    EXPECT_EQ(c.categoryFilter, " AND (MATCH(rsscat) AGAINST ('+a\\'b' IN BOOLEAN MODE))");
}

TEST(TextStatements, PhraseSearchIsExact) {
    EXPECT_EQ(search::PhraseSearchStatement("Funny Cats  ", kEx),
              "SELECT HIGH_PRIORITY rssitemtitle,rssdesc,medialink,rsshostname,rsscat, mediatype, "
              "recnum, rsstitle,  (MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) AGAINST (\"funny "
              "cats\")) AND (rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AS score "
              "FROM videopodcasthistory WHERE (MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) "
              "AGAINST (\"funny cats\" IN BOOLEAN MODE)) AND (rssurl != "
              "\"http://www.mtv.com/overdrive/player.jhtml\") ORDER BY score DESC LIMIT 1,249");
    EXPECT_NE(
        search::PhraseSearchStatement("say \"hi\" it's", kEx).find("AGAINST (\"say hi it\\'s\")"),
        std::string::npos);
}

TEST(TextStatements, PopularTextSearchIsExact) {
    EXPECT_EQ(search::PopularTextStatement("Funny Cats", 200, kEx),
              "SELECT HIGH_PRIORITY rssitemtitle,rssdesc,medialink,rsshostname,rsscat, mediatype, "
              "recnum, rsstitle,  ((MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) AGAINST "
              "(\"+funny +cats\")) AND (rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") "
              "AND (rsshostname != \"youtube.com\" )) AS score FROM videopodcasthistory WHERE "
              "((MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) AGAINST (\"+funny +cats\" IN "
              "BOOLEAN MODE)) AND (rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND "
              "(rsshostname != \"youtube.com\")) ORDER BY SCORE DESC LIMIT 200,100");
}

TEST(TextStatements, LatestTextSearchPutsThePiecesTogether) {
    EXPECT_EQ(search::LatestTextStatement("news cat:sport", 200, textPieces()),
              "<1><2>'+news'<3> AND (MATCH(rsscat) AGAINST ('+sport' IN BOOLEAN MODE))<4> "
              "200,100");
    EXPECT_EQ(search::LatestTextStatement("", 0, textPieces()), "<1><2>''<3><4> 0,100");
}

TEST(TextStatements, Count) {
    EXPECT_EQ(search::TextLibraryCountStatement(),
              "SELECT count( * ) as total_record FROM videopodcasthistory;");
}

TEST(ImageStatements, ImageSearchBaseForBothOrders) {
    EXPECT_EQ(search::ImageSearchBase("news cat:sport", true, imagePieces()),
              "<1>'+news'<2> AND (MATCH(rsscat) AGAINST ('+sport' IN BOOLEAN MODE))<3> ");
    EXPECT_EQ(search::ImageSearchBase("news cat:sport", false, imagePieces()),
              "<4>'+news')) AND (MATCH(rsscat) AGAINST ('+sport'))<5><6>'+news'<7> AND "
              "(MATCH(rsscat) AGAINST ('+sport' IN BOOLEAN MODE))<8> ");
    EXPECT_EQ(search::ImageSearchBase("a", true, imagePieces()) +
                  std::string(search::kFirstImagePage),
              "<1>'+a'<2><3> 0, 8");
}

TEST(ImageStatements, VisualSearchBaseIsExact) {
    EXPECT_EQ(search::VisualSearchBase("funny cats", true, kEx),
              "SELECT HIGH_PRIORITY * FROM videosnap WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) "
              "AGAINST ('+funny +cats' IN BOOLEAN MODE)) AND (rssurl != "
              "\"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
              "\"youtube.com\")) ORDER BY recnum DESC LIMIT ");
    EXPECT_EQ(search::VisualSearchBase("news cat:sport", false, kEx),
              "SELECT HIGH_PRIORITY *, ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST ('+news')) "
              "AND (MATCH(rsscat) AGAINST ('+sport')) AND (rssurl != "
              "\"http://www.mtv.com/overdrive/player.jhtml\")AND (rsshostname != "
              "\"youtube.com\")) AS score FROM videosnap WHERE ((MATCH "
              "(rssdesc,rssitemtitle,rssurl) AGAINST ('+news' IN BOOLEAN MODE)) AND "
              "(MATCH(rsscat) AGAINST ('+sport' IN BOOLEAN MODE)) AND (rssurl != "
              "\"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
              "\"youtube.com\")) ORDER BY score DESC LIMIT ");
}

TEST(ImageStatements, PictureLookupEscapesTheLink) {
    EXPECT_EQ(search::PictureLookupStatement("file:///v/a.wmv"),
              "SELECT * FROM videosnap WHERE medialink = \"file:///v/a.wmv\"  LIMIT 0,1");
    EXPECT_EQ(search::PictureLookupStatement("a\"b\\c"),
              "SELECT * FROM videosnap WHERE medialink = \"a\\\"b\\\\c\"  LIMIT 0,1");
}

} // namespace
