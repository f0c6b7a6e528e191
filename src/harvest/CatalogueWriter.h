#pragma once
// Writing harvested items into the catalogue: one `videosnap` row (the image
// library, with its thumbnail) and one `videopodcasthistory` row (the text library)
// per media link. Rows are upserted on the unique key of `harvestkey`, the SHA-256
// of the media link, in one statement each: an item seen before is updated, never
// stored twice, however many harvesters run at once.
//
// Thread: the thread that owns the connection (see db::Connection).

#include "harvest/Feed.h"
#include "harvest/HarvestConfig.h"

#include "db/Connection.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace harvest {

/// One item as its rows hold it: every column the pages, the side tabs, the
/// category tree and the searches read, cut to the columns' lengths (in
/// characters, never splitting one).
struct ItemRecord {
    std::string feedTitle; ///< rsstitle
    std::string host;      ///< rsshostname
    std::string editor;    ///< rsseditor
    std::string category;  ///< rsscat
    std::string feedUrl;   ///< rssfeedurl
    std::string siteUrl;   ///< rssurl: the item's page
    std::string language;
    std::string pubDate; ///< as the feed wrote it
    std::string title;   ///< rssitemtitle
    std::string description;
    std::string author;
    std::string guid;
    std::string keywords;
    std::string rating;
    unsigned duration = 0;
    std::uint64_t length = 0;
    std::string mediaLink;
    std::string mediaType;
    unsigned width = 0;
    unsigned height = 0;
    std::string dateTime; ///< datetimevalue, the harvest's time: "YYYY-MM-DD HH:MM:SS" (UTC)
    std::string thumbnailUrl;
};

/// The record of `item` of the feed `source` (whose own description is `info`), or
/// nullopt with `why` set when the item cannot be stored: no media link, a link
/// that is not http, https, mms, rtsp or rtmp, or one longer than the column.
/// `now` is the time of the harvest; a stored row keeps the time it was first
/// harvested.
std::optional<ItemRecord> recordOf(const FeedSource& source, const FeedInfo& info,
                                   const FeedItem& item, std::time_t now, std::string& why);

/// The host of a URL ("http://user@Example.org:80/x" gives "example.org"); "" when
/// it has none.
std::string hostOf(std::string_view url);

enum class Upsert { Inserted, Updated, Unchanged };

class CatalogueWriter {
  public:
    /// Uses `connection`, whose default database holds the two tables.
    explicit CatalogueWriter(db::Connection& connection) : db_(connection) {}

    /// Which of `links` already have an image library row. Throws db::Error.
    std::unordered_set<std::string> storedImageLinks(const std::vector<std::string>& links);
    /// Upserts the image library row. `thumbnail` (JPEG bytes) is stored with a new
    /// row or replaces a stored one; null keeps the stored one. Throws db::Error.
    Upsert writeImage(const ItemRecord& record, const std::string* thumbnail);
    /// Upserts the text library row. Throws db::Error.
    Upsert writeText(const ItemRecord& record);

  private:
    std::string quoted(std::string_view text) const;
    std::string key(const ItemRecord& record) const;
    static Upsert outcome(std::uint64_t affected);

    db::Connection& db_;
};

} // namespace harvest
