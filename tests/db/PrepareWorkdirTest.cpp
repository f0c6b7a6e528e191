// The install step, scripts/prepare-workdir, run as the user runs it: the store it
// makes is read by this process's embedded server, and running it again keeps the
// bookmarks.

#include "support/TempWorkdir.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct PipeClose {
    void operator()(FILE* pipe) const noexcept { pclose(pipe); }
};

// Runs the install step on `dir`; returns its standard output, or fails the test.
std::string prepareWorkdir(const fs::path& dir) {
    const std::string command = "ZORVEX_STORE_INSTALL='" ZORVEX_BINARY_DIR
                                "/zorvex-store-install' '" ZORVEX_SOURCE_DIR
                                "/scripts/prepare-workdir' '" +
                                dir.string() + "' 2>&1";
    std::unique_ptr<FILE, PipeClose> pipe(popen(command.c_str(), "r"));
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        output.append(buffer, n);
    const int status = pclose(pipe.release());
    EXPECT_EQ(status, 0) << output;
    return output;
}

long long bookmarkCount(db::Connection& connection) {
    db::Query query(connection, "Data");
    query.setSql("SELECT count(*) as total_records FROM Bookmark");
    query.open();
    return query.field("total_records").toInt();
}

TEST(PrepareWorkdir, MakesAWorkingDirectoryAndKeepsItsBookmarks) {
    testsupport::TempWorkdir workdir;
    const std::string first = prepareWorkdir(workdir.path());
    EXPECT_THAT(first, HasSubstr("(0 bookmarks)"));
    EXPECT_TRUE(fs::is_directory(workdir.path() / "Data"));
    EXPECT_TRUE(fs::is_regular_file(workdir.path() / "charsets" / "Index.xml"));
    EXPECT_GT(fs::file_size(workdir.path() / "errmsg.sys"), 0u);
    EXPECT_EQ(fs::file_size(workdir.path() / "noimage.jpg"),
              fs::file_size(fs::path(ZORVEX_SOURCE_DIR) / "demo" / "noimage.jpg"));

    // The program's side: the embedded server started here finds the store.
    db::startLibrary(db::bookmarkStoreOptions());
    {
        db::ConnectionSettings settings;
        settings.embedded = true;
        settings.user = "root";
        settings.database = "Data";
        db::Connection connection(settings);
        connection.connect();
        EXPECT_EQ(bookmarkCount(connection), 0);
        db::Query add(connection, "Data");
        add.beginAppend("Bookmark");
        add.setField("medialink", "file:///media/kept.wmv");
        add.setField("rssitemtitle", "kept");
        add.setFieldFromFile(7, "noimage.jpg");
        add.post();
        EXPECT_EQ(bookmarkCount(connection), 1);
    }
    db::endLibrary(); // releases the store before the install step opens it again

    const std::string second = prepareWorkdir(workdir.path());
    EXPECT_THAT(second, HasSubstr("(1 bookmarks)"));
}

TEST(PrepareWorkdir, RefusesWithoutADirectoryArgument) {
    const std::string command = "'" ZORVEX_SOURCE_DIR "/scripts/prepare-workdir' >/dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
}

} // namespace
