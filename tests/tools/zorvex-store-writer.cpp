// zorvex-store-writer: a second process on a bookmark store, for the tests that
// need one (a process killed in the middle of its inserts, two processes on one
// working directory).
//
//   zorvex-store-writer DIR insert N         inserts N bookmarks, printing
//                                            "stored I" after each insert returned
//   zorvex-store-writer DIR probe HOST PORT  one bookmark operation and one catalogue
//                                            query, printing what each gave
//
// DIR is the working directory (prepared as the install step prepares it).

#include "bookmarks/BookmarkStore.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

int insert(int n) {
    bookmarks::BookmarkStore store;
    store.open();
    for (int i = 0; i < n; ++i) {
        bookmarks::NewBookmark b;
        b.mediaLink = "http://127.0.0.1:8090/media/killed-" + std::to_string(i) + ".wmv";
        b.title = "Bookmark " + std::to_string(i);
        b.description = "Inserted by the writer";
        b.addedAt = bookmarks::BookmarkStore::now();
        b.picture = "noimage.jpg";
        store.insert(b);
        std::printf("stored %d\n", i);
        std::fflush(stdout);
    }
    store.close();
    return 0;
}

int probe(const std::string& host, unsigned port) {
    try {
        bookmarks::BookmarkStore store;
        store.open();
        std::printf("store: %lld bookmarks\n", store.count());
    } catch (const db::Error& e) {
        std::printf("store error: %s\n", e.what());
    }
    try {
        db::ConnectionSettings s;
        s.host = host;
        s.port = port;
        s.user = "mediauser";
        s.password = "#!%@qwmv*&r*";
        s.database = "qzrbackup";
        db::Connection catalogue(s);
        db::Query q(catalogue, "halden");
        q.setSql("SELECT count(*) AS n FROM videosnap");
        q.open();
        std::printf("catalogue: %lld items\n", q.field("n").toInt());
    } catch (const db::Error& e) {
        std::printf("catalogue error: %s\n", e.what());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zorvex-store-writer DIR insert N | DIR probe HOST PORT\n");
        return 2;
    }
    const std::string mode = argv[2];
    try {
        std::filesystem::current_path(argv[1]);
        db::startLibrary(db::bookmarkStoreOptions());
        int status = 2;
        if (mode == "insert" && argc == 4)
            status = insert(std::stoi(argv[3]));
        else if (mode == "probe" && argc == 5)
            status = probe(argv[3], static_cast<unsigned>(std::stoul(argv[4])));
        db::endLibrary();
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorvex-store-writer: %s\n", e.what());
        return 1;
    }
}
