// Hostile texts through every search that puts the box text into SQL, against the
// test catalogue with its general query log on: every statement the server
// receives must have the structure of the statement the same action sends for a
// harmless word, so the text never leaves its literals.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "db/Error.h"
#include "db/Query.h"
#include "search_db/SearchSession.h"
#include "support/HostileTexts.h"
#include "support/SqlSkeleton.h"

namespace {

/// A text for a failure message: printable ASCII as it is, other bytes as \xHH,
/// long texts cut.
std::string printable(const std::string& text) {
    std::string out;
    for (const unsigned char c : text.substr(0, 120)) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (text.size() > 120)
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

class Injection : public testsupport::SearchSession {
  protected:
    void TearDown() override {
        if (logOn_) {
            try {
                root().execute("SET GLOBAL general_log = 0");
                root().execute("SET GLOBAL log_output = '" + previousOutput_ + "'");
                root().execute("TRUNCATE TABLE mysql.general_log");
            } catch (const db::Error& e) {
                ADD_FAILURE() << "could not turn the general query log off: " << e.what();
            }
        }
        SearchSession::TearDown();
    }

    /// Turns the server's general query log on, into its table.
    void logOn() {
        previousOutput_ = scalar("SELECT @@GLOBAL.log_output");
        root().execute("SET GLOBAL log_output = 'TABLE'");
        root().execute("SET GLOBAL general_log = 1");
        logOn_ = true;
    }
    void clearLog() { root().execute("TRUNCATE TABLE mysql.general_log"); }
    /// The statements the program's account sent since the log was cleared.
    std::vector<std::string> logged() {
        std::vector<std::string> out;
        db::Query q(root(), "mysql");
        q.setSql("SELECT argument FROM general_log WHERE command_type = 'Query' AND "
                 "user_host LIKE 'mediauser[%'");
        q.open();
        for (; !q.eof(); q.next())
            out.emplace_back(q.field(0).bytes());
        return out;
    }

    void enter() {
        ui::EventArgs a;
        a.key = "\r";
        event("sqlsearchedit", ui::Event::KeyPress, a);
    }

    struct EntryPoint {
        std::string name;
        std::function<void(const std::string&)> run;
    };

    std::vector<EntryPoint> entryPoints() {
        return {
            {"image search, newest first",
             [this](const std::string& text) {
                 choose("mostrecentchecked");
                 type(text);
                 enter();
             }},
            {"image search by relevance",
             [this](const std::string& text) {
                 choose("mostpopularchecked");
                 type(text);
                 click("suiImageButton3");
             }},
            {"visual search, both orders",
             [this](const std::string& text) {
                 choose("mostrecentchecked");
                 type(text);
                 click("NewSearch1");
                 choose("mostpopularchecked");
                 click("NewSearch1");
             }},
            {"library search and its paging",
             [this](const std::string& text) {
                 type(text);
                 press("SearchImageLibrary1");
                 click("suiImageButton7");
                 press("MostRecentByImageLibary1");
                 click("suiImageButton7");
                 click("suiImageButton6");
             }},
            {"Special Interest paging of a library search",
             [this](const std::string& text) {
                 type(text);
                 press("estImageLibarybothmethod1");
                 click("suiImageButton5");
                 click("suiImageButton5");
                 click("suiImageButton4");
             }},
            {"phrase search",
             [this](const std::string& text) {
                 type(text);
                 press("sqlsearchbutton");
             }},
            {"popular text search and its paging",
             [this](const std::string& text) {
                 choose("mostpopularchecked");
                 type(text);
                 click("textSearch");
                 click("nexttext");
                 click("backtext");
             }},
            {"latest text search and its paging",
             [this](const std::string& text) {
                 choose("mostrecentchecked");
                 type(text);
                 click("textSearch");
                 click("nexttext");
                 click("backtext");
             }},
        };
    }

  private:
    bool logOn_ = false;
    std::string previousOutput_;
};

TEST_F(Injection, EveryStatementOfEverySearchHasTheStructureOfAHarmlessOne) {
    const auto& texts = testsupport::hostileTexts();
    ASSERT_GE(texts.size(), 50u);
    startOnline();
    ASSERT_TRUE(errors().empty()) << errors().front();
    logOn();

    std::size_t checked = 0;
    for (const auto& entry : entryPoints()) {
        // Harmless words, also with the box's prefixes, whose category adds a clause.
        std::set<std::string> harmless;
        for (const char* word : {"surfing", "surfing cat:news", "site:example surfing cat:news"}) {
            clearLog();
            entry.run(word);
            for (const auto& sql : logged())
                harmless.insert(testsupport::sqlSkeleton(sql));
        }
        ASSERT_FALSE(harmless.empty()) << entry.name << " sent no statement";

        for (const auto& text : texts) {
            clearLog();
            entry.run(text);
            for (const auto& sql : logged()) {
                ++checked;
                EXPECT_TRUE(harmless.count(testsupport::sqlSkeleton(sql)))
                    << entry.name << " with the text \"" << printable(text)
                    << "\" sent a statement of another structure: " << printable(sql);
            }
        }
    }
    // Every action reached the server with its text at least once per entry point.
    EXPECT_GE(checked, texts.size() * entryPoints().size());
    EXPECT_TRUE(errors().empty()) << errors().front();
}

} // namespace
