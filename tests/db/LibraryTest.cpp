// Starting the database library: the failures a user can meet.

#include "support/TempWorkdir.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(Library, WaitingWithoutAStartIsAnError) {
    EXPECT_FALSE(db::libraryStarted());
    EXPECT_THROW(db::waitLibrary(), db::Error);
    db::Connection connection;
    EXPECT_THROW(connection.connect(), db::Error);
}

// The library stays usable for remote servers; only the embedded server is missing,
// and every embedded connection says where it could not start and why.
TEST(Library, AServerThatCannotStartFailsEmbeddedConnectionsWithItsCause) {
    testsupport::TempWorkdir workdir;
    db::startLibrary({"--datadir=./no-such-directory", "--skip-innodb"});
    db::startLibrary({"--datadir=."}); // a second start changes nothing
    EXPECT_TRUE(db::libraryStarted());
    EXPECT_NO_THROW(db::waitLibrary());
    const std::string directory = (std::filesystem::current_path() / "no-such-directory").string();
    EXPECT_EQ(db::embeddedDataDirectory(), directory);
    const std::string cause =
        "The bookmark store could not start in " + directory + " (No such file or directory): ";
    try {
        db::waitEmbeddedServer();
        FAIL() << "the embedded server reported a start it did not make";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), ::testing::StartsWith(cause));
        EXPECT_GT(std::string(error.what()).size(), cause.size()); // the server's complaint
        EXPECT_EQ(error.number(), 0);
    }

    db::ConnectionSettings settings;
    settings.embedded = true;
    settings.user = "root";
    db::Connection connection(settings);
    try {
        connection.connect();
        FAIL() << "an embedded connection opened without its server";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), ::testing::StartsWith(cause));
    }
    EXPECT_FALSE(connection.connected());
    db::endLibrary();
    EXPECT_FALSE(db::libraryStarted());
    EXPECT_THROW(db::startLibrary({"--datadir=."}), db::Error); // once per process
}

} // namespace
