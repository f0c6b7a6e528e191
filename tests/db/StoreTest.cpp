// The bookmark store: the embedded server in the working directory, with the
// table the install step creates.

#include "support/DatabaseTest.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

using ::testing::HasSubstr;
using testsupport::WorkdirTest;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class StoreTest : public WorkdirTest {
  protected:
    long long count(db::Connection& connection) {
        db::Query query(connection, "Data");
        query.setSql("SELECT count(*) as total_records FROM Bookmark");
        query.open();
        return query.field("total_records").toInt();
    }

    // Appends a bookmark as the program does: by name, the picture by position.
    std::uint64_t add(db::Connection& connection, const std::string& link,
                      const std::string& title) {
        db::Query query(connection, "Data");
        query.beginAppend("Bookmark");
        query.setFieldFromFile(7, "noimage.jpg");
        query.setField("rssdesc", "A description of " + title);
        query.setField("datetimein", "2024-06-01 10:00:00");
        query.setField("rsstitle", "Demo Feed");
        query.setField("rssitemtitle", title);
        query.setField("rssurl", "http://site.example/" + title);
        query.setField("medialink", link);
        query.setField("mediatype", "video/x-ms-wmv");
        return query.post();
    }
};

TEST_F(StoreTest, OpensInTheWorkingDirectoryWithTheStoreOptions) {
    const std::filesystem::path before = std::filesystem::current_path();
    db::Connection connection(storeSettings());
    connection.connect();
    EXPECT_EQ(std::filesystem::current_path(), before); // the server leaves it alone

    db::Query query(connection, "Data");
    query.setSql("SELECT @@datadir AS datadir, @@default_storage_engine AS engine, "
                 "(SELECT SUPPORT FROM information_schema.ENGINES WHERE ENGINE = 'InnoDB') "
                 "AS innodb");
    query.open();
    EXPECT_EQ(std::filesystem::path(query.field("datadir").text()).lexically_normal(),
              (workdir() / "").lexically_normal());
    EXPECT_NE(query.field("engine").text(), "InnoDB");
    EXPECT_EQ(query.field("innodb").variantText(), "NO");
    EXPECT_EQ(count(connection), 0);
    EXPECT_TRUE(std::filesystem::is_directory(workdir() / "Data"));
}

// The server's own defaults would hold about 30 MB of the process for caches a
// table of bookmarks never fills.
TEST_F(StoreTest, RunsWithCachesSizedForABookmarkStore) {
    db::Connection connection(storeSettings());
    db::Query query(connection, "Data");
    query.setSql("SELECT @@key_buffer_size AS k, @@aria_pagecache_buffer_size AS a, "
                 "@@table_open_cache AS t, @@aria_log_file_size AS l");
    query.open();
    EXPECT_EQ(query.field("k").toInt(), 1 << 20);
    EXPECT_EQ(query.field("a").toInt(), 1 << 20);
    EXPECT_EQ(query.field("t").toInt(), 64);
    // The Aria log's files stay small, so purged ones leave no large file behind.
    EXPECT_EQ(query.field("l").toInt(), 16 << 20);
}

TEST_F(StoreTest, BookmarkTableHasThePictureInTheEighthColumn) {
    db::Connection connection(storeSettings());
    db::Query query(connection, "Data");
    query.setSql("SELECT * FROM Bookmark LIMIT 0,16");
    query.open();
    ASSERT_EQ(query.fieldCount(), 10);
    std::set<std::string> names;
    for (int i = 0; i < query.fieldCount(); ++i)
        names.insert(query.fieldName(i));
    EXPECT_EQ(names, (std::set<std::string>{"medialink", "rssdesc", "rssurl", "mediatype", "recnum",
                                            "rsstitle", "rssitemtitle", "datetimein", "pictureblob",
                                            "medialinkkey"}));
    EXPECT_EQ(query.fieldName(7), "pictureblob");
}

