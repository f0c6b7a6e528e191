// zorvex-store-install: creates the bookmark store in a working directory by
// running demo/bookmark.sql through the embedded server, started in that directory
// with the same options the program uses, so the table is made by the same server
// kind that later reads it. An existing store and its bookmarks are kept.
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

namespace {

namespace fs = std::filesystem;

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
