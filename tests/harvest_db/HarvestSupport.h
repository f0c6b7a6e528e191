#pragma once
// What the harvester's catalogue tests share: the harvester's account and root on
// the test catalogue, the demo web site serving the demo feeds (and feeds a test
// writes) on the harvest tests' own port, and running the zorvex-harvest program.

#include "support/DatabaseTest.h"
#include "support/TempDir.h"

#include "db/Connection.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

namespace harvesttest {

/// The harvester's account on the test catalogue, database halden.
db::ConnectionSettings harvesterSettings();

/// Root on the test catalogue through its socket, database halden.
db::Connection& root();
/// Closes root's connection; before the database library ends.
void closeRoot();
/// The first column of the first row of `sql` run as root; "" for no row.
std::string scalar(const std::string& sql);

/// The port of the harvest tests' web site (ZORVEX_TEST_HARVEST_WEB_PORT, else 8105).
int webPort();

/// A running zorvex-harvest: its exit status and output once it ends.
class HarvestProcess {
  public:
    HarvestProcess(const std::vector<std::string>& args, const std::string& outputFile);
    ~HarvestProcess();
    /// Waits for the end; returns the exit status (-1 when killed by a signal).
    int wait();
    /// Standard output, after wait().
    std::string output() const;

  private:
    int pid_ = -1;
    int status_ = -2;
    std::string outputFile_;
};

/// A web site of the harvest tests: the demo feeds (their links turned to this
/// site) under /feeds/, the demo clips and stills under /media/, and harvester
/// configurations for them. Rows of earlier runs of its feeds are removed when it
/// starts and when it stops.
class HarvestSite {
  public:
    /// Starts the site; records a test failure when it cannot.
    HarvestSite();
    ~HarvestSite();
    HarvestSite(const HarvestSite&) = delete;
    HarvestSite& operator=(const HarvestSite&) = delete;

    bool running() const { return running_; }
    std::string feedUrl(const std::string& name) const;
    /// Writes a feed file the site serves as /feeds/NAME.
    void writeFeed(const std::string& name, const std::string& xml) const;
    /// A configuration with the catalogue of the tests and `feedLines` ("feed = ...").
    std::string writeConfig(const std::string& feedLines, const std::string& extra = "") const;
    /// The demo feeds as the demo configuration lists them.
    std::string demoConfig() const;
    /// Runs the program to its end with --json; returns its exit status, the summary
    /// in `summary`.
    int harvest(const std::vector<std::string>& args, nlohmann::json& summary) const;
    /// Rows this site's feeds harvested into `table`.
    long rows(const std::string& table = "videosnap") const;
    /// Groups of rows of this site that share a media link.
    long duplicates(const std::string& table = "videosnap") const;
    std::string file(const std::string& name) const { return dir_.file(name); }

  private:
    void removeRows() const;

    testsupport::TempDir dir_{"zorvex-harvest-test"};
    std::string siteRoot_;
    bool running_ = false;
};

/// The catalogue fixture with a harvest site.
class HarvestTest : public testsupport::CatalogueTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string feedUrl(const std::string& name) const { return site_->feedUrl(name); }
    void writeFeed(const std::string& name, const std::string& xml) const {
        site_->writeFeed(name, xml);
    }
    std::string writeConfig(const std::string& feedLines, const std::string& extra = "") const {
        return site_->writeConfig(feedLines, extra);
    }
    int harvest(const std::vector<std::string>& args, nlohmann::json& summary) const {
        return site_->harvest(args, summary);
    }
    long rows(const std::string& table = "videosnap") const { return site_->rows(table); }
    long duplicates(const std::string& table = "videosnap") const {
        return site_->duplicates(table);
    }

    std::unique_ptr<HarvestSite> site_;
};

/// A Media RSS feed of `count` items on `host`, titles prefixed with `titlePrefix`;
/// every item without a picture (thumbnails come from frames or the placeholder).
std::string generatedFeed(int count, const std::string& host, const std::string& titlePrefix);

} // namespace harvesttest
