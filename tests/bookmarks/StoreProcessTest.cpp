// The bookmark store across processes: a process killed in the middle of its
// inserts, a second process on the same working directory, the install step's
// conversion of an earlier table, and a working directory without the store.

#include "support/DatabaseTest.h"
#include "support/TempWorkdir.h"

#include "bookmarks/BookmarkStore.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

struct PipeClose {
    void operator()(FILE* pipe) const noexcept { pclose(pipe); }
};

// Runs `command` through popen; returns its output and sets `status`.
std::string run(const std::string& command, int& status) {
    std::unique_ptr<FILE, PipeClose> pipe(popen((command + " 2>&1").c_str(), "r"));
    if (!pipe)
        return {};
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        output.append(buffer, n);
    status = pclose(pipe.release());
    return output;
}

std::string install(const fs::path& dir, const fs::path& sql) {
    int status = -1;
    const std::string out = run("'" ZORVEX_BINARY_DIR "/zorvex-store-install' '" + dir.string() +
                                    "' --sql '" + sql.string() + "'",
                                status);
    EXPECT_EQ(status, 0) << out;
    return out;
}

db::ConnectionSettings storeSettings() {
    db::ConnectionSettings s;
    s.embedded = true;
    s.host = "localhost";
    s.user = "root";
    s.database = "Data";
    return s;
}

std::string scalar(db::Connection& c, const std::string& sql) {
    db::Query q(c, "Data");
    q.setSql(sql);
    q.open();
    return q.eof() ? std::string() : q.field(0).text();
}

// What CHECK TABLE says of the table: its status texts.
std::vector<std::string> check(db::Connection& c) {
    db::Query q(c, "Data");
    q.setSql("CHECK TABLE Bookmark");
    q.open();
    std::vector<std::string> out;
    for (; !q.eof(); q.next())
        out.push_back(q.field("Msg_type").text() + ": " + q.field("Msg_text").text());
    return out;
}

