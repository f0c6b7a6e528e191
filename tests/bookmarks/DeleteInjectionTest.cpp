// A bookmark deletion with hostile record numbers, against the real embedded store
// with its general query log on: every statement the store receives has the
// structure of the deletion of a plain number, and no bookmark goes.

#include "StoreFill.h"
#include "support/HostileTexts.h"
#include "support/ProgramTest.h"
#include "support/SqlSkeleton.h"

#include "bookmarks/BookmarkPage.h"
#include "bookmarks/BookmarkStore.h"
#include "catalogue/Selection.h"
#include "db/Connection.h"
#include "db/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool digits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A line of the general query log that starts an entry: an optional
// "YYMMDD hh:mm:ss", a tab, blanks, the thread id, a blank, the command and a tab.
// Returns where the entry's argument starts, or npos.
std::size_t entryStart(std::string_view line) {
    std::size_t i = 0;
    if (line.size() > 15 && digits(line.substr(0, 6)) && line[6] == ' ')
        i = 15;
    if (i >= line.size() || line[i] != '\t')
        return std::string_view::npos;
    while (i < line.size() && (line[i] == '\t' || line[i] == ' '))
        ++i;
    const std::size_t id = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    if (i == id || i >= line.size() || line[i] != ' ')
        return std::string_view::npos;
    const std::size_t tab = line.find('\t', i + 1);
    return tab == std::string_view::npos ? line.size() : tab + 1;
}

// The Query entries of a general query log text. A statement runs on over its line
// breaks until the next line that starts an entry.
std::vector<std::string> queries(std::string_view log) {
    std::vector<std::string> out;
    bool inQuery = false;
    std::size_t from = 0;
    while (from < log.size()) {
        std::size_t end = log.find('\n', from);
        if (end == std::string_view::npos)
            end = log.size();
        const std::string_view line = log.substr(from, end - from);
        const std::size_t argument = entryStart(line);
        if (argument != std::string_view::npos) {
            const std::string_view head = line.substr(0, argument);
            inQuery = head.size() >= 6 && head.substr(head.size() - 6) == "Query\t";
            if (inQuery)
                out.emplace_back(line.substr(argument));
        } else if (inQuery) {
            out.back() += '\n';
            out.back() += line;
        }
        from = end + 1;
    }
    return out;
}

class DeleteInjection : public testsupport::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        startOnline();
    }

    bookmarks::BookmarkPage& page() { return form->bookmarks(); }
    int count() { return state<int>("bookmarkCount"); }

    void fill(int n) { bookmarktest::fillStore(page().store(), n); }
    /// Deletes the bookmark whose record number is `recnum`, as the menu command does.
    void deleteRecord(const std::string& recnum) {
        catalogue::Item item = form->selection().currentItem();
        item.recnum = recnum;
        app->dispatch([&] {
            const_cast<catalogue::Selection&>(form->selection()).choose(item);
            page().RemoveBookmark();
        });
    }
    /// What the store's log holds beyond `offset`.
    std::string logSince(std::uintmax_t offset) {
        std::ifstream in(logFile(), std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::uintmax_t logSize() {
        std::error_code ec;
        const auto size = fs::file_size(logFile(), ec);
        return ec ? 0 : size;
    }
    fs::path logFile() { return workdir() / "store-queries.log"; }
};

TEST_F(DeleteInjection, HostileRecordNumbersStayInsideTheLiteralAndDeleteNothing) {
    const auto& texts = testsupport::hostileTexts();
    ASSERT_GE(texts.size(), 50u);
    fill(2);
    click("suiImageButton27");
    ASSERT_EQ(count(), 2);

    // The store runs inside this process: its general query log goes to a file.
    db::Connection admin(storeSettings());
    admin.connect();
    // The server checks for the log table even when it logs to a file; the working
    // directory's store has no mysql database of its own.
    admin.execute("CREATE DATABASE IF NOT EXISTS mysql");
    admin.execute("CREATE TABLE IF NOT EXISTS mysql.general_log (event_time TIMESTAMP(6) NOT NULL "
                  "DEFAULT CURRENT_TIMESTAMP(6) ON UPDATE CURRENT_TIMESTAMP(6), user_host "
                  "MEDIUMTEXT NOT NULL, thread_id BIGINT(21) UNSIGNED NOT NULL, server_id "
                  "INT(10) UNSIGNED NOT NULL, command_type VARCHAR(64) NOT NULL, argument "
                  "MEDIUMTEXT NOT NULL) ENGINE=MyISAM");
    admin.execute("SET GLOBAL general_log_file = '" + admin.escape(logFile().string()) + "'");
    admin.execute("SET GLOBAL log_output = 'FILE'");
    admin.execute("SET GLOBAL general_log = 1");

    std::uintmax_t at = logSize();
    deleteRecord("12345");
    std::set<std::string> harmless;
    for (const auto& sql : queries(logSince(at)))
        harmless.insert(testsupport::sqlSkeleton(sql));
    ASSERT_FALSE(harmless.empty()) << "the store's log holds no statement of the deletion";
    ASSERT_EQ(count(), 2);

    std::size_t deletes = 0;
    for (const auto& text : texts) {
        at = logSize();
        deleteRecord(text);
        for (const auto& sql : queries(logSince(at))) {
            deletes += sql.rfind("DELETE", 0) == 0;
            EXPECT_TRUE(harmless.count(testsupport::sqlSkeleton(sql)))
                << "the record number of " << text.size()
                << " bytes sent a statement of another structure: " << sql.substr(0, 300);
        }
        EXPECT_EQ(count(), 2) << "a bookmark went with a record number of " << text.size()
                              << " bytes: " << text.substr(0, 100);
    }
    EXPECT_EQ(deletes, texts.size());
    admin.execute("SET GLOBAL general_log = 0");
    EXPECT_TRUE(errors().empty()) << errors().front();
}

} // namespace
