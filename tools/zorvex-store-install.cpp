// zorvex-store-install: creates the bookmark store in a working directory by
// running demo/bookmark.sql through the embedded server, started in that directory
// with the same options the program uses, so the table is made by the same server
// kind that later reads it. An existing store and its bookmarks are kept.
//
// A table made by an earlier install (MyISAM, with the unique key on the link
// itself) is converted in place to the crash-safe form the script creates: Aria
// with TRANSACTIONAL=1, the unique key on the SHA-256 of the link. Every bookmark
// is kept; where two share a link, only the oldest can stay under the new key, and
// the others are named on the standard output before they go.
//
//   zorvex-store-install DIR --sql PATH/bookmark.sql
//
// DIR must already hold `charsets/` (scripts/prepare-workdir copies it first).
// Prints how many bookmarks the store holds.

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"
#include "db/Script.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What the installed table is: the engine and whether it has the key column.
struct TableForm {
    std::string engine;
    std::string options;
    bool hasKeyColumn = false;
};

TableForm tableForm(db::Connection& connection) {
    TableForm form;
    db::Query query(connection, "Data");
    query.setSql("SELECT ENGINE AS engine, CREATE_OPTIONS AS options, "
                 "(SELECT count(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = 'Data' "
                 "AND TABLE_NAME = 'Bookmark' AND COLUMN_NAME = 'medialinkkey') AS keycolumn "
                 "FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'Data' "
                 "AND TABLE_NAME = 'Bookmark'");
    query.open();
    if (query.eof())
        throw db::Error("the table Data.Bookmark is missing after the install script");
    form.engine = query.field("engine").text();
    form.options = query.field("options").text();
    form.hasKeyColumn = query.field("keycolumn").toInt() > 0;
    return form;
}

bool crashSafe(const TableForm& form) {
    return form.engine == "Aria" && form.options.find("transactional=1") != std::string::npos &&
           form.hasKeyColumn;
}

// Converts an earlier table in place; returns how many duplicates were dropped.
int convertTable(db::Connection& connection) {
    connection.execute("USE `Data`");
    // A table an earlier program left marked as crashed is repaired first, so the
    // conversion reads every row it holds.
    {
        db::Query check(connection, "Data");
        check.setSql("CHECK TABLE Bookmark");
        check.open();
        bool ok = false;
        for (; !check.eof(); check.next())
            if (check.field("Msg_type").text() == "status" &&
                check.field("Msg_text").text() == "OK")
                ok = true;
        if (!ok) {
            std::printf("the bookmark table was not closed properly; repairing it\n");
            db::Query repair(connection, "Data");
            repair.setSql("REPAIR TABLE Bookmark");
            repair.open();
        }
    }
    // Rows whose link an older row (earlier datetimein, then lower recnum) also
    // holds: the new key compares the links' SHA-256, so the same comparison here.
    db::Query duplicates(connection, "Data");
    duplicates.setSql(
        "SELECT b.recnum AS recnum, b.medialink AS medialink, b.rssitemtitle AS title, "
        "b.datetimein AS added FROM Bookmark b WHERE EXISTS (SELECT 1 FROM Bookmark o WHERE "
        "SHA2(o.medialink, 256) = SHA2(b.medialink, 256) AND (o.datetimein < b.datetimein OR "
        "(o.datetimein = b.datetimein AND o.recnum < b.recnum))) ORDER BY b.recnum");
    duplicates.open();
    std::vector<std::string> drop;
    for (; !duplicates.eof(); duplicates.next()) {
        std::printf(
            "dropping bookmark %s \"%s\" (added %s): an older bookmark has the same "
            "link %s\n",
            duplicates.field("recnum").text().c_str(), duplicates.field("title").text().c_str(),
            duplicates.field("added").text().c_str(), duplicates.field("medialink").text().c_str());
        drop.push_back(duplicates.field("recnum").text());
    }
    duplicates.close();
    for (const auto& recnum : drop)
        connection.execute("DELETE FROM Bookmark WHERE recnum = " +
                           std::to_string(std::stoull(recnum)));
    connection.execute("ALTER TABLE Bookmark DROP INDEX IF EXISTS bookmark_video, "
                       "ADD COLUMN IF NOT EXISTS medialinkkey BINARY(32) "
                       "AS (UNHEX(SHA2(medialink, 256))) STORED, "
                       "ADD UNIQUE KEY bookmark_video (medialinkkey), "
                       "ENGINE=Aria TRANSACTIONAL=1 ROW_FORMAT=PAGE");
    return static_cast<int>(drop.size());
}

struct LibrarySession {
    LibrarySession() { db::startLibrary(db::bookmarkStoreOptions()); }
    ~LibrarySession() { db::endLibrary(); }
    LibrarySession(const LibrarySession&) = delete;
    LibrarySession& operator=(const LibrarySession&) = delete;
};

} // namespace

int main(int argc, char** argv) {
    fs::path dir;
    fs::path sql;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sql" && i + 1 < argc)
            sql = argv[++i];
        else if (dir.empty() && !arg.starts_with("-"))
            dir = arg;
        else {
            std::cerr << "usage: zorvex-store-install DIR --sql PATH/bookmark.sql\n";
            return 2;
        }
    }
    if (dir.empty() || sql.empty()) {
        std::cerr << "usage: zorvex-store-install DIR --sql PATH/bookmark.sql\n";
        return 2;
    }
    if (!fs::is_directory(dir)) {
        std::cerr << "zorvex-store-install: " << dir.string() << " is not a directory\n";
        return 1;
    }
    try {
        const std::string script = db::readScriptFile(fs::absolute(sql).string());
        // The store's options are relative to the working directory.
        fs::current_path(dir);
        LibrarySession library;
        db::ConnectionSettings settings;
        settings.embedded = true;
        settings.user = "root";
        db::Connection connection(settings);
        connection.connect();
        db::runScript(connection, script);
        if (!crashSafe(tableForm(connection))) {
            const int dropped = convertTable(connection);
            if (!crashSafe(tableForm(connection)))
                throw db::Error("the bookmark table could not be converted to Aria");
            std::printf("converted the bookmark table to Aria (crash-safe)%s\n",
                        dropped ? (", " + std::to_string(dropped) + " duplicate(s) dropped").c_str()
                                : "");
        }

        db::Query count(connection, "Data");
        count.setSql("SELECT count(*) AS total_records FROM Bookmark");
        count.open();
        std::printf("bookmark store ready in %s (%lld bookmarks)\n",
                    (fs::current_path() / "Data").c_str(), count.field("total_records").toInt());
    } catch (const std::exception& error) {
        std::cerr << "zorvex-store-install: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
