// Reads of the embedded bookmark store, the way the program's store runs: the
// store's server options (plus any given after the working directory, which
// override them), the Bookmark table of a prepared working directory filled to
// 1,000 bookmarks with pictures. Times the whole table in the page order, every
// bookmark page of 16, and 1,000 look-ups by media link; prints medians and the
// memory of the process.
//   bench_store WORKDIR [SERVER_OPTION...]
// The working directory must come from scripts/prepare-workdir; rows are added
// to it until it holds 1,000.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ProcessMemory.h"
#include "db/Connection.h"
#include "db/Library.h"
#include "db/Query.h"

namespace {

constexpr int bookmarks = 1000;
constexpr int pageSize = 16;
constexpr int runs = 15;

std::string linkOf(int i) {
    return "http://127.0.0.1:8090/media/clip-" + std::to_string(i) + ".wmv";
}

void fill(db::Connection& connection) {
    db::Query count(connection, "Data");
    count.setSql("SELECT count(*) AS total_records FROM Bookmark");
    count.open();
    for (int i = static_cast<int>(count.field("total_records").toInt()); i < bookmarks; ++i) {
        db::Query query(connection, "Data");
        query.beginAppend("Bookmark");
        query.setFieldFromFile(7, "noimage.jpg");
        query.setField("rssdesc", "A description of demo video " + std::to_string(i));
        char when[32];
        std::snprintf(when, sizeof when, "2024-%02d-%02d %02d:%02d:00", 1 + i / 28 % 12, 1 + i % 28,
                      i % 24, i % 60);
        query.setField("datetimein", when);
        query.setField("rsstitle", "Demo Feed");
        query.setField("rssitemtitle", "Demo video " + std::to_string(i));
        query.setField("rssurl", "http://127.0.0.1:8090/vp/vp.php?item=" + std::to_string(i));
        query.setField("medialink", linkOf(i));
        query.setField("mediatype", "video/x-ms-wmv");
        query.post();
    }
}

// Reads every row of the result as the program would: the texts and the picture.
std::size_t readAll(db::Query& query) {
    std::size_t bytes = 0;
    for (; !query.eof(); query.next())
        bytes += query.field("rssitemtitle").text().size() + query.field(7).bytes().size();
    return bytes;
}

template <typename F> double medianMs(F&& once) {
    std::vector<double> ms;
    once(); // warm the caches
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        once();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s WORKDIR [SERVER_OPTION...]\n", argv[0]);
        return 2;
    }
    if (::chdir(argv[1]) != 0) {
        std::fprintf(stderr, "bench_store: cannot use %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    try {
        std::vector<std::string> options = db::bookmarkStoreOptions();
        options.insert(options.end(), argv + 2, argv + argc);
        db::startLibrary(options);
        {
            db::ConnectionSettings settings;
            settings.embedded = true;
            settings.host = "localhost";
            settings.user = "root";
            settings.database = "Data";
            db::Connection connection(settings);
            fill(connection);

            db::Query sizes(connection, "Data");
            sizes.setSql("SELECT @@key_buffer_size AS k, @@aria_pagecache_buffer_size AS a, "
                         "@@table_open_cache AS t");
            sizes.open();
            std::printf("store with key buffer %lld KiB, Aria page cache %lld KiB, %lld open "
                        "tables%s\n",
                        sizes.field("k").toInt() / 1024, sizes.field("a").toInt() / 1024,
                        sizes.field("t").toInt(), argc > 2 ? " (options given)" : "");

            db::Query query(connection, "Data");
            const double whole = medianMs([&] {
                query.setSql("SELECT * FROM Bookmark ORDER BY datetimein DESC");
                query.open();
                if (query.recordCount() != bookmarks)
                    throw std::runtime_error("the table does not hold 1,000 bookmarks");
                readAll(query);
            });
            const int pages = (bookmarks + pageSize - 1) / pageSize;
            const double paged = medianMs([&] {
                for (int p = 0; p < pages; ++p) {
                    query.setSql("SELECT * FROM Bookmark ORDER BY datetimein DESC LIMIT " +
                                 std::to_string(p * pageSize) + "," + std::to_string(pageSize));
                    query.open();
                    readAll(query);
                }
            });
            const double lookups = medianMs([&] {
                for (int i = 0; i < bookmarks; ++i) {
                    query.setSql("SELECT recnum FROM Bookmark WHERE medialink = '" +
                                 connection.escape(linkOf(i)) + "'");
                    query.open();
                    if (query.eof())
                        throw std::runtime_error("a bookmark is missing");
                }
            });
            std::printf("  all %d bookmarks in page order, pictures included: median %.2f ms\n",
                        bookmarks, whole);
            std::printf("  every page of %d (%d pages): median %.2f ms, %.3f ms a page\n", pageSize,
                        pages, paged, paged / pages);
            std::printf("  %d look-ups by media link: median %.2f ms, %.1f us each\n", bookmarks,
                        lookups, lookups * 1000 / bookmarks);
            std::printf("  process memory: %s\n", bench::ProcessMemory::of(0).text().c_str());
        }
        db::endLibrary();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_store: %s\n", e.what());
        db::endLibrary();
        return 1;
    }
    return 0;
}
