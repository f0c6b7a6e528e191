// Search-box texts that the full-text engine could read as operators, run as the
// library search against the test catalogue through the program's own account.
// The demo catalogue's tables are MyISAM, whose boolean-mode parser forgives a
// stray operator; InnoDB's full-text parser refuses one with a syntax error. So
// every statement also runs on an InnoDB copy of the newest items, made as root in
// a database of its own and dropped afterwards.

#include "support/DatabaseTest.h"

#include "app/Config.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "search/ImageStatements.h"
#include "search/LibrarySearch.h"
#include "search/TextStatements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kInnoDbCopy = "zorvex_innodb_fulltext";

class FullTextSearch : public testsupport::CatalogueTest {
  protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        if (HasFatalFailure())
            return;
        const char* datadir = std::getenv("ZORVEX_TEST_CATALOGUE_DATADIR");
        db::ConnectionSettings s;
        s.host = "localhost";
        s.socket =
            std::string(datadir && *datadir ? datadir : ZORVEX_SOURCE_DIR "/var/test-catalogue") +
            "/mysqld.sock";
        s.user = "root";
        root_ = std::make_unique<db::Connection>(s);
        root_->connect();
        const std::string copy = std::string(kInnoDbCopy) + ".videosnap";
        root_->execute(std::string("DROP DATABASE IF EXISTS ") + kInnoDbCopy);
        root_->execute(std::string("CREATE DATABASE ") + kInnoDbCopy + " CHARACTER SET utf8mb4");
        root_->execute("CREATE TABLE " + copy + " LIKE halden.videosnap");
        root_->execute("ALTER TABLE " + copy + " ENGINE=InnoDB");
        root_->execute("INSERT INTO " + copy +
                       " SELECT * FROM halden.videosnap ORDER BY recnum DESC LIMIT 200");
        const std::string text = std::string(kInnoDbCopy) + ".videopodcasthistory";
        root_->execute("CREATE TABLE " + text + " LIKE halden.videopodcasthistory");
        root_->execute("ALTER TABLE " + text + " ENGINE=InnoDB");
        root_->execute("INSERT INTO " + text +
                       " SELECT * FROM halden.videopodcasthistory ORDER BY recnum DESC LIMIT 200");
    }
    void TearDown() override {
        if (root_)
            root_->execute(std::string("DROP DATABASE IF EXISTS ") + kInnoDbCopy);
        root_.reset();
        CatalogueTest::TearDown();
    }

    /// Opens `sql` on the catalogue as the program does, then on the InnoDB copy.
    void expectBothRun(db::Connection& program, const std::string& sql, const std::string& text) {
        for (auto [connection, database] :
             {std::pair{&program, "halden"}, {root_.get(), kInnoDbCopy}}) {
            db::Query query(*connection, database);
            query.setSql(sql);
            EXPECT_NO_THROW(query.open()) << database << ", box text [" << text << "]: " << sql;
        }
    }

    std::unique_ptr<db::Connection> root_;
};

search::Exclusions exclusions() {
    const app::Config defaults;
    return {defaults.get("search", "excluded_player_url"), defaults.get("search", "excluded_host")};
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST_F(FullTextSearch, HostileSearchTextsRunWithoutAnError) {
    db::Connection connection(catalogueSettings());
    const std::vector<std::string> texts = {"-a",
                                            "\"x",
                                            "*",
                                            "(",
                                            ")",
                                            "@",
                                            "@3",
                                            "+",
                                            "~x",
                                            "<>",
                                            "  two  blanks",
                                            "a--b",
                                            "'quote",
                                            "back\\slash",
                                            "Übung café 東京 😀",
                                            "%_",
                                            "",
                                            " ",
                                            "\"",
                                            "x*y (z)",
                                            "\t-\t",
                                            "a - b",
                                            "news -",
                                            "\"two words\""};
    for (const bool popular : {true, false})
        for (const auto& text : texts) {
            const auto statement =
                search::BuildLibrarySearch(text, popular, "0", exclusions()).statement();
            expectBothRun(connection, statement, text);
        }
}

// The stored statement pieces of the text and image searches, as the catalogue holds them.
template <class Pieces> Pieces storedPieces(db::Connection& connection, int firstId) {
    Pieces pieces;
    db::Query q(connection, "halden");
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        q.setSql("SELECT value FROM zorvex_global WHERE id = " +
                 std::to_string(firstId + static_cast<int>(i) - 1));
        q.open();
        if (!q.eof())
            pieces[i] = q.field("value").text();
        q.close();
    }
    return pieces;
}

