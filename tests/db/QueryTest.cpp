// The query component against the running test catalogue, through the program's
// own account.

#include "support/DatabaseTest.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using testsupport::CatalogueTest;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string unhex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

// A TCP port on 127.0.0.1 where nothing listens: bound, then released.
unsigned closedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

TEST_F(CatalogueTest, VideosnapColumnsReadByNameAndByPositionAgree) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    query.setSql("SELECT * FROM videosnap ORDER BY recnum LIMIT 0,8");
    query.open();
    ASSERT_TRUE(query.isOpen());
    ASSERT_EQ(query.recordCount(), 8u);
    ASSERT_GE(query.fieldCount(), 23);
    EXPECT_EQ(query.fieldName(0), "rsstitle");
    EXPECT_EQ(query.fieldName(5), "rssurl");
    EXPECT_EQ(query.fieldName(8), "rssitemtitle");
    EXPECT_EQ(query.fieldName(16), "medialink");
    EXPECT_EQ(query.fieldName(17), "mediatype");
    EXPECT_EQ(query.fieldName(20), "recnum");
    EXPECT_EQ(query.fieldName(22), "pictureblob");

    std::vector<std::string> recnums;
    while (!query.eof()) {
        for (const char* name : {"rsstitle", "rssurl", "rssitemtitle", "medialink", "mediatype",
                                 "recnum", "pictureblob"}) {
            const int position = [&] {
                for (int i = 0; i < query.fieldCount(); ++i)
                    if (query.fieldName(i) == name)
                        return i;
                return -1;
            }();
            EXPECT_EQ(query.field(name).bytes(), query.field(position).bytes()) << name;
        }
        // Names are matched without regard to case, as the server treats them.
        EXPECT_EQ(query.field("RssItemTitle").text(), query.field(8).text());
        EXPECT_FALSE(query.field(8).text().empty());
        recnums.push_back(query.field("recnum").text());
        query.next();
    }
    ASSERT_EQ(recnums.size(), 8u);
    EXPECT_EQ(std::set<std::string>(recnums.begin(), recnums.end()).size(), 8u);
    EXPECT_TRUE(query.eof());

    // Rows are held on the client, so they can be revisited by position.
    query.seek(3);
    ASSERT_FALSE(query.eof());
    EXPECT_EQ(query.field("recnum").text(), recnums[3]);
    query.seek(8);
    EXPECT_TRUE(query.eof());
}

TEST_F(CatalogueTest, UnknownFieldsAreNamedInTheError) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    query.setSql("SELECT rsstitle, recnum FROM videosnap LIMIT 0,1");
    query.open();
    try {
        query.field("no_such_column");
        FAIL() << "an unknown field name was accepted";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("no_such_column"));
    }
    try {
        query.field(22);
        FAIL() << "a field position beyond the row was accepted";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("22"));
    }
    EXPECT_THROW(query.field(-1), db::Error);
    EXPECT_THROW(query.fieldName(2), db::Error);
}

TEST_F(CatalogueTest, NullReadsAsEmptyTextAndNumbersConvert) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    query.setSql("SELECT NULL AS nothing, 'x' AS letter, ' 42 ' AS answer, -7 AS negative, "
                 "'' AS empty");
    query.open();
    ASSERT_FALSE(query.eof());
    EXPECT_TRUE(query.field("nothing").isNull());
    EXPECT_EQ(query.field("nothing").variantText(), "");
    EXPECT_EQ(query.field("nothing").text(), "");
    EXPECT_FALSE(query.field("empty").isNull());
    EXPECT_EQ(query.field("empty").variantText(), "");
    EXPECT_EQ(query.field("letter").variantText(), "x");
    EXPECT_EQ(query.field("answer").toInt(), 42);
    EXPECT_EQ(query.field("negative").toInt(), -7);
    try {
        query.field("letter").toInt();
        FAIL() << "'x' converted to a number";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("'x'"));
        EXPECT_THAT(error.what(), HasSubstr("letter"));
    }
}

