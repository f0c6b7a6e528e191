#include "bookmarks/BookmarkStore.h"

#include "catalogue/VideoRows.h"
#include "platform/SystemInfo.h"

namespace bookmarks {

namespace {

db::ConnectionSettings localserverSettings() {
    db::ConnectionSettings s;
    s.embedded = true;
    s.host = "localhost";
    s.database = "Data";
    return s;
}

} // namespace

BookmarkStore::BookmarkStore()
    : localserver_(localserverSettings()), localquery_(localserver_, "Data") {}

void BookmarkStore::prepare() {
    auto& s = localserver_.settings();
    s.user = "root";
    s.password.clear();
    s.database = "Data";
    localquery_.setDatabase("Data");
}

void BookmarkStore::open() {
    prepare();
    localserver_.connect();
}

void BookmarkStore::close() noexcept {
    localquery_.close();
    localserver_.disconnect();
}

long long BookmarkStore::count() {
    prepare();
    localquery_.setSql("SELECT count(*) as total_records FROM Bookmark");
    localquery_.open();
    const long long total = localquery_.field("total_records").toInt();
    localquery_.close();
    return total;
}

db::Query& BookmarkStore::readPage(int offset) {
    prepare();
    localquery_.setSql("SELECT * FROM Bookmark ORDER BY datetimein LIMIT " +
                       std::to_string(offset) + "," + std::to_string(kPageSize));
    localquery_.open();
    return localquery_;
}

void BookmarkStore::clear() {
    prepare();
    localquery_.setSql("DELETE FROM Bookmark");
    localquery_.execSql();
}

void BookmarkStore::remove(const std::string& recnum) {
    prepare();
    // The literal's text is escaped: a record number is digits, but it reaches
    // here as text from a slot, and no text may end the literal.
    open();
    localquery_.setSql("DELETE FROM Bookmark WHERE recnum = \"" + localserver_.escape(recnum) +
                       "\"");
    localquery_.execSql();
}

void BookmarkStore::insert(const NewBookmark& b) {
    prepare();
    localquery_.beginAppend("Bookmark");
    try {
        localquery_.setFieldFromFile(kPictureColumn, b.picture);
        localquery_.setField("rssdesc", b.description);
        localquery_.setField("datetimein", b.addedAt);
        localquery_.setField("rsstitle", b.feedTitle);
        localquery_.setField("rssitemtitle", b.title);
        localquery_.setField("rssurl", b.siteUrl);
        localquery_.setField("medialink", b.mediaLink);
        localquery_.setField("mediatype", b.mediaType);
    } catch (...) {
        localquery_.cancelAppend();
        throw;
    }
    localquery_.post();
}

std::string BookmarkStore::now() {
    return platform::localDateTime();
}

catalogue::Item bookmarkItem(const db::Query& row) {
    // A bookmark row has the catalogue's column names, and its own media link.
    catalogue::Item item = catalogue::itemByName(row);
    item.mediaLink = row.field("medialink").text();
    return item;
}

} // namespace bookmarks