TEST_F(FullTextSearch, EverySearchStatementRunsForEveryText) {
    db::Connection connection(catalogueSettings());
    const auto text = storedPieces<search::TextSearchPieces>(connection, 20);
    const auto image = storedPieces<search::ImageSearchPieces>(connection, 12);
    ASSERT_FALSE(text[1].empty());
    ASSERT_FALSE(image[8].empty());
    const std::vector<std::string> texts = {"funny cats",
                                            "news cat:sport",
                                            "newsreel cat:news",
                                            "cat:news",
                                            "surf site:bondi",
                                            "Cat:News",
                                            "a   b",
                                            " cats",
                                            "cat:",
                                            "site:",
                                            "",
                                            "   ",
                                            "it's \\ \"q\" %_ -- /* */ # ;",
                                            std::string("nul\0byte", 8),
                                            "x cat:spider-man site:a-b",
                                            "site:o'neil cat:a\"b",
                                            std::string(200, 'w') + " cat:" + std::string(220, 'c'),
                                            "Übung café 東京 😀",
                                            "-a +b (c) ~d* @3 <e>"};
    const auto ex = exclusions();
    for (const auto& t : texts) {
        std::vector<std::string> statements = {
            search::PhraseSearchStatement(t, ex),
            search::PopularTextStatement(t, 100, ex),
            search::LatestTextStatement(t, 100, text),
            search::ImageSearchBase(t, true, image) + std::string(search::kFirstImagePage),
            search::ImageSearchBase(t, false, image) + " 8, 8",
            search::VisualSearchBase(t, true, ex) + std::string(search::kFirstImagePage),
            search::VisualSearchBase(t, false, ex) + " 16, 8",
            search::PictureLookupStatement(t),
            search::TextLibraryCountStatement()};
        for (const auto& sql : statements)
            expectBothRun(connection, sql, t);
    }
}

TEST_F(FullTextSearch, OperatorsAroundAWordStillFindIt) {
    db::Connection connection(catalogueSettings());
    db::Query query(connection, "halden");
    // A word of the newest item's title that the full-text index holds (four letters
    // or more).
    query.setSql("SELECT rssitemtitle FROM videosnap ORDER BY recnum DESC LIMIT 0,1");
    query.open();
    ASSERT_FALSE(query.eof());
    std::istringstream title(query.field("rssitemtitle").text());
    std::string word;
    for (std::string w; title >> w;)
        if (w.size() > word.size() &&
            std::all_of(w.begin(), w.end(), [](unsigned char c) { return std::isalpha(c); }))
            word = w;
    ASSERT_GE(word.size(), 4u) << query.field("rssitemtitle").text();
    query.close();

    for (const std::string& text :
         {"-" + word + "*", "\"" + word, "(" + word + ")", "@" + word, "  " + word + "  ~"}) {
        const auto sql = search::BuildLibrarySearch(text, false, "0", exclusions()).statement();
        for (auto [c, database] : {std::pair{&connection, "halden"}, {root_.get(), kInnoDbCopy}}) {
            db::Query found(*c, database);
            found.setSql(sql);
            ASSERT_NO_THROW(found.open()) << database << ", box text [" << text << "]";
            ASSERT_FALSE(found.eof()) << database << ", box text [" << text << "] found nothing";
            const std::string row =
                lower(found.field("rssitemtitle").text() + " " + found.field("rssdesc").text() +
                      " " + found.field("rssurl").text());
            EXPECT_NE(row.find(lower(word)), std::string::npos) << text << ": " << row;
        }
    }
}

} // namespace