TEST_F(CatalogueTest, BlobIsWrittenToTheFileUnchanged) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    // Three pictures and an empty value, each written over a longer file: what the
    // file held before never shows through.
    query.setSql("(SELECT pictureblob, HEX(pictureblob) AS hex, LENGTH(pictureblob) AS size "
                 "FROM videosnap ORDER BY recnum LIMIT 0,3) UNION ALL SELECT '', '', 0");
    query.open();
    ASSERT_EQ(query.recordCount(), 4u);
    for (; !query.eof(); query.next()) {
        {
            std::ofstream longer("fea1.jpg", std::ios::binary | std::ios::trunc);
            longer << std::string(400'000, 'x');
        }
        query.field("pictureblob").saveToFile("fea1.jpg");
        const std::string written = readFile("fea1.jpg");
        EXPECT_EQ(static_cast<long long>(written.size()), query.field("size").toInt());
        EXPECT_EQ(written, unhex(query.field("hex").bytes()));
        if (written.empty())
            continue;
        ASSERT_GE(written.size(), 4u);
        // A real JPEG: start and end markers.
        EXPECT_EQ(written.substr(0, 2), std::string("\xFF\xD8"));
        EXPECT_EQ(written.substr(written.size() - 2), std::string("\xFF\xD9"));
    }
    query.seek(0);
    try {
        query.field(0).saveToFile("no/such/dir/fea1.jpg");
        FAIL() << "writing into a missing directory succeeded";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("no/such/dir/fea1.jpg"));
    }
}

TEST_F(CatalogueTest, OpeningOnADisconnectedConnectionConnectsIt) {
    db::Connection connection(catalogueSettings());
    ASSERT_FALSE(connection.connected());
    db::Query query(connection, "qzrbackup");
    query.setSql("SELECT * FROM sidetab");
    query.open();
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(query.recordCount(), 3u);
}

TEST_F(CatalogueTest, UnreachableServerGivesTheFixedMessageAndKeepsTheNumber) {
    db::ConnectionSettings settings = catalogueSettings();
    settings.port = closedPort();
    db::Connection connection(settings);
    db::Query query(connection, "halden");
    query.setSql("SELECT 1");
    try {
        query.open();
        FAIL() << "opened a query on a server that does not exist";
    } catch (const db::Error& error) {
        // The fixed text, then the client library's reason.
        EXPECT_EQ(
            std::string(error.what()).rfind("Dataset server could not connect: Can't connect", 0),
            0u)
            << error.what();
        EXPECT_EQ(error.number(), 2003); // CR_CONN_HOST_ERROR
    }
    EXPECT_FALSE(query.isOpen());
    EXPECT_TRUE(query.eof());
    EXPECT_FALSE(connection.connected());

    // A refused login gives the same message, with the server's number.
    db::ConnectionSettings wrong = catalogueSettings();
    wrong.password = "not the password";
    db::Connection refused(wrong);
    db::Query refusedQuery(refused, "halden");
    refusedQuery.setSql("SELECT 1");
    try {
        refusedQuery.open();
        FAIL() << "opened a query with a wrong password";
    } catch (const db::Error& error) {
        EXPECT_EQ(
            std::string(error.what()).rfind("Dataset server could not connect: Access denied", 0),
            0u)
            << error.what();
        EXPECT_EQ(error.number(), 1045); // ER_ACCESS_DENIED_ERROR
    }

    // A direct connect reports the server's own message.
    try {
        refused.connect();
        FAIL() << "connected with a wrong password";
    } catch (const db::Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("Access denied"));
        EXPECT_EQ(error.number(), 1045);
    }
}

