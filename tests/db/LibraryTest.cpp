// Starting the database library: the failures a user can meet.

#include "support/TempWorkdir.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"

#include <gtest/gtest.h>

namespace {

TEST(Library, WaitingWithoutAStartIsAnError) {
    EXPECT_FALSE(db::libraryStarted());
    EXPECT_THROW(db::waitLibrary(), db::Error);
    db::Connection connection;
    EXPECT_THROW(connection.connect(), db::Error);
}

TEST(Library, AServerThatCannotStartFailsEveryConnection) {
    testsupport::TempWorkdir workdir;
    db::startLibrary({"--datadir=./no-such-directory", "--skip-innodb"});
    db::startLibrary({"--datadir=."}); // a second start changes nothing
    EXPECT_TRUE(db::libraryStarted());
    EXPECT_THROW(db::waitLibrary(), db::Error);

    db::ConnectionSettings settings;
    settings.embedded = true;
    settings.user = "root";
    db::Connection connection(settings);
    EXPECT_THROW(connection.connect(), db::Error);
    EXPECT_FALSE(connection.connected());
    db::endLibrary();
    EXPECT_FALSE(db::libraryStarted());
    EXPECT_THROW(db::startLibrary({"--datadir=."}), db::Error); // once per process
}

} // namespace
