// The bookmark store with 10,000 bookmarks: the Bookmarks tab's page load
// ("     Favorites") and one "Add to Bookmarks" answered OK (the insert and the
// page load it ends with), through the headless program's automation channel;
// and the size on disk of the 10,000 bookmarks. Prints medians.
//   bench_bookmarks ZORVEX_BINARY WORKDIR CONFIG [RUNS]
// WORKDIR must come from scripts/prepare-workdir; it is filled to 10,000
// bookmarks first (each with a 120 by 90 JPEG picture), and the bookmarks this
// benchmark adds through the window are removed again at its next start.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "AutomationProcess.h"
#include "Timings.h"
#include "bookmarks/BookmarkStore.h"
#include "db/Connection.h"
#include "db/Library.h"
#include "ui/Picture.h"

namespace {

constexpr int kBookmarks = 10000;
const std::string kLinkPrefix = "http://127.0.0.1:8090/media/bench-";

// A thumbnail-like picture: 120 by 90 with some noise, as a catalogue's are.
void writePicture(const std::string& path) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> rgb(120 * 90 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>((i / 3 % 120) + random() % 64);
    const auto jpeg = ui::Picture::encodeJpeg(120, 90, rgb);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(jpeg.data(), 1, jpeg.size(), f) != jpeg.size())
        throw std::runtime_error("cannot write " + path);
    std::fclose(f);
}

// Fills the store to 10,000 bookmarks of this benchmark, in this process; the
// store's lock goes with the library at the end, before the program starts.
void fill(const std::string& workdir) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(workdir);
    db::startLibrary(db::bookmarkStoreOptions());
    {
        writePicture("bench-picture.jpg");
        bookmarks::BookmarkStore store;
        store.open();
        db::ConnectionSettings settings;
        settings.embedded = true;
        settings.user = "root";
        settings.database = "Data";
        db::Connection c(settings);
        c.execute("DELETE FROM Bookmark WHERE medialink NOT LIKE '" + kLinkPrefix + "%'");
        for (int i = static_cast<int>(store.count()); i < kBookmarks; ++i) {
            bookmarks::NewBookmark b;
            b.mediaLink = kLinkPrefix + std::to_string(i) + ".wmv";
            b.title = "Bench video " + std::to_string(i);
            b.description = "A bookmark of the benchmark, number " + std::to_string(i);
            b.feedTitle = "Bench Feed";
            b.siteUrl = "bench.example";
            b.mediaType = "video/x-ms-wmv";
            char when[32];
            std::snprintf(when, sizeof when, "2020-01-01 %02d:%02d:%02d", i / 3600, i / 60 % 60,
                          i % 60);
            b.addedAt = when;
            b.picture = "bench-picture.jpg";
            store.insert(b);
        }
        store.close();
    }
    db::endLibrary();
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator("Data"))
        if (entry.path().stem() == "Bookmark")
            bytes += entry.file_size();
    std::uintmax_t logBytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename().string().rfind("aria_log", 0) == 0)
            logBytes += entry.file_size();
    std::printf("size on disk of %d bookmarks (picture %ju bytes each): table files %.1f MB, "
                "Aria log %.1f MB\n",
                kBookmarks, std::filesystem::file_size("bench-picture.jpg"), bytes / 1e6,
                logBytes / 1e6);
    std::filesystem::current_path(previous);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    try {
        fill(argv[2]);
        std::vector<double> first, last, add;
        bench::AutomationProcess p(argv[1], {"--workdir", argv[2], "--config", argv[3]});
        p.request("[\"advance\",200]");
        if (p.request("[\"state\",\"onlineMode\"]").find("\"data\":true") == std::string::npos)
            throw std::runtime_error("the online load did not finish; is the catalogue running?");
        p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
        // Until something is added the tab shows its first page.
        for (int r = 0; r < runs * 3; ++r)
            first.push_back(p.timed("[\"event\",\"suiImageButton27\",\"Click\"]"));
        // Each add takes a thumbnail of the Newest Videos page not yet stored; a
        // video whose link is stored already (the demo's items share their clips)
        // shows the duplicate notice instead, which is answered and not counted.
        for (int attempt = 0; static_cast<int>(add.size()) < runs && attempt < 8 * 20; ++attempt) {
            const std::string pic = "featurepic" + std::to_string(attempt % 8 + 1);
            if (attempt > 0 && attempt % 8 == 0)
                p.request("[\"event\",\"suiImageButton7\",\"Click\"]");
            p.request("[\"event\",\"" + pic + "\",\"MouseMove\",{\"x\":5,\"y\":5}]");
            p.request("[\"event\",\"" + pic + "\",\"MouseLeave\"]");
            p.request("[\"menu\",\"AddtoFavourites1\"]");
            const double ms = p.timed("[\"event\",\"bookmarkbox.Button4\",\"Click\"]");
            if (p.request("[\"state\",\"bookmarkDialogMode\"]").find("duplicate") !=
                std::string::npos)
                p.request("[\"event\",\"bookmarkbox.Button3\",\"Click\"]");
            else
                add.push_back(ms);
        }
        if (add.empty())
            throw std::runtime_error("every video of the Newest Videos pages is stored already");
        // An add shows the last page, and the tab stays there.
        for (int r = 0; r < runs * 3; ++r)
            last.push_back(p.timed("[\"event\",\"suiImageButton27\",\"Click\"]"));
        bench::printTimings("LoadBookmarkPage with 10,000 bookmarks, first page", first);
        bench::printTimings("LoadBookmarkPage with 10,000 bookmarks, last page", last);
        bench::printTimings("AddBookmark with 10,000 bookmarks (insert and page load)", add);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_bookmarks: %s\n", e.what());
        return 1;
    }
    return 0;
}
