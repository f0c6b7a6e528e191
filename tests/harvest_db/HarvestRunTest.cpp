// zorvex-harvest against the demo feeds on a web site of its own and the test
// catalogue: an empty catalogue filled, a second run that changes nothing, a
// changed title, failing feeds, two harvesters at once, and a catalogue that goes
// away in the middle of a harvest.

#include "HarvestSupport.h"

#include "catalogue/VideoRows.h"
#include "db/Query.h"
#include "ui/Picture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <thread>

namespace {

using harvesttest::HarvestProcess;
using harvesttest::HarvestTest;
using harvesttest::scalar;
using nlohmann::json;

class HarvestRun : public HarvestTest {
  protected:
    std::string demoConfig() { return site_->demoConfig(); }
};

TEST_F(HarvestRun, FillsAnEmptyCatalogueAndASecondRunChangesNothing) {
    ASSERT_EQ(rows(), 0);
    json first;
    ASSERT_EQ(harvest({"--config", demoConfig(), "--once"}, first), 0) << first.dump();
    EXPECT_EQ(first["new"], 11);
    EXPECT_EQ(first["failedFeeds"], 0);
    // The news and the Atom feed offer no pictures: a frame of each video serves,
    // except for the news' audio clip, which gets the placeholder.
    EXPECT_EQ(first["frames"], 7);
    ASSERT_EQ(first["feeds"].size(), 3u);
    EXPECT_EQ(first["feeds"][0]["title"], "Harbour City Newsroom");
    EXPECT_EQ(first["feeds"][0]["new"], 5);
    EXPECT_EQ(first["feeds"][1]["new"], 3);
    EXPECT_EQ(first["feeds"][2]["new"], 3);
    EXPECT_EQ(rows(), 11);
    EXPECT_EQ(rows("videopodcasthistory"), 11);

    // The program's own account reads the rows as the pages do, by position.
    db::Connection program(catalogueSettings());
    db::Query page(program, "halden");
    page.setSql("SELECT * FROM videosnap WHERE rsscat = 'Animals' AND rssfeedurl LIKE "
                "'%/feeds/wildlife.rss' ORDER BY rssitemtitle");
    page.open();
    ASSERT_EQ(page.recordCount(), 3u);
    const catalogue::Item byTitle = catalogue::itemByPosition(page);
    EXPECT_EQ(byTitle.title, "Dogs on the beach: wildlife rules for pets");
    EXPECT_EQ(byTitle.feedTitle, "Wild Lens");
    EXPECT_EQ(byTitle.mediaType, "video/flv");
    EXPECT_NE(page.field(catalogue::kMediaLinkColumn).text().find("item=wild-dogs"),
              std::string::npos);
    for (; !page.eof(); page.next()) {
        const ui::Picture thumbnail =
            ui::Picture::fromJpeg(page.field(catalogue::kPictureColumn).bytes(), "pictureblob");
        EXPECT_EQ(thumbnail.width(), 120);
        EXPECT_EQ(thumbnail.height(), 90);
    }
    // Every column a page, tab, tree or search reads is filled.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM videosnap WHERE rssfeedurl LIKE '%:" +
                     std::to_string(harvesttest::webPort()) +
                     "/feeds/%' AND (rsstitle = '' OR rsshostname = '' OR rsscat = '' OR "
                     "rssurl = '' OR rssitemtitle = '' OR rssdesc = '' OR medialink = '' OR "
                     "mediatype = '' OR rsspubdate = '' OR pictureblob IS NULL)"),
              "0");
    // The text library's search reads its rows by name.
    db::Query text(program, "halden");
    text.setSql("SELECT rssitemtitle,rssdesc,medialink,rsshostname,rsscat,mediatype,recnum,"
                "rsstitle FROM videopodcasthistory WHERE MATCH (rsstitle,rssdesc,rssurl,"
                "rssitemtitle) AGAINST ('+telescope' IN BOOLEAN MODE)");
    text.open();
    ASSERT_EQ(text.recordCount(), 1u);
    EXPECT_EQ(text.field("rsscat").text(), "Science");
    EXPECT_EQ(text.field("rsstitle").text(), "Orbit Notes");

    json second;
    ASSERT_EQ(harvest({"--config", demoConfig()}, second), 0) << second.dump();
    EXPECT_EQ(second["new"], 0);
    EXPECT_EQ(second["updated"], 0);
    EXPECT_EQ(second["unchanged"], 11);
    EXPECT_EQ(second["frames"], 0) << "nothing is fetched for stored items";
    EXPECT_EQ(rows(), 11);
}

