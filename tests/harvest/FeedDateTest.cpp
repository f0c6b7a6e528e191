// Feed dates: RFC 822 as RSS writes them, RFC 3339 as Atom does.

#include "harvest/FeedDate.h"

#include <gtest/gtest.h>

namespace {

using harvest::formatDateTime;
using harvest::parseFeedDate;
using harvest::parseRfc3339;
using harvest::parseRfc822;

std::string utc(std::optional<std::time_t> when) {
    return when ? formatDateTime(*when) : std::string("none");
}

TEST(FeedDate, Rfc822WithZonesAndOffsets) {
    EXPECT_EQ(utc(parseRfc822("Wed, 02 Oct 2002 13:00:00 GMT")), "2002-10-02 13:00:00");
    EXPECT_EQ(utc(parseRfc822("Wed, 02 Oct 2002 15:00:00 +0200")), "2002-10-02 13:00:00");
    EXPECT_EQ(utc(parseRfc822("Tue, 04 Jun 2024 07:30:00 +1000")), "2024-06-03 21:30:00");
    EXPECT_EQ(utc(parseRfc822("02 Oct 2002 08:00:00 EST")), "2002-10-02 13:00:00");
    EXPECT_EQ(utc(parseRfc822("Sun, 2 Oct 2002 06:00 PDT")), "2002-10-02 13:00:00");
    EXPECT_EQ(utc(parseRfc822("Mon, 3 Jun 24 22:05 GMT")), "2024-06-03 22:05:00");
    EXPECT_EQ(utc(parseRfc822("  Thursday, 29 Feb 2024 23:59:59 -0030 ")), "2024-03-01 00:29:59");
    EXPECT_EQ(utc(parseRfc822("Wed, 02 Oct 2002 13:00:00 Z")), "2002-10-02 13:00:00");
}

TEST(FeedDate, Rfc822Refusals) {
    for (const char* bad :
         {"", "yesterday", "Wed, 31 Feb 2002 13:00:00 GMT", "Wed, 02 Foo 2002 13:00:00 GMT",
          "Wed, 02 Oct 2002 25:00:00 GMT", "Wed, 02 Oct 2002 13:00:00 +2599",
          "Wed, 02 Oct 2002 13:00:00 GMT x", "Wed, 02 Oct 2002", "Wed, 02 Oct 2002 13:00:00 Mars"})
        EXPECT_FALSE(parseRfc822(bad)) << bad;
}

TEST(FeedDate, Rfc3339) {
    EXPECT_EQ(utc(parseRfc3339("2002-10-02T10:00:00-05:00")), "2002-10-02 15:00:00");
    EXPECT_EQ(utc(parseRfc3339("2024-06-02T10:15:30.25+02:00")), "2024-06-02 08:15:30");
    EXPECT_EQ(utc(parseRfc3339("1985-04-12T23:20:50Z")), "1985-04-12 23:20:50");
    EXPECT_EQ(utc(parseRfc3339("2000-01-01t00:00:00z")), "2000-01-01 00:00:00");
    for (const char* bad : {"2002-10-02", "2002-10-02T10:00:00", "2002-13-02T10:00:00Z",
                            "2002-10-02T10:00Z", "02-10-02T10:00:00Z", "2002-10-02T10:00:00+5",
                            "2002-10-02T10:00:00.Z", "2001-02-29T00:00:00Z"})
        EXPECT_FALSE(parseRfc3339(bad)) << bad;
}

TEST(FeedDate, EitherForm) {
    EXPECT_EQ(utc(parseFeedDate("2002-10-02T10:00:00-05:00")), "2002-10-02 15:00:00");
    EXPECT_EQ(utc(parseFeedDate("Wed, 02 Oct 2002 13:00:00 GMT")), "2002-10-02 13:00:00");
    EXPECT_FALSE(parseFeedDate("soon"));
}

} // namespace
