#pragma once
// The bookmark store: the connection `localserver` to the embedded server that runs
// inside the process, in the working directory's database `Data`, and the query
// component `localquery` that runs every statement on its table `Bookmark`.
//
// The store is opened on first use and stays open until the main window closes.
// User, password and database are set again before every operation. The program
// never creates the database or the table: a working directory without them fails
// at the first operation with the server's own error ("Unknown database 'Data'").
//
// Thread: user-interface thread only. Every call throws db::Error on failure.

#include <cstdint>
#include <filesystem>
#include <string>

#include "catalogue/SlotTable.h"
#include "db/Connection.h"
#include "db/Query.h"

namespace bookmarks {

/// The texts of one new bookmark; recnum is left to the store.
struct NewBookmark {
    std::string mediaLink;
    std::string description;
    std::string siteUrl;
    std::string mediaType;
    std::string feedTitle;
    std::string title;
    /// Local date and time, "YYYY-MM-DD hh:mm:ss".
    std::string addedAt;
    /// The JPEG file whose bytes become the picture column.
    std::filesystem::path picture;
};

class BookmarkStore {
  public:
    /// Bookmarks shown on one page.
    static constexpr int kPageSize = 16;
    /// The picture column, read and written by position.
    static constexpr int kPictureColumn = 7;

    BookmarkStore();
    BookmarkStore(const BookmarkStore&) = delete;
    BookmarkStore& operator=(const BookmarkStore&) = delete;

    /// User "root", empty password, database "Data", then connects (no-op when
    /// connected). The first call waits for the embedded server.
    void open();
    /// Disconnects, ignoring errors (the main window's close).
    void close() noexcept;
    bool isOpen() const noexcept { return localserver_.connected(); }

    /// "SELECT count(*) as total_records FROM Bookmark".
    long long count();
    /// Opens `localquery` on the page at `offset` (up to 16 rows, oldest first) and
    /// returns it, positioned on the first row.
    db::Query& readPage(int offset);
    /// "DELETE FROM Bookmark".
    void clear();
    /// Deletes every row whose recnum is `recnum`; the text goes into the statement's
    /// double-quoted literal escaped.
    void remove(const std::string& recnum);
    /// Inserts one row: the texts by name in the designed order, the picture by
    /// position. A duplicate link throws db::Error number 1062.
    void insert(const NewBookmark& bookmark);

    /// The local date and time now, as the store keeps it.
    static std::string now();

  private:
    /// User, password and database before every use.
    void prepare();

    db::Connection localserver_;
    db::Query localquery_;
};

/// One page row as the slot table keeps it.
catalogue::Item bookmarkItem(const db::Query& row);

} // namespace bookmarks