TEST_F(HarvestRun, AChangedTitleUpdatesTheItem) {
    const std::string config =
        writeConfig("feed = " + feedUrl("gen.rss") + " | Test | | both\n", "frames = no\n");
    writeFeed("gen.rss", harvesttest::generatedFeed(
                             3, "127.0.0.1:" + std::to_string(harvesttest::webPort()), "First"));
    json summary;
    ASSERT_EQ(harvest({"--config", config}, summary), 0) << summary.dump();
    EXPECT_EQ(summary["new"], 3);
    const std::string recnum =
        scalar("SELECT recnum FROM videosnap WHERE medialink LIKE '%generated=1'");

    std::string changed = harvesttest::generatedFeed(
        3, "127.0.0.1:" + std::to_string(harvesttest::webPort()), "First");
    changed.replace(changed.find("First 1"), 7, "Renamed 1");
    writeFeed("gen.rss", changed);
    ASSERT_EQ(harvest({"--config", config}, summary), 0) << summary.dump();
    EXPECT_EQ(summary["new"], 0);
    EXPECT_EQ(summary["updated"], 1);
    EXPECT_EQ(summary["unchanged"], 2);
    EXPECT_EQ(scalar("SELECT rssitemtitle FROM videosnap WHERE recnum = " + recnum), "Renamed 1");
    EXPECT_EQ(scalar("SELECT rssitemtitle FROM videopodcasthistory WHERE medialink LIKE "
                     "'%generated=1'"),
              "Renamed 1");
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(duplicates(), 0);
    EXPECT_EQ(duplicates("videopodcasthistory"), 0);
}

TEST_F(HarvestRun, FailingFeedsFailTheRunAndTheOthersAreHarvested) {
    writeFeed("broken.rss", "<rss version=\"2.0\"><channel><item><title>x</channel></rss>");
    writeFeed("mixed.rss",
              "<rss version=\"2.0\"><channel><title>Mixed</title>"
              "<item><title>page only</title><link>http://a.example/</link></item>"
              "<item><title>local file</title><enclosure url=\"file:///etc/passwd\"/></item>"
              "<item><title>clip</title><enclosure type=\"video/mp4\" url=\"http://127.0.0.1:" +
                  std::to_string(harvesttest::webPort()) +
                  "/media/demo-clip.mp4?mixed=1\"/></item></channel></rss>");
    const std::string config =
        writeConfig("feed = " + feedUrl("missing.rss") + "\nfeed = " + feedUrl("broken.rss") +
                        "\nfeed = " + feedUrl("mixed.rss") + " | Test\n",
                    "frames = no\n");
    json summary;
    EXPECT_EQ(harvest({"--config", config}, summary), 1);
    ASSERT_EQ(summary["feeds"].size(), 3u);
    EXPECT_EQ(summary["failedFeeds"], 2);
    EXPECT_NE(summary["feeds"][0]["error"].get<std::string>().find("HTTP 404"), std::string::npos)
        << summary.dump();
    EXPECT_FALSE(summary["feeds"][1]["ok"]);
    EXPECT_TRUE(summary["feeds"][2]["ok"]) << summary.dump();
    EXPECT_EQ(summary["feeds"][2]["new"], 1);
    EXPECT_EQ(summary["feeds"][2]["skipped"], 2);
}

TEST_F(HarvestRun, TwoHarvestersAtOnceStoreEveryItemOnce) {
    const std::string host = "127.0.0.1:" + std::to_string(harvesttest::webPort());
    const std::string config =
        writeConfig("feed = " + feedUrl("gen.rss") + " | Test | | both\n", "frames = no\n");
    writeFeed("gen.rss", harvesttest::generatedFeed(400, host, "Before"));
    {
        HarvestProcess a({"--config", config, "--json"}, site_->file("a.json"));
        HarvestProcess b({"--config", config, "--json"}, site_->file("b.json"));
        EXPECT_EQ(a.wait(), 0) << a.output();
        EXPECT_EQ(b.wait(), 0) << b.output();
        const json ja = json::parse(a.output());
        const json jb = json::parse(b.output());
        // Between them every item was added; where both took an item for new at the
        // same moment, each may count the library row it added.
        EXPECT_GE(ja["new"].get<int>() + jb["new"].get<int>(), 400);
        EXPECT_EQ(ja["failed"], 0);
        EXPECT_EQ(jb["failed"], 0);
    }
    EXPECT_EQ(rows(), 400);
    EXPECT_EQ(rows("videopodcasthistory"), 400);
    EXPECT_EQ(duplicates(), 0);
    EXPECT_EQ(duplicates("videopodcasthistory"), 0);

    // Both run again on a feed whose every title changed: no update is lost.
    writeFeed("gen.rss", harvesttest::generatedFeed(400, host, "After"));
    {
        HarvestProcess a({"--config", config, "--json"}, site_->file("a.json"));
        HarvestProcess b({"--config", config, "--json"}, site_->file("b.json"));
        EXPECT_EQ(a.wait(), 0) << a.output();
        EXPECT_EQ(b.wait(), 0) << b.output();
    }
    EXPECT_EQ(rows(), 400);
    EXPECT_EQ(duplicates(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM videosnap WHERE medialink LIKE '%generated=%' AND "
                     "rssitemtitle LIKE 'After %'"),
              "400");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM videopodcasthistory WHERE medialink LIKE "
                     "'%generated=%' AND rssitemtitle LIKE 'After %'"),
              "400");
}

