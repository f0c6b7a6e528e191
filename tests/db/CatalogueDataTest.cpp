// The demo catalogue's stored statements run as the program runs them: with the
// row windows it appends, and the search statement pieces put together.

#include "support/DatabaseTest.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Query.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using testsupport::CatalogueTest;

struct Stored {
    std::string caption;
    std::string sql;
};

std::vector<Stored> readStored(db::Query& query, const std::string& sql, const char* caption,
                               const char* text) {
    query.setSql(sql);
    query.open();
    std::vector<Stored> rows;
    for (; !query.eof(); query.next())
        rows.push_back({query.field(caption).text(), query.field(text).text()});
    return rows;
}

// Opens `sql` on halden and checks that it yields whole videosnap rows, at most
// `window` of them.
void expectVideosnapRows(db::Connection& connection, const std::string& sql, unsigned window,
                         bool expectRows = true) {
    db::Query query(connection, "halden");
    query.setSql(sql);
    try {
        query.open();
    } catch (const db::Error& error) {
        ADD_FAILURE() << sql << ": " << error.what();
        return;
    }
    EXPECT_LE(query.recordCount(), window) << sql;
    if (expectRows) {
        EXPECT_GT(query.recordCount(), 0u) << sql;
    }
    if (!query.eof()) {
        EXPECT_GE(query.fieldCount(), 23) << sql;
        EXPECT_EQ(query.fieldName(22), "pictureblob") << sql;
    }
}

TEST_F(CatalogueTest, TopicStatementsTakeTheirRowWindows) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "qzrbackup");
    const auto feature = readStored(query, "SELECT * FROM videoqueryfeature limit 0,25",
                                    "videoquerycaption", "videoquerysql");
    const auto special = readStored(query, "SELECT * FROM videospecialfeature limit 0,25",
                                    "videoquerycaption", "videoquerysql");
    EXPECT_EQ(feature.size(), 12u);
    EXPECT_EQ(special.size(), 10u);
    for (const auto& topic : feature) {
        expectVideosnapRows(connection, topic.sql + " LIMIT 0,8", 8);
        expectVideosnapRows(connection, topic.sql + " LIMIT 8,8", 8);
    }
    for (const auto& topic : special)
        expectVideosnapRows(connection, topic.sql + " LIMIT 0,8", 8);

    const auto sideTabs = readStored(query, "Select * from sidetab", "sidecaption", "sidequery");
    ASSERT_EQ(sideTabs.size(), 3u);
    EXPECT_EQ(sideTabs[0].caption, "World");
    EXPECT_EQ(sideTabs[1].caption, "Aus News");
    for (const auto& tab : sideTabs) {
        expectVideosnapRows(connection, tab.sql + " 0,16", 16);
        expectVideosnapRows(connection, tab.sql + " 16,16", 16);
    }
}

TEST_F(CatalogueTest, CategoryStatementsTakeTheirRowWindows) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "qzrbackup");
    query.setSql("SELECT * FROM categories ORDER BY catname ASC");
    query.open();
    std::set<std::string> categoryIds;
    std::vector<std::string> statements;
    for (; !query.eof(); query.next()) {
        categoryIds.insert(query.field("catid").text());
        statements.push_back(query.field("catSQL").text());
    }
    EXPECT_GE(categoryIds.size(), 10u);

    query.setSql("SELECT * FROM subcategories ORDER BY subcatname ASC");
    query.open();
    std::map<std::string, int> childrenOf;
    for (; !query.eof(); query.next()) {
        // Every subcategory hangs under an existing category, compared as text.
        EXPECT_EQ(categoryIds.count(query.field("catid").text()), 1u);
        ++childrenOf[query.field("catid").text()];
        statements.push_back(query.field("subsql").text());
    }
    EXPECT_GE(childrenOf.size(), 10u);
    EXPECT_LT(childrenOf.size(), categoryIds.size()); // some categories are leaves
    for (const std::string& sql : statements)
        expectVideosnapRows(connection, sql + " 0, 8", 8);
}

TEST_F(CatalogueTest, GlobalSettingsFormWorkingSearchStatements) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    query.setSql("SELECT * FROM zorvex_global");
    query.open();
    std::map<long long, std::string> value;
    for (; !query.eof(); query.next())
        value[query.field("id").toInt()] = query.field("value").text();
    for (long long id = 2; id <= 23; ++id)
        EXPECT_EQ(value.count(id), 1u) << "no global setting " << id;

    const std::string terms = "'+festival'";
    const std::string category = " AND (MATCH(rsscat) AGAINST ('+music' IN BOOLEAN MODE))";
    const std::string score = " AND (MATCH(rsscat) AGAINST ('+music'))";
    // Image search, most recent first, then by relevance; first page and a later one.
    for (const std::string& filter : {std::string(), category}) {
        const std::string recent = value[12] + terms + value[13] + filter + value[14] + " ";
        expectVideosnapRows(connection, recent + "0, 8", 8);
        expectVideosnapRows(connection, recent + " 8, 8", 8);
    }
    for (const auto& [filter, scoreFilter] :
         {std::pair{std::string(), std::string()}, std::pair{category, score}}) {
        const std::string popular = value[15] + terms + "))" + scoreFilter + value[16] + value[17] +
                                    terms + value[18] + filter + value[19] + " ";
        expectVideosnapRows(connection, popular + "0, 8", 8);
    }
    // Latest text search: the eight text-library columns in their order.
    const std::string text =
        value[20] + value[21] + "'+festival'" + value[22] + category + value[23] + " 0,100";
    db::Query textQuery(connection, "halden");
    textQuery.setSql(text);
    ASSERT_NO_THROW(textQuery.open()) << text;
    EXPECT_GT(textQuery.recordCount(), 0u);
    ASSERT_EQ(textQuery.fieldCount(), 8);
    const char* columns[] = {"rssitemtitle", "rssdesc",   "medialink", "rsshostname",
                             "rsscat",       "mediatype", "recnum",    "rsstitle"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(textQuery.fieldName(i), columns[i]);
    // A lone "+" (a box holding only a category) still runs.
    expectVideosnapRows(connection, value[12] + "'+'" + value[13] + category + value[14] + " 0, 8",
                        8, false);
}

TEST_F(CatalogueTest, ItemsLinkToRealClipsAndCarryTheSiteKey) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    query.setSql("SELECT mediatype, medialink FROM videosnap GROUP BY mediatype, medialink");
    query.open();
    std::set<std::string> types;
    int clips = 0;
    for (; !query.eof(); query.next()) {
        types.insert(query.field("mediatype").text());
        const std::string link = query.field("medialink").text();
        if (link.rfind("file://", 0) == 0) {
            ++clips;
            EXPECT_TRUE(std::filesystem::is_regular_file(link.substr(7))) << link;
        }
    }
    EXPECT_GE(clips, 4);
    EXPECT_EQ(types, (std::set<std::string>{"video/x-ms-wmv", "video/x-ms-asf", "audio/x-ms-wma",
                                            "video/flv", "application/flash"}));

    query.setSql("Select * from videokey where host like \"%ifilm.%\" limit 0,1");
    query.open();
    ASSERT_FALSE(query.eof());
    EXPECT_FALSE(query.field("time").text().empty());

    query.setSql("SELECT (SELECT count(*) FROM videosnap) AS images, "
                 "(SELECT count(*) FROM videopodcasthistory) AS texts");
    query.open();
    EXPECT_GT(query.field("images").toInt(), 0);
    EXPECT_GT(query.field("texts").toInt(), 0);
}

} // namespace