TEST_F(CatalogueTest, RejectedStatementKeepsTheServerErrorAndTheConnection) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    query.setSql("SELEC * FROM videosnap");
    try {
        query.open();
        FAIL() << "a misspelt statement ran";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.number(), 1064); // ER_PARSE_ERROR
    }
    EXPECT_FALSE(query.isOpen());
    EXPECT_TRUE(query.eof());

    query.setSql("SELECT * FROM no_such_table");
    try {
        query.open();
        FAIL() << "a statement on a missing table ran";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.number(), 1146); // ER_NO_SUCH_TABLE
        EXPECT_THAT(error.what(), HasSubstr("no_such_table"));
    }

    EXPECT_TRUE(connection.connected());
    query.setSql("SELECT count(*) AS n FROM videosnap");
    query.open();
    EXPECT_GT(query.field("n").toInt(), 0);
}

TEST_F(CatalogueTest, ClosingTheConnectionClosesEveryQueryOnIt) {
    db::Connection connection(catalogueSettings());
    db::Query topics(connection, "qzrbackup");
    db::Query items(connection, "halden");
    topics.setSql("SELECT * FROM videoqueryfeature");
    items.setSql("SELECT * FROM videosnap LIMIT 0,8");
    topics.open();
    items.open();
    ASSERT_TRUE(topics.isOpen());
    ASSERT_TRUE(items.isOpen());

    connection.disconnect();
    EXPECT_FALSE(connection.connected());
    EXPECT_FALSE(topics.isOpen());
    EXPECT_FALSE(items.isOpen());
    EXPECT_TRUE(topics.eof());
    EXPECT_EQ(items.recordCount(), 0u);
    EXPECT_THROW(items.field(0), db::Error);

    // The next open connects again.
    items.open();
    EXPECT_TRUE(items.isOpen());
    EXPECT_TRUE(connection.connected());
}

TEST_F(CatalogueTest, QueriesAndConnectionsMayBeDestroyedInEitherOrder) {
    auto connection = std::make_unique<db::Connection>(catalogueSettings());
    db::Query survivor(*connection, "halden");
    {
        db::Query shortLived(*connection, "halden");
        shortLived.setSql("SELECT 1");
        shortLived.open();
    }
    survivor.setSql("SELECT 1 AS one");
    survivor.open();
    ASSERT_TRUE(survivor.isOpen());

    connection.reset();
    EXPECT_FALSE(survivor.isOpen());
    EXPECT_THROW(survivor.open(), db::Error);
}

TEST_F(CatalogueTest, EachQueryRunsInItsOwnDatabase) {
    db::Connection connection(catalogueSettings()); // default database qzrbackup
    db::Query images(connection, "halden");
    db::Query topics(connection, "qzrbackup");
    db::Query plain(connection, "");
    images.setSql("SELECT DATABASE() AS db, (SELECT count(*) FROM videosnap) AS n");
    topics.setSql("SELECT DATABASE() AS db, (SELECT count(*) FROM videoqueryfeature) AS n");
    plain.setSql("SELECT DATABASE() AS db");
    for (int round = 0; round < 2; ++round) {
        images.open();
        EXPECT_EQ(images.field("db").text(), "halden");
        EXPECT_GT(images.field("n").toInt(), 0);
        topics.open();
        EXPECT_EQ(topics.field("db").text(), "qzrbackup");
        EXPECT_GE(topics.field("n").toInt(), 12);
        // Still readable: the other query's switch does not disturb a held result.
        EXPECT_EQ(images.field("db").text(), "halden");
    }
    plain.open();
    EXPECT_FALSE(plain.field("db").text().empty());
    // After a reconnect the queries still find their own databases.
    connection.disconnect();
    images.open();
    EXPECT_EQ(images.field("db").text(), "halden");
}

TEST_F(CatalogueTest, EscapedTextComesBackUnchanged) {
    db::Connection connection(catalogueSettings());
    EXPECT_THROW(connection.escape("x"), db::Error); // needs a connection
    connection.connect();
    const std::string awkward = std::string("it's a \"quote\" \\ back\nslash ") + '\0' + " nul ü";
    db::Query query(connection, "halden");
    query.setSql("SELECT '" + connection.escape(awkward) + "' AS text");
    query.open();
    EXPECT_EQ(query.field("text").bytes(), awkward);
}

} // namespace
