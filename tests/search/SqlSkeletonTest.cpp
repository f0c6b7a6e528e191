// The statement skeletons the injection tests compare: literal contents and
// numbers go, everything else stays, and text that leaves its literal shows.

#include <gtest/gtest.h>

#include "search/ImageStatements.h"
#include "search/TextStatements.h"
#include "support/SqlSkeleton.h"

namespace {

using testsupport::sqlLiterals;
using testsupport::sqlSkeleton;

TEST(SqlSkeleton, LiteralsOfBothQuoteKindsAndNumbersGo) {
    EXPECT_EQ(sqlSkeleton("SELECT * FROM t WHERE a = 'x\\'y' AND b = \"p\"\"q\" LIMIT 10,8"),
              "SELECT * FROM t WHERE a = '?' AND b = \"?\" LIMIT N,N");
    EXPECT_EQ(sqlLiterals("a = 'x\\'y' AND b = \"p\"\"q\""),
              (std::vector<std::string>{"x\\'y", "p\"\"q"}));
}

TEST(SqlSkeleton, TextThatLeavesItsLiteralChangesTheSkeleton) {
    const std::string harmless = "DELETE FROM Bookmark WHERE recnum = \"7\"";
    const std::string broken = "DELETE FROM Bookmark WHERE recnum = \"x\" OR \"1\"=\"1\"";
    EXPECT_NE(sqlSkeleton(harmless), sqlSkeleton(broken));
    // A backslash that escapes the closing quote leaves the literal open.
    EXPECT_EQ(sqlSkeleton("a = 'x\\'"), "a = <open literal>");
    // Quoted identifiers and comments are structure.
    EXPECT_EQ(sqlSkeleton("SELECT `a'b` FROM t # '"), "SELECT `a'b` FROM t # <open literal>");
}

TEST(SqlSkeleton, BytesOfInvalidUtf8BeforeAQuoteDoNotHideIt) {
    // A lead byte without its continuation is one byte; the quote after it counts.
    EXPECT_EQ(sqlSkeleton("a = '\xbf' OR 1=1 -- '"), "a = '?' OR N=N -- <open literal>");
}

TEST(SqlSkeleton, StatementsOfHostileWordsKeepTheStructureOfAHarmlessOne) {
    const search::Exclusions ex{"\"http://p/\"", "\"h\""};
    for (const std::string text : {"it's", "\\\" OR 1=1 -- ", "x\\", "a\"b'c"}) {
        EXPECT_EQ(sqlSkeleton(search::PhraseSearchStatement(text, ex)),
                  sqlSkeleton(search::PhraseSearchStatement("surfing", ex)))
            << text;
        EXPECT_EQ(sqlSkeleton(search::PictureLookupStatement(text)),
                  sqlSkeleton(search::PictureLookupStatement("surfing")))
            << text;
    }
}

} // namespace