TEST_F(StoreTest, InsertedBookmarksAreCountedAndReadBack) {
    db::Connection connection(storeSettings());
    add(connection, "file:///media/one.wmv", "one");
    add(connection, "file:///media/two.wmv", "two");
    EXPECT_EQ(count(connection), 2);

    db::Query page(connection, "Data");
    page.setSql("SELECT * FROM Bookmark ORDER BY datetimein LIMIT 0,16");
    page.open();
    ASSERT_EQ(page.recordCount(), 2u);
    const std::string picture = readFile("noimage.jpg");
    for (; !page.eof(); page.next()) {
        EXPECT_EQ(page.field(7).bytes(), picture);
        page.field(7).saveToFile("book1.jpg");
        EXPECT_EQ(readFile("book1.jpg"), picture);
        EXPECT_EQ(page.field("mediatype").text(), "video/x-ms-wmv");
        EXPECT_EQ(page.field("datetimein").text(), "2024-06-01 10:00:00");
    }
}

TEST_F(StoreTest, SecondCopyOfAVideoIsRefusedWithDuplicateEntry) {
    db::Connection connection(storeSettings());
    add(connection, "http://media.example/clip.wmv", "first title");
    try {
        // The same video under another title and description is still the same video.
        add(connection, "http://media.example/clip.wmv", "second title");
        FAIL() << "a second copy of the same video was stored";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.number(), db::duplicateEntry);
        EXPECT_THAT(error.what(), HasSubstr("Duplicate entry"));
    }
    EXPECT_EQ(count(connection), 1);

    // Links differing only in case are different videos.
    EXPECT_NO_THROW(add(connection, "http://media.example/CLIP.wmv", "first title"));
    EXPECT_EQ(count(connection), 2);
}

TEST_F(StoreTest, RecordNumbersAreDistinctAndNotReused) {
    db::Connection connection(storeSettings());
    std::set<std::uint64_t> recnums;
    for (int i = 0; i < 5; ++i)
        recnums.insert(add(connection, "file:///media/" + std::to_string(i) + ".asf",
                           "video " + std::to_string(i)));
    EXPECT_EQ(recnums.size(), 5u);
    EXPECT_EQ(recnums.count(0), 0u);

    // The delete the bookmark page runs: the number in double quotes.
    const std::uint64_t last = *recnums.rbegin();
    db::Query remove(connection, "Data");
    remove.setSql("DELETE FROM Bookmark WHERE recnum = \"" + std::to_string(last) + "\"");
    remove.open(); // runs; a statement without rows leaves the query closed
    EXPECT_FALSE(remove.isOpen());
    EXPECT_EQ(count(connection), 4);

    const std::uint64_t next = add(connection, "file:///media/new.asf", "new");
    EXPECT_GT(next, last);
}

TEST_F(StoreTest, AppendRefusesUnknownColumnsAndMissingPictureFiles) {
    db::Connection connection(storeSettings());
    db::Query query(connection, "Data");
    query.beginAppend("Bookmark");
    EXPECT_THROW(query.setField("no_such_column", "x"), db::Error);
    EXPECT_THROW(query.setField(10, "x"), db::Error);
    try {
        query.setFieldFromFile(7, "temp.jpg");
        FAIL() << "a missing picture file was read";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("temp.jpg"));
    }
    query.cancelAppend();
    EXPECT_THROW(query.setField("medialink", "x"), db::Error);
    EXPECT_EQ(count(connection), 0);
}

class StoreWithoutDataTest : public WorkdirTest {
  protected:
    StoreWithoutDataTest() : WorkdirTest(Layout::WithoutStore) {}
};

TEST_F(StoreWithoutDataTest, MissingDataDirectoryGivesUnknownDatabase) {
    ASSERT_FALSE(std::filesystem::exists(workdir() / "Data"));
    db::Connection connection(storeSettings());
    try {
        connection.connect();
        FAIL() << "the store opened without its Data directory";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.number(), db::unknownDatabase);
        EXPECT_STREQ(error.what(), "Unknown database 'Data'");
    }
    EXPECT_FALSE(connection.connected());
}

class StoreWithoutTableTest : public WorkdirTest {
  protected:
    StoreWithoutTableTest() : WorkdirTest(Layout::WithoutStore) {}
};

TEST_F(StoreWithoutTableTest, MissingBookmarkTableGivesNoSuchTable) {
    std::filesystem::create_directory(workdir() / "Data");
    db::Connection connection(storeSettings());
    connection.connect();
    db::Query query(connection, "Data");
    query.setSql("SELECT count(*) as total_records FROM Bookmark");
    try {
        query.open();
        FAIL() << "counted a table that does not exist";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.number(), 1146); // ER_NO_SUCH_TABLE
        EXPECT_THAT(error.what(), HasSubstr("Bookmark"));
    }
}

} // namespace
