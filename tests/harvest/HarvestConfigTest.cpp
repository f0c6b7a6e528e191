// The harvester's configuration: its catalogue account, limits and feed list.

#include "harvest/HarvestConfig.h"

#include <gtest/gtest.h>

namespace {

using harvest::ConfigError;
using harvest::Library;
using harvest::parseHarvestConfig;

TEST(HarvestConfig, DefaultsReachTheDemoCatalogueAsTheHarvester) {
    const harvest::HarvestSettings s = parseHarvestConfig("", "empty.ini");
    EXPECT_EQ(s.catalogue.host, "127.0.0.1");
    EXPECT_EQ(s.catalogue.port, 3306u);
    EXPECT_EQ(s.catalogue.user, "harvester");
    EXPECT_EQ(s.catalogue.database, "halden");
    EXPECT_TRUE(s.feeds.empty());
    EXPECT_EQ(s.maxFeedBytes, 8u << 20);
    EXPECT_EQ(s.timeLimit.count(), 20000);
    EXPECT_TRUE(s.frames);
}

TEST(HarvestConfig, EveryKey) {
    const harvest::HarvestSettings s = parseHarvestConfig(
        "; the harvest\n[catalogue]\nhost = db.example\nport = 3310\nuser = feeder\n"
        "password = \"a ;b\"\ndatabase = other\nconnect_timeout = 5\n"
        "[harvest]  ; feeds\nparallel = 4\nper_host = 1\ntime_limit = 3\nmax_feed_mib = 100\n"
        "max_picture_mib = 2\nframes = no\n"
        "feed = http://a.example/rss | News | Alpha | image\n"
        "feed = http://b.example/atom ; a comment\n"
        "feed = http://c.example/feed?x=1;y=2 | | | text\n",
        "h.ini");
    EXPECT_EQ(s.catalogue.host, "db.example");
    EXPECT_EQ(s.catalogue.port, 3310u);
    EXPECT_EQ(s.catalogue.user, "feeder");
    EXPECT_EQ(s.catalogue.password, "a ;b");
    EXPECT_EQ(s.catalogue.database, "other");
    EXPECT_EQ(s.catalogue.connectTimeout.count(), 5);
    EXPECT_EQ(s.parallel, 4);
    EXPECT_EQ(s.perHost, 1);
    EXPECT_EQ(s.timeLimit.count(), 3000);
    EXPECT_EQ(s.maxFeedBytes, 100u << 20);
    EXPECT_EQ(s.maxPictureBytes, 2u << 20);
    EXPECT_FALSE(s.frames);
    ASSERT_EQ(s.feeds.size(), 3u);
    EXPECT_EQ(s.feeds[0].url, "http://a.example/rss");
    EXPECT_EQ(s.feeds[0].category, "News");
    EXPECT_EQ(s.feeds[0].title, "Alpha");
    EXPECT_EQ(s.feeds[0].library, Library::Image);
    EXPECT_EQ(s.feeds[1].url, "http://b.example/atom");
    EXPECT_EQ(s.feeds[1].category, "");
    EXPECT_EQ(s.feeds[1].library, Library::Both);
    EXPECT_EQ(s.feeds[2].url, "http://c.example/feed?x=1;y=2");
    EXPECT_EQ(s.feeds[2].library, Library::Text);
}

TEST(HarvestConfig, MistakesNameTheLine) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"[catalogue]\nport = 0\n", "h.ini:2: catalogue.port"},
        {"[catalogue]\nport = 33x\n", "not a whole number"},
        {"[other]\n", "h.ini:1: unknown section [other]"},
        {"[harvest]\ncolour = red\n", "h.ini:2: harvest.colour: unknown key"},
        {"[harvest]\nparallel = 2\nparallel = 3\n", "h.ini:3: harvest.parallel is given twice"},
        {"host = x\n", "outside a section"},
        {"[harvest]\nfeed = | News\n", "a feed needs its URL"},
        {"[harvest]\nfeed = http://a | b | c | video\n", "image, text or both"},
        {"[harvest]\nfeed = http://a | b | c | both | more\n", "at most four fields"},
        {"[harvest]\nframes = maybe\n", "not yes or no"},
        {"[harvest]\nmax_feed_mib = 5000\n", "not from 1 to 1024"},
        {"[catalogue]\npassword = \"open\n", "closing quote"},
        {"[harvest\n", "needs its ']'"},
        {"[harvest]\njust words\n", "expected key = value"},
    };
    for (const auto& c : cases) {
        try {
            parseHarvestConfig(c.text, "h.ini");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ConfigError& error) {
            EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos)
                << error.what();
        }
    }
}

TEST(HarvestConfig, MissingFileOrDirectory) {
    EXPECT_THROW(harvest::loadHarvestConfig("/nonexistent/harvest.ini"), ConfigError);
    EXPECT_THROW(harvest::loadHarvestConfig("/tmp"), ConfigError);
}

} // namespace
