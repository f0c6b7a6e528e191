// The program's catalogue account may read both databases and append usage rows,
// and nothing else.

#include "support/DatabaseTest.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Query.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::CatalogueTest;

constexpr int commandDenied = 1142;  // ER_TABLEACCESS_DENIED_ERROR
constexpr int databaseDenied = 1044; // ER_DBACCESS_DENIED_ERROR

TEST_F(CatalogueTest, ProgramAccountReadsBothDatabases) {
    db::Connection connection(catalogueSettings());
    db::Query halden(connection, "halden");
    db::Query backup(connection, "qzrbackup");
    for (const char* table :
         {"videosnap", "videopodcasthistory", "zorvex_global", "videokey", "videopath"}) {
        halden.setSql(std::string("SELECT * FROM ") + table + " LIMIT 0,1");
        EXPECT_NO_THROW(halden.open()) << table;
    }
    for (const char* table :
         {"videoqueryfeature", "videospecialfeature", "sidetab", "categories", "subcategories"}) {
        backup.setSql(std::string("SELECT * FROM ") + table + " LIMIT 0,1");
        EXPECT_NO_THROW(backup.open()) << table;
        EXPECT_FALSE(backup.eof()) << table;
    }
}

TEST_F(CatalogueTest, ProgramAccountAppendsUsageRowsByPosition) {
    db::Connection connection(catalogueSettings());
    db::Query usage(connection, "halden");
    const std::string marker = "test-host-" +
                               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                               "-" + workdir().filename().string();
    usage.beginAppend("videopath");
    usage.setField(1, "127.0.0.1");
    usage.setField(2, "Version 2.1 ");
    usage.setField(3, marker);
    usage.setField(4, "2024-05-06 07:08:09");
    usage.setField(5, "12 ms");
    EXPECT_GT(usage.post(), 0u);
    EXPECT_FALSE(usage.appending());

    db::Query check(connection, "halden");
    check.setSql("SELECT * FROM videopath WHERE computername = '" + connection.escape(marker) +
                 "'");
    check.open();
    ASSERT_EQ(check.recordCount(), 1u);
    EXPECT_EQ(check.field(2).text(), "Version 2.1 "); // the trailing blank is kept
    EXPECT_EQ(check.field(4).text(), "2024-05-06 07:08:09");
    EXPECT_EQ(check.field(5).text(), "12 ms");
}

// Each statement the account must not run, with the error number the server gives.
struct Refusal {
    const char* database;
    const char* sql;
    int number;
};

TEST_F(CatalogueTest, ProgramAccountCannotChangeAnythingElse) {
    const Refusal refusals[] = {
        {"halden", "UPDATE videosnap SET rsstitle = 'x' WHERE recnum = 1", commandDenied},
        {"halden", "DELETE FROM videosnap WHERE recnum = 1", commandDenied},
        {"halden", "DELETE FROM videopath", commandDenied},
        {"halden", "UPDATE videopath SET version = 'x'", commandDenied},
        {"halden", "INSERT INTO videosnap (rsstitle) VALUES ('x')", commandDenied},
        {"halden", "INSERT INTO zorvex_global (id, item, value) VALUES (99, 'x', 'y')",
         commandDenied},
        {"halden", "DROP TABLE videokey", commandDenied},
        {"halden", "CREATE TABLE intruder (a INT)", commandDenied},
        {"qzrbackup", "INSERT INTO sidetab (sidecaption, sidequery) VALUES ('x', 'y')",
         commandDenied},
        {"qzrbackup", "DELETE FROM categories", commandDenied},
        {"qzrbackup", "DROP TABLE sidetab", commandDenied},
        {"halden", "CREATE DATABASE intruder", databaseDenied},
        {"halden", "SELECT * FROM mysql.user", commandDenied},
    };
    db::Connection connection(catalogueSettings());
    for (const Refusal& refusal : refusals) {
        db::Query query(connection, refusal.database);
        query.setSql(refusal.sql);
        try {
            query.execSql();
            ADD_FAILURE() << "the program's account may run: " << refusal.sql;
        } catch (const db::Error& error) {
            EXPECT_EQ(error.number(), refusal.number) << refusal.sql << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find("denied"), std::string::npos) << error.what();
        }
    }

    // The append path is refused the same way on any other table.
    db::Query append(connection, "halden");
    append.beginAppend("videosnap");
    append.setField("rsstitle", "intruder");
    try {
        append.post();
        ADD_FAILURE() << "the program's account may append to videosnap";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.number(), commandDenied);
    }
}

} // namespace
