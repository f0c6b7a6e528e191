#pragma once
// Bookmarks stored straight into a bookmark store, as the tests set a store up.

#include <cstdio>
#include <string>

#include "bookmarks/BookmarkStore.h"

namespace bookmarktest {

/// Stores `n` bookmarks numbered from `from`, a minute apart, oldest first, each
/// with the placeholder picture of the working directory.
inline void fillStore(bookmarks::BookmarkStore& store, int n, int from = 0) {
    store.open();
    for (int i = from; i < from + n; ++i) {
        bookmarks::NewBookmark b;
        b.mediaLink = "http://127.0.0.1:8090/media/clip-" + std::to_string(i) + ".wmv";
        b.title = "Bookmark " + std::to_string(i);
        char when[32];
        std::snprintf(when, sizeof when, "2024-01-01 %02d:%02d:00", i / 60, i % 60);
        b.addedAt = when;
        b.picture = "noimage.jpg";
        store.insert(b);
    }
}

} // namespace bookmarktest
