// The resolver's text rules on their own: clamped copies, positions, the
// removals and the stream suffixes.

#include <gtest/gtest.h>

#include "player/LinkText.h"

namespace lt = player::linktext;

TEST(LinkText, PositionIsOneBasedAndZeroWhenAbsent) {
    EXPECT_EQ(lt::position("abcabc", "c"), 3u);
    EXPECT_EQ(lt::position("abc", "x"), 0u);
    EXPECT_EQ(lt::position("abc", "C"), 0u); // case-sensitive
    EXPECT_EQ(lt::position("äbc", "c"), 3u); // characters, not bytes
}

TEST(LinkText, CopyClampsStartAndCount) {
    EXPECT_EQ(lt::copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(lt::copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(lt::copy("abcdef", -5, 2), "ab");
    EXPECT_EQ(lt::copy("abcdef", 4, 300), "def");
    EXPECT_EQ(lt::copy("abcdef", 3, -1), "");
    EXPECT_EQ(lt::copy("abcdef", 3, 0), "");
    EXPECT_EQ(lt::copy("abcdef", 9, 2), "");
    EXPECT_EQ(lt::copy("", 1, 5), "");
}

TEST(LinkText, CopyCountsCharactersAndNeverSplitsOne) {
    EXPECT_EQ(lt::copy("日本語ab", 2, 2), "本語");
    EXPECT_EQ(lt::copy("aé", 2, 1), "é");
}

TEST(LinkText, BeforeAfterAndFromFirstFollowTheCopyRules) {
    EXPECT_EQ(lt::before("a<b<c", "<"), "a");
    EXPECT_EQ(lt::before("abc", "<"), ""); // position 0: a copy of -1 characters
    EXPECT_EQ(lt::fromFirst("xx mms://h", "mms"), "mms://h");
    EXPECT_EQ(lt::fromFirst("no marker", "mms"), "no marker");
    EXPECT_EQ(lt::after("a?url=xyz", "url="), "xyz");
    EXPECT_EQ(lt::after("abcdefg", "url="), "defg"); // copy from 0 + 4
}

TEST(LinkText, RemoveAllTakesEveryOccurrenceInOnePass) {
    EXPECT_EQ(lt::removeAll("a b  c", " "), "abc");
    EXPECT_EQ(lt::removeAll("xaaay", "aa"), "xay");
    EXPECT_EQ(lt::removeAll("abc", ""), "abc");
}

TEST(LinkText, PortEightyIsRemovedOnlyWhereItIsTheWholePort) {
    EXPECT_EQ(lt::withoutPortEighty("http://h:80/a.wmv"), "http://h/a.wmv");
    EXPECT_EQ(lt::withoutPortEighty("http://h:80?x=1"), "http://h?x=1");
    EXPECT_EQ(lt::withoutPortEighty("http://h:80#top"), "http://h#top");
    EXPECT_EQ(lt::withoutPortEighty("http://h:80"), "http://h");
    EXPECT_EQ(lt::withoutPortEighty("mms://h:80/live"), "mms://h/live");
    // Longer ports that start with 80 stay as they are.
    EXPECT_EQ(lt::withoutPortEighty("http://h:8080/a.wmv"), "http://h:8080/a.wmv");
    EXPECT_EQ(lt::withoutPortEighty("http://127.0.0.1:8090/media/a.wmv"),
              "http://127.0.0.1:8090/media/a.wmv");
    EXPECT_EQ(lt::withoutPortEighty("http://h:801"), "http://h:801");
    // No port, or another one.
    EXPECT_EQ(lt::withoutPortEighty("http://h/a.wmv"), "http://h/a.wmv");
    EXPECT_EQ(lt::withoutPortEighty("http://h:443/a"), "http://h:443/a");
    EXPECT_EQ(lt::withoutPortEighty(""), "");
    EXPECT_EQ(lt::withoutPortEighty(":80"), "");
    // Every whole ":80" goes, as the removal did before; partial ones stay.
    EXPECT_EQ(lt::withoutPortEighty("http://h:80/x:80/y:8000"), "http://h/x/y:8000");
}

TEST(LinkText, MmsBecomesHttp) {
    EXPECT_EQ(lt::mmsToHttp("mms://H/a.wmv"), "http://H/a.wmv");
    EXPECT_EQ(lt::mmsToHttp("http://H/a.wmv"), "http://H/a.wmv");
}

TEST(LinkText, StreamSuffixDependsOnTheQueryAndTheIfilmMarker) {
    EXPECT_EQ(lt::withStreamSuffix("http://H/a.wmv", "ifilm."), "http://H/a.wmv?MSWMExt=.asf");
    EXPECT_EQ(lt::withStreamSuffix("http://H/v.wmv?id=3", "ifilm."),
              "http://H/v.wmv?id=3&MSWMExt=.asf");
    EXPECT_EQ(lt::withStreamSuffix("http://www.ifilm.example/x?k=1", "ifilm."),
              "http://www.ifilm.example/x?k=1=.asf");
    EXPECT_EQ(lt::withStreamSuffix("", "ifilm."), "?MSWMExt=.asf");
}

TEST(LinkText, AFileLinkIsOpenedWithoutTheStreamSuffix) {
    EXPECT_EQ(lt::openableAddress("file:///m/a.wmv?MSWMExt=.asf"), "file:///m/a.wmv");
    EXPECT_EQ(lt::openableAddress("file:///m/a.wmv?x=1&MSWMExt=.asf"), "file:///m/a.wmv?x=1");
    EXPECT_EQ(lt::openableAddress("http://h/a.wmv?MSWMExt=.asf"), "http://h/a.wmv?MSWMExt=.asf");
    EXPECT_EQ(lt::openableAddress("/m/a.wmv"), "/m/a.wmv");
}

TEST(LinkText, QueryValuesArePercentEncoded) {
    EXPECT_EQ(lt::encodeQueryValue("Daily Show"), "Daily%20Show");
    EXPECT_EQ(lt::encodeQueryValue("a&b=c#d"), "a%26b%3Dc%23d");
    EXPECT_EQ(lt::encodeQueryValue("é"), "%C3%A9");
    EXPECT_EQ(lt::encodeQueryValue("safe-._~09"), "safe-._~09");
}
