// Reading feeds: the three formats, items without a video, and hostile documents
// (malformed XML, an entity bomb, external entities, a very long feed).

#include "harvest/Feed.h"
#include "harvest/FeedDate.h"

#include "support/TempDir.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace {

using harvest::FeedFormat;
using harvest::FeedInfo;
using harvest::FeedItem;
using harvest::ParseOutcome;

std::string feedPath(const std::string& name) {
    return std::string(ZORVEX_SOURCE_DIR) + "/tests/harvest/feeds/" + name;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

struct Parsed {
    ParseOutcome outcome;
    std::vector<FeedItem> items;
    std::vector<std::string> feedTitles; // the feed's title as each item saw it
};

Parsed parseFile(const std::string& name) {
    Parsed parsed;
    parsed.outcome =
        harvest::parseFeedFile(feedPath(name), [&](const FeedInfo& info, FeedItem&& item) {
            parsed.feedTitles.push_back(info.title);
            parsed.items.push_back(std::move(item));
        });
    return parsed;
}

TEST(Feed, Rss2WithEnclosures) {
    const Parsed p = parseFile("rss.xml");
    ASSERT_TRUE(p.outcome.ok) << p.outcome.error;
    EXPECT_EQ(p.outcome.info.format, FeedFormat::Rss);
    EXPECT_EQ(p.outcome.info.title, "Harbour City Newsroom");
    EXPECT_EQ(p.outcome.info.link, "http://news.harbourcity.example/");
    EXPECT_EQ(p.outcome.info.language, "en-au");
    EXPECT_EQ(p.outcome.info.editor, "desk@harbourcity.example (News Desk)");
    ASSERT_EQ(p.items.size(), 2u);
    EXPECT_EQ(p.feedTitles[0], "Harbour City Newsroom");

    const FeedItem& first = p.items[0];
    EXPECT_EQ(first.title, "Ferry strike & the morning rush");
    EXPECT_EQ(first.description, "Commuters scramble as ferries stop.");
    EXPECT_EQ(first.link, "http://news.harbourcity.example/ferry-strike");
    EXPECT_EQ(first.guid, "hc-1001");
    EXPECT_EQ(first.author, "ruth@harbourcity.example (Ruth Ellery)");
    EXPECT_EQ(first.categories, (std::vector<std::string>{"News", "Transport"}));
    EXPECT_EQ(first.pubDate, "Tue, 04 Jun 2024 07:30:00 +1000");
    ASSERT_TRUE(first.published);
    EXPECT_EQ(first.media.url, "http://media.harbourcity.example/ferry.mp4");
    EXPECT_EQ(first.media.type, "video/mp4");
    EXPECT_EQ(first.media.length, 1234567u);

    // A picture enclosure is the thumbnail, the audio the media.
    const FeedItem& second = p.items[1];
    EXPECT_EQ(second.author, "Capital Report Desk");
    EXPECT_EQ(second.media.url, "http://media.harbourcity.example/bridge.mp3");
    EXPECT_EQ(second.thumbnailUrl, "http://media.harbourcity.example/cover.jpg");
    EXPECT_TRUE(second.published);
}

TEST(Feed, MediaRssGroupsAndContents) {
    const Parsed p = parseFile("mrss.xml");
    ASSERT_TRUE(p.outcome.ok) << p.outcome.error;
    ASSERT_EQ(p.items.size(), 2u);
    const FeedItem& owls = p.items[0];
    EXPECT_EQ(owls.title, "Night owls of the valley");
    EXPECT_EQ(owls.description, "Two barn owls hunt by moonlight.");
    EXPECT_EQ(owls.media.url, "http://cdn.wildlens.example.net/owls-high.mp4"); // the default
    EXPECT_EQ(owls.media.width, 1280u);
    EXPECT_EQ(owls.media.height, 720u);
    EXPECT_EQ(owls.media.duration, 95u);
    EXPECT_EQ(owls.media.length, 40000000u);
    EXPECT_EQ(owls.thumbnailUrl, "http://cdn.wildlens.example.net/owls.jpg");
    ASSERT_FALSE(owls.categories.empty());
    EXPECT_EQ(owls.categories[0], "Animals");
    EXPECT_EQ(owls.keywords, "owls, night, wildlife");
    EXPECT_EQ(owls.author, "Hana Mori");
    EXPECT_EQ(owls.rating, "nonadult");

    const FeedItem& reef = p.items[1];
    EXPECT_EQ(reef.title, "Reef at dawn");
    EXPECT_EQ(reef.media.url, "http://cdn.wildlens.example.net/reef.flv");
    EXPECT_EQ(reef.media.medium, "video");
    EXPECT_EQ(reef.media.duration, 30u);
    EXPECT_EQ(reef.thumbnailUrl, "http://cdn.wildlens.example.net/reef.jpg");
}

TEST(Feed, AtomEnclosureLinks) {
    const Parsed p = parseFile("atom.xml");
    ASSERT_TRUE(p.outcome.ok) << p.outcome.error;
    EXPECT_EQ(p.outcome.info.format, FeedFormat::Atom);
    EXPECT_EQ(p.outcome.info.title, "Orbit Notes");
    EXPECT_EQ(p.outcome.info.link, "http://orbitnotes.example.net/");
    EXPECT_EQ(p.outcome.info.editor, "Priya Raman");
    ASSERT_EQ(p.items.size(), 2u);
    const FeedItem& launch = p.items[0];
    EXPECT_EQ(launch.title, "Launch window opens");
    EXPECT_EQ(launch.link, "http://orbitnotes.example.net/launch");
    EXPECT_EQ(launch.media.url, "http://orbitnotes.example.net/launch.mp4");
    EXPECT_EQ(launch.media.type, "video/mp4");
    EXPECT_EQ(launch.guid, "urn:orbit:launch");
    EXPECT_EQ(launch.description, "Countdown at the pad");
    EXPECT_EQ(launch.categories, (std::vector<std::string>{"Science"}));
    ASSERT_TRUE(launch.published);
    EXPECT_EQ(harvest::formatDateTime(*launch.published), "2024-06-02 08:15:30");

    // No enclosure: read, but without a media link; its date is the updated one.
    const FeedItem& notes = p.items[1];
    EXPECT_TRUE(notes.media.url.empty());
    EXPECT_EQ(notes.description, "Just words.");
    EXPECT_EQ(notes.pubDate, "2024-06-01T08:00:00Z");
}

TEST(Feed, ItemsWithoutAVideoHaveNoMediaLink) {
    const Parsed p = parseFile("no-media.xml");
    ASSERT_TRUE(p.outcome.ok) << p.outcome.error;
    ASSERT_EQ(p.items.size(), 3u);
    EXPECT_TRUE(p.items[0].media.url.empty());
    EXPECT_TRUE(p.items[1].media.url.empty());
    EXPECT_EQ(p.items[1].thumbnailUrl, "http://mixed.example/pic.png");
    EXPECT_EQ(p.items[2].media.url, "http://mixed.example/clip.wmv");
}

TEST(Feed, MalformedXmlEndsWithItsLine) {
    const Parsed p = parseFile("malformed.xml");
    EXPECT_FALSE(p.outcome.ok);
    EXPECT_NE(p.outcome.error.find("line "), std::string::npos) << p.outcome.error;
    // The reader works ahead of the items it hands out, so at most the items
    // before the fault come out, never one past it.
    ASSERT_LE(p.items.size(), 1u);
    if (!p.items.empty())
        EXPECT_EQ(p.items[0].title, "The first item is whole");
}

TEST(Feed, NotAFeed) {
    const ParseOutcome html = harvest::parseFeedText("<html><body>moved</body></html>",
                                                     [](const FeedInfo&, FeedItem&&) { FAIL(); });
    EXPECT_FALSE(html.ok);
    EXPECT_NE(html.error.find("not an RSS or Atom feed"), std::string::npos) << html.error;
    const ParseOutcome empty =
        harvest::parseFeedText("", [](const FeedInfo&, FeedItem&&) { FAIL(); });
    EXPECT_FALSE(empty.ok);
    const ParseOutcome garbage = harvest::parseFeedText(
        std::string("\xff\xfe\x00<rss", 7), [](const FeedInfo&, FeedItem&&) { FAIL(); });
    EXPECT_FALSE(garbage.ok);
}

TEST(Feed, EntityBombDoesNotExpand) {
    std::size_t longest = 0;
    const ParseOutcome outcome =
        harvest::parseFeedFile(feedPath("bomb.xml"), [&](const FeedInfo& info, FeedItem&& item) {
            longest =
                std::max({longest, info.title.size(), item.title.size(), item.description.size()});
        });
    // Either the parser refuses the document or the references stay unexpanded;
    // never a billion "lol"s.
    EXPECT_LT(longest, 100u);
    std::cout << "entity bomb: " << (outcome.ok ? "read unexpanded" : outcome.error) << "\n";
    if (outcome.ok)
        EXPECT_LT(outcome.info.title.size(), 100u);
}

// A loopback listener that counts the connections made to it.
class Listener {
  public:
    Listener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(::listen(fd_, 16), 0);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~Listener() { ::close(fd_); }
    int port() const { return port_; }
    int accepted() {
        int count = 0;
        for (int c; (c = ::accept(fd_, nullptr, nullptr)) >= 0; ++count)
            ::close(c);
        return count;
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

TEST(Feed, ExternalEntitiesAreNeitherReadNorFetched) {
    Listener listener;
    std::string xml = readFile(feedPath("external-entity.xml"));
    for (std::size_t at; (at = xml.find("LISTENER")) != std::string::npos;)
        xml.replace(at, 8, std::to_string(listener.port()));
    std::vector<FeedItem> items;
    FeedInfo seen;
    const ParseOutcome outcome =
        harvest::parseFeedText(xml, [&](const FeedInfo& info, FeedItem&& item) {
            seen = info;
            items.push_back(std::move(item));
        });
    EXPECT_EQ(listener.accepted(), 0);
    for (const FeedItem& item : items) {
        EXPECT_EQ(item.title.find("root:"), std::string::npos) << item.title;
        EXPECT_EQ(item.title, "Reads and");
    }
    EXPECT_EQ(seen.title.find("root:"), std::string::npos);
    if (outcome.ok)
        EXPECT_EQ(items.size(), 1u);
}

TEST(Feed, HundredThousandItemsStream) {
    testsupport::TempDir dir("zorvex-feed");
    const std::string path = dir.file("long.xml");
    {
        std::ofstream out(path, std::ios::binary);
        out << "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>Long</title>\n";
        for (int i = 0; i < 100000; ++i)
            out << "<item><title>Item " << i << "</title><guid>g" << i
                << "</guid><enclosure url=\"http://long.example/" << i
                << ".mp4\" type=\"video/mp4\"/></item>\n";
        out << "</channel></rss>\n";
    }
    std::size_t count = 0;
    bool inOrder = true;
    const ParseOutcome outcome =
        harvest::parseFeedFile(path, [&](const FeedInfo& info, FeedItem&& item) {
            inOrder = inOrder && info.title == "Long" &&
                      item.media.url == "http://long.example/" + std::to_string(count) + ".mp4";
            ++count;
        });
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(count, 100000u);
    EXPECT_EQ(outcome.items, 100000u);
    EXPECT_TRUE(inOrder);
}

TEST(Feed, PlainTextOfMarkup) {
    EXPECT_EQ(harvest::plainText("<p>One&nbsp;two</p>\n<p>three &amp; four</p>"),
              "One two three & four");
    EXPECT_EQ(harvest::plainText("a < b and c > d"), "a < b and c > d");
    EXPECT_EQ(harvest::plainText("caf&#233; &#x263A; &bogus; &#0;"), "café ☺ &bogus; &#0;");
    EXPECT_EQ(harvest::plainText("   "), "");
}

} // namespace
