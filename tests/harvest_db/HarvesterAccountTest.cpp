// The harvester's catalogue account reads, adds and updates the items of the two
// libraries, and nothing else.

#include "HarvestSupport.h"

#include "db/Error.h"
#include "db/Query.h"

#include <gtest/gtest.h>

namespace {

using harvesttest::harvesterSettings;

constexpr int commandDenied = 1142;  // ER_TABLEACCESS_DENIED_ERROR
constexpr int databaseDenied = 1044; // ER_DBACCESS_DENIED_ERROR

class HarvesterAccount : public testsupport::CatalogueTest {
  protected:
    void TearDown() override {
        harvesttest::root().execute(
            "DELETE FROM videosnap WHERE rssfeedurl = 'http://account.test/feed'");
        harvesttest::root().execute(
            "DELETE FROM videopodcasthistory WHERE rssurl = 'http://account.test/feed'");
        harvesttest::closeRoot();
        CatalogueTest::TearDown();
    }
};

TEST_F(HarvesterAccount, AddsAndUpdatesItemsOfBothLibraries) {
    db::Connection connection(harvesterSettings());
    connection.connect();
    EXPECT_EQ(connection.execute(
                  "INSERT INTO videosnap (rsstitle, rssfeedurl, medialink, harvestkey) VALUES "
                  "('t', 'http://account.test/feed', 'http://account.test/a.mp4', "
                  "UNHEX(SHA2('http://account.test/a.mp4',256)))"),
              1u);
    EXPECT_EQ(connection.execute("UPDATE videosnap SET rsstitle = 'u' WHERE rssfeedurl = "
                                 "'http://account.test/feed'"),
              1u);
    EXPECT_EQ(connection.execute(
                  "INSERT INTO videopodcasthistory (rsstitle, rssurl, medialink, harvestkey) "
                  "VALUES ('t', 'http://account.test/feed', 'http://account.test/a.mp4', "
                  "UNHEX(SHA2('http://account.test/a.mp4',256)))"),
              1u);
    // The same link again is the same item: an upsert updates it.
    EXPECT_EQ(connection.execute(
                  "INSERT INTO videopodcasthistory (rsstitle, rssurl, medialink, harvestkey) "
                  "VALUES ('v', 'http://account.test/feed', 'http://account.test/a.mp4', "
                  "UNHEX(SHA2('http://account.test/a.mp4',256))) ON DUPLICATE KEY UPDATE "
                  "rsstitle = VALUES(rsstitle)"),
              2u);
    db::Query check(connection, "halden");
    check.setSql("SELECT rsstitle FROM videopodcasthistory WHERE rssurl = "
                 "'http://account.test/feed'");
    check.open();
    ASSERT_EQ(check.recordCount(), 1u);
    EXPECT_EQ(check.field(0).text(), "v");
}

struct Refusal {
    const char* database;
    const char* sql;
    int number;
};

TEST_F(HarvesterAccount, CannotChangeAnythingElse) {
    const Refusal refusals[] = {
        {"halden", "DELETE FROM videosnap WHERE recnum = 1", commandDenied},
        {"halden", "DELETE FROM videopodcasthistory WHERE recnum = 1", commandDenied},
        {"halden", "TRUNCATE TABLE videosnap", commandDenied},
        {"halden", "DROP TABLE videopodcasthistory", commandDenied},
        {"halden", "ALTER TABLE videosnap DROP KEY videosnap_harvestkey", commandDenied},
        {"halden", "SELECT * FROM zorvex_global", commandDenied},
        {"halden", "INSERT INTO zorvex_global (id, item, value) VALUES (99, 'x', 'y')",
         commandDenied},
        {"halden", "INSERT INTO videopath (version) VALUES ('x')", commandDenied},
        {"halden", "UPDATE videokey SET host = 'x'", commandDenied},
        {"halden", "CREATE TABLE intruder (a INT)", commandDenied},
        {"halden", "SELECT * FROM qzrbackup.sidetab", commandDenied},
        {"halden", "INSERT INTO qzrbackup.sidetab (sidecaption, sidequery) VALUES ('x', 'y')",
         commandDenied},
        {"halden", "UPDATE qzrbackup.categories SET catname = 'x'", commandDenied},
        {"qzrbackup", "SELECT 1", databaseDenied}, // not even the database may be chosen
        {"halden", "CREATE DATABASE intruder", databaseDenied},
        {"halden", "SELECT * FROM mysql.user", commandDenied},
    };
    db::Connection connection(harvesterSettings());
    for (const Refusal& refusal : refusals) {
        db::Query query(connection, refusal.database);
        query.setSql(refusal.sql);
        try {
            query.execSql();
            ADD_FAILURE() << "the harvester's account may run: " << refusal.sql;
        } catch (const db::Error& error) {
            EXPECT_EQ(error.number(), refusal.number) << refusal.sql << ": " << error.what();
        }
    }
}

TEST_F(HarvesterAccount, ProgramAccountStillCannotWriteItems) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    query.setSql("INSERT INTO videosnap (rsstitle, harvestkey) VALUES ('x', UNHEX(SHA2('x',256)))");
    try {
        query.execSql();
        ADD_FAILURE() << "the program's account may insert items";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.number(), commandDenied);
    }
}

} // namespace