TEST(StoreProcess, AKilledWriterLeavesAStoreThatOpensWithEveryReturnedInsert) {
    testsupport::TempWorkdir workdir;
    workdir.copyInstallFiles();
    install(workdir.path(), fs::path(ZORVEX_SOURCE_DIR) / "demo" / "bookmark.sql");

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(ZORVEX_STORE_WRITER, "zorvex-store-writer", workdir.path().c_str(), "insert", "1000",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::unique_ptr<FILE, int (*)(FILE*)> lines(fdopen(out[0], "r"), &fclose);
    std::set<int> returned;
    char line[64];
    int index = 0;
    while (std::fgets(line, sizeof line, lines.get())) {
        if (std::sscanf(line, "stored %d", &index) == 1)
            returned.insert(index);
        if (returned.size() == 200)
            kill(child, SIGKILL); // in the middle of the inserts
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the writer finished its 1,000 inserts before it was killed";
    ASSERT_GE(returned.size(), 200u);
    ASSERT_LT(returned.size(), 1000u);

    // This process opens the store as the program would.
    db::startLibrary(db::bookmarkStoreOptions());
    {
        db::Connection store(storeSettings());
        store.connect();
        EXPECT_THAT(check(store), ::testing::Contains("status: OK"));
        db::Query rows(store, "Data");
        rows.setSql("SELECT medialink FROM Bookmark");
        rows.open();
        std::set<std::string> links;
        for (; !rows.eof(); rows.next())
            links.insert(rows.field("medialink").text());
        for (int i : returned)
            EXPECT_TRUE(
                links.count("http://127.0.0.1:8090/media/killed-" + std::to_string(i) + ".wmv"))
                << "insert " << i << " returned but is missing";
        // At most the insert that was running when the process died comes on top.
        EXPECT_LE(links.size(), returned.size() + 1);
        // And the store takes new bookmarks.
        bookmarks::BookmarkStore page;
        page.open();
        bookmarks::NewBookmark b;
        b.mediaLink = "http://127.0.0.1:8090/media/after.wmv";
        b.addedAt = bookmarks::BookmarkStore::now();
        b.picture = "noimage.jpg";
        page.insert(b);
        EXPECT_EQ(page.count(), static_cast<long long>(links.size()) + 1);
        page.close();
    }
    db::endLibrary();
}

class SecondProcess : public testsupport::WorkdirTest {};

TEST_F(SecondProcess, FindsTheStoreInUseAndStillReachesTheCatalogue) {
    bookmarks::BookmarkStore store;
    store.open();
    bookmarks::NewBookmark b;
    b.mediaLink = "http://127.0.0.1:8090/media/mine.wmv";
    b.addedAt = bookmarks::BookmarkStore::now();
    b.picture = "noimage.jpg";
    store.insert(b);

    const char* host = std::getenv("ZORVEX_TEST_CATALOGUE_HOST");
    const char* port = std::getenv("ZORVEX_TEST_CATALOGUE_PORT");
    int status = -1;
    const std::string out =
        run(std::string("'") + ZORVEX_STORE_WRITER + "' '" + workdir().string() + "' probe " +
                (host && *host ? host : "127.0.0.1") + " " + (port && *port ? port : "3307"),
            status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_THAT(out, HasSubstr("store error: The bookmark store in " + workdir().string() +
                               " is in use by another Zorvex"));
    EXPECT_THAT(out, HasSubstr("catalogue: "));
    EXPECT_THAT(out, Not(HasSubstr("catalogue error")));

    // This process's store is as it was.
    EXPECT_EQ(store.count(), 1);
    db::Connection c(storeSettings());
    EXPECT_THAT(check(c), ::testing::Contains("status: OK"));
    store.close();
}

TEST(StoreInstall, ConvertsAnEarlierTableInPlaceKeepingTheOldestOfEachLink) {
    testsupport::TempWorkdir workdir;
    workdir.copyInstallFiles();
    // The table of an earlier install: MyISAM, and (from a time before its key)
    // two rows that share a link.
    const fs::path old = workdir.path() / "old.sql";
    std::ofstream(old) << R"(
CREATE DATABASE IF NOT EXISTS `Data` CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
USE `Data`;
CREATE TABLE IF NOT EXISTS `Bookmark` (
    `medialink` TEXT CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NOT NULL DEFAULT '',
    `rssdesc` TEXT, `rssurl` TEXT, `mediatype` VARCHAR(255) NOT NULL DEFAULT '',
    `recnum` INT UNSIGNED NOT NULL AUTO_INCREMENT, `rsstitle` TEXT, `rssitemtitle` TEXT,
    `pictureblob` MEDIUMBLOB, `datetimein` DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
    PRIMARY KEY (`recnum`), KEY `bookmark_added` (`datetimein`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4;
INSERT INTO Bookmark (medialink, rssitemtitle, datetimein, pictureblob) VALUES
    ('http://a.example/1.wmv', 'newer copy', '2024-01-03 10:00:00', 'c'),
    ('http://a.example/1.wmv', 'oldest', '2024-01-01 10:00:00', 'a'),
    ('http://a.example/2.wmv', 'other', '2024-01-02 10:00:00', 'b'),
    ('http://A.example/1.wmv', 'case differs', '2024-01-04 10:00:00', 'd');
)";
    const std::string converted = install(workdir.path(), old);
    EXPECT_THAT(converted, HasSubstr("dropping bookmark 1 \"newer copy\""));
    EXPECT_THAT(converted, HasSubstr("1 duplicate(s) dropped"));
    EXPECT_THAT(converted, HasSubstr("(3 bookmarks)"));
    // Run again with the current script: nothing more to do, nothing lost.
    const std::string again =
        install(workdir.path(), fs::path(ZORVEX_SOURCE_DIR) / "demo" / "bookmark.sql");
    EXPECT_THAT(again, Not(HasSubstr("converted")));
    EXPECT_THAT(again, HasSubstr("(3 bookmarks)"));

    db::startLibrary(db::bookmarkStoreOptions());
    {
        db::Connection c(storeSettings());
        EXPECT_EQ(scalar(c, "SELECT ENGINE FROM information_schema.TABLES WHERE "
                            "TABLE_SCHEMA = 'Data' AND TABLE_NAME = 'Bookmark'"),
                  "Aria");
        EXPECT_THAT(scalar(c, "SELECT CREATE_OPTIONS FROM information_schema.TABLES WHERE "
                              "TABLE_SCHEMA = 'Data' AND TABLE_NAME = 'Bookmark'"),
                    HasSubstr("transactional=1"));
        EXPECT_EQ(scalar(c, "SELECT group_concat(rssitemtitle ORDER BY datetimein) FROM Bookmark"),
                  "oldest,other,case differs");
        db::Query all(c, "Data");
        all.setSql("SELECT * FROM Bookmark ORDER BY datetimein LIMIT 0,16");
        all.open();
        EXPECT_EQ(all.fieldName(7), "pictureblob");
        EXPECT_EQ(all.field(7).text(), "a");
        // The key still refuses a second copy of a link.
        bookmarks::BookmarkStore store;
        store.open();
        bookmarks::NewBookmark b;
        b.mediaLink = "http://a.example/2.wmv";
        b.addedAt = bookmarks::BookmarkStore::now();
        b.picture = "noimage.jpg";
        try {
            store.insert(b);
            ADD_FAILURE() << "a duplicate was stored";
        } catch (const db::Error& e) {
            EXPECT_EQ(e.number(), db::duplicateEntry) << e.what();
            EXPECT_THAT(e.what(), HasSubstr("Duplicate entry"));
        }
        EXPECT_EQ(store.count(), 3);
        store.close();
    }
    db::endLibrary();
}

class NoStore : public testsupport::WorkdirTest {
  protected:
    NoStore() : WorkdirTest(Layout::WithoutStore) {}
};

TEST_F(NoStore, TheFirstOperationReportsTheUnknownDatabase) {
    bookmarks::BookmarkStore store;
    try {
        store.open();
        store.count();
        ADD_FAILURE() << "a store without Data opened";
    } catch (const db::Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("Unknown database"));
    }
    EXPECT_FALSE(fs::exists(workdir() / "Data"));
}

} // namespace
