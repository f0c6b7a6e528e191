// From a feed item to the row the catalogue stores: the columns the pages read,
// cut to their lengths, and the items that cannot be stored.

#include "harvest/CatalogueWriter.h"
#include "harvest/FeedDate.h"

#include "ui/Utf8.h"

#include <gtest/gtest.h>

namespace {

using harvest::FeedInfo;
using harvest::FeedItem;
using harvest::FeedSource;

FeedItem clip(const std::string& url) {
    FeedItem item;
    item.title = "Owls";
    item.description = "Two owls";
    item.link = "http://Wild.Example:8080/owls?x=1";
    item.media.url = url;
    return item;
}

constexpr std::time_t now = 1717500000; // 2024-06-04 11:20:00 UTC

TEST(Record, EveryColumnFromTheFeedAndItsSource) {
    FeedSource source;
    source.url = "http://wild.example/feed.rss";
    FeedInfo info;
    info.title = "Wild Lens";
    info.language = "en";
    info.editor = "Hana Mori";
    FeedItem item = clip("http://cdn.example/owls.mp4");
    item.pubDate = "Sat, 01 Jun 2024 18:00:00 GMT";
    item.published = harvest::parseFeedDate(item.pubDate);
    item.categories = {"Animals", "Birds"};
    item.guid = "g1";
    item.author = "Hana";
    item.media.duration = 95;
    item.media.length = 4000;
    item.media.width = 320;
    item.media.height = 240;
    item.thumbnailUrl = "http://cdn.example/owls.jpg";
    std::string why;
    const auto r = harvest::recordOf(source, info, item, now, why);
    ASSERT_TRUE(r) << why;
    EXPECT_EQ(r->feedTitle, "Wild Lens");
    EXPECT_EQ(r->host, "wild.example");
    EXPECT_EQ(r->editor, "Hana Mori");
    EXPECT_EQ(r->category, "Animals");
    EXPECT_EQ(r->feedUrl, "http://wild.example/feed.rss");
    EXPECT_EQ(r->siteUrl, "http://Wild.Example:8080/owls?x=1");
    EXPECT_EQ(r->language, "en");
    EXPECT_EQ(r->pubDate, "Sat, 01 Jun 2024 18:00:00 GMT");
    EXPECT_EQ(r->title, "Owls");
    EXPECT_EQ(r->description, "Two owls");
    EXPECT_EQ(r->keywords, "Animals, Birds");
    EXPECT_EQ(r->mediaLink, "http://cdn.example/owls.mp4");
    EXPECT_EQ(r->mediaType, "video/mp4"); // from the file name
    EXPECT_EQ(r->duration, 95u);
    EXPECT_EQ(r->width, 320u);
    EXPECT_EQ(r->dateTime, "2024-06-04 11:20:00"); // harvested now
    EXPECT_EQ(r->thumbnailUrl, "http://cdn.example/owls.jpg");

    // The source's category and title win over the feed's.
    source.category = "Nature";
    source.title = "My Wildlife";
    const auto mine = harvest::recordOf(source, info, item, now, why);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->category, "Nature");
    EXPECT_EQ(mine->feedTitle, "My Wildlife");
}

TEST(Record, ItemsThatCannotBeStored) {
    std::string why;
    EXPECT_FALSE(harvest::recordOf({}, {}, clip(""), now, why));
    EXPECT_EQ(why, "no media link");
    for (const char* link : {"file:///etc/passwd", "javascript:alert(1)", "/local/clip.mp4",
                             "data:video/mp4;base64,AAAA"}) {
        EXPECT_FALSE(harvest::recordOf({}, {}, clip(link), now, why)) << link;
        EXPECT_NE(why.find("not a link the player takes"), std::string::npos) << why;
    }
    EXPECT_FALSE(
        harvest::recordOf({}, {}, clip("http://x.example/" + std::string(2100, 'a')), now, why));
    for (const char* link : {"https://x.example/a.mp4", "mms://x.example/a.wmv",
                             "rtsp://x.example/a", "RTMP://x.example/live"})
        EXPECT_TRUE(harvest::recordOf({}, {}, clip(link), now, why)) << link;
}

TEST(Record, LongTextsAreCutByCharacters) {
    FeedItem item = clip("http://cdn.example/a.mp4");
    item.title = std::string(300, 'x');
    for (int i = 0; i < 200; ++i)
        item.title = "é" + item.title; // two bytes each
    std::string why;
    const auto r = harvest::recordOf({}, {}, item, now, why);
    ASSERT_TRUE(r);
    EXPECT_EQ(ui::utf8::length(r->title), 255u);
    EXPECT_EQ(r->title.substr(0, 2), "é");
    EXPECT_EQ(r->description, "Two owls");
}

TEST(Record, HostOfAUrl) {
    EXPECT_EQ(harvest::hostOf("http://user:pw@Example.ORG:80/x?y#z"), "example.org");
    EXPECT_EQ(harvest::hostOf("https://a.example"), "a.example");
    EXPECT_EQ(harvest::hostOf("http://[::1]:8080/"), "[::1]");
    EXPECT_EQ(harvest::hostOf("no scheme"), "");
}

} // namespace