TEST_F(HarvestRun, ACatalogueThatGoesAwayIsCompletedByTheNextRun) {
    const std::string host = "127.0.0.1:" + std::to_string(harvesttest::webPort());
    const std::string config =
        writeConfig("feed = " + feedUrl("gen.rss") + " | Test | | both\n", "frames = no\n");
    constexpr int items = 4000;
    writeFeed("gen.rss", harvesttest::generatedFeed(items, host, "Item"));
    HarvestProcess run({"--config", config, "--json"}, site_->file("cut.json"));
    // Once the first rows are in, the catalogue goes away for the harvester: its
    // connections are cut and new ones refused.
    for (int i = 0; i < 6000 && rows() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    harvesttest::root().execute("ALTER USER 'harvester'@'127.0.0.1' ACCOUNT LOCK");
    harvesttest::root().execute("ALTER USER 'harvester'@'localhost' ACCOUNT LOCK");
    {
        db::Query sessions(harvesttest::root(), "halden");
        sessions.setSql("SELECT id FROM information_schema.processlist WHERE user = 'harvester'");
        sessions.open();
        for (; !sessions.eof(); sessions.next()) {
            try {
                harvesttest::root().execute("KILL CONNECTION " + sessions.field(0).text());
            } catch (const std::exception&) {
                // It ended by itself meanwhile.
            }
        }
    }
    const int status = run.wait();
    harvesttest::root().execute("ALTER USER 'harvester'@'127.0.0.1' ACCOUNT UNLOCK");
    harvesttest::root().execute("ALTER USER 'harvester'@'localhost' ACCOUNT UNLOCK");
    const long partial = rows();
    std::cout << "cut off after " << partial << " of " << items << " items\n";
    if (partial < items) {
        // It was cut off: the run says so.
        EXPECT_EQ(status, 1) << run.output();
        const json cut = json::parse(run.output());
        EXPECT_NE(cut["feeds"][0]["error"].get<std::string>().find("catalogue"), std::string::npos)
            << run.output();
    }
    json next;
    ASSERT_EQ(harvest({"--config", config}, next), 0) << next.dump();
    // An item cut off between its two rows counts as new again for its text row.
    EXPECT_GE(next["new"].get<long>(), items - partial);
    EXPECT_LE(next["new"].get<long>(), items - partial + 1);
    EXPECT_EQ(rows(), items);
    EXPECT_EQ(rows("videopodcasthistory"), items);
    EXPECT_EQ(duplicates(), 0);
    EXPECT_EQ(duplicates("videopodcasthistory"), 0);
}

TEST_F(HarvestRun, CommandLineFeedsAndMistakes) {
    json summary;
    // A URL on the command line replaces the configured feeds.
    const std::string config = writeConfig("feed = " + feedUrl("missing.rss") + "\n");
    ASSERT_EQ(harvest({"--config", config, feedUrl("science.atom")}, summary), 0) << summary.dump();
    EXPECT_EQ(summary["new"], 3);
    EXPECT_EQ(summary["feeds"][0]["title"], "Orbit Notes");

    const auto status = [&](const std::vector<std::string>& args) {
        HarvestProcess process(args, site_->file("out.txt"));
        return process.wait();
    };
    EXPECT_EQ(status({"--bogus"}), 2);
    EXPECT_EQ(status({"--once", "--every", "5", feedUrl("science.atom")}), 2);
    EXPECT_EQ(status({"--every", "0", feedUrl("science.atom")}), 2);
    EXPECT_EQ(status({"--config", site_->file("none.ini"), feedUrl("science.atom")}), 2);
    EXPECT_EQ(status({"--config", writeConfig("")}), 2); // no feeds at all
}

} // namespace
