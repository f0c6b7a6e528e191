#pragma once
// Reading a video feed: RSS 2.0 (with <enclosure>), Media RSS (media:content,
// media:group, media:thumbnail, media:title, media:description, media:category, ...)
// and Atom (link rel="enclosure"), with libxml2's streaming reader. Items are handed
// out one at a time as they are read, so a feed of any length needs the memory of
// one item.
//
// The reader is safe on hostile input: it never loads a DTD or anything from the
// network, never substitutes entities (an entity reference is left out of the text,
// so an entity bomb cannot expand and an external entity is never read), and a
// document that is not well-formed ends with its error.
//
// Thread: a call parses on the calling thread; calls on different threads are
// independent (libxml2 is initialised once for the process, thread-safely).

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvest {

enum class FeedFormat { Unknown, Rss, Atom };

/// What the feed says about itself (what was read before the current item).
struct FeedInfo {
    FeedFormat format = FeedFormat::Unknown;
    std::string title;
    std::string link; ///< the site's page
    std::string language;
    std::string editor; ///< managing editor or author
};

/// One media file an item offers.
struct MediaFile {
    std::string url;
    std::string type;   ///< MIME type as the feed gives it (may be empty)
    std::string medium; ///< Media RSS's medium ("video", "audio", "image", ...)
    std::uint64_t length = 0;
    unsigned duration = 0; ///< seconds
    unsigned width = 0;
    unsigned height = 0;
    bool isDefault = false;
};

struct FeedItem {
    std::string title;
    std::string description; ///< plain text: markup removed, blanks collapsed
    std::string link;        ///< the item's page on its site
    std::string guid;
    std::string author;
    std::string pubDate; ///< as the feed wrote it
    std::optional<std::time_t> published;
    std::vector<std::string> categories;
    std::string keywords;
    std::string rating;
    std::string thumbnailUrl;
    /// The video (or audio) to play; its url is empty when the item has none.
    MediaFile media;
};

struct ParseOutcome {
    bool ok = false;
    /// Why the feed could not be read to its end, with the line; "" when ok.
    std::string error;
    /// Items handed out (also those before an error).
    std::size_t items = 0;
    FeedInfo info;
};

using ItemSink = std::function<void(const FeedInfo&, FeedItem&&)>;

/// Streams the feed in the file `path`, calling `onItem` for each item in document
/// order. An exception from `onItem` stops the parse and passes on.
ParseOutcome parseFeedFile(const std::string& path, const ItemSink& onItem);
/// The same for a feed held in memory.
ParseOutcome parseFeedText(std::string_view xml, const ItemSink& onItem);

/// Text of an HTML fragment: tags removed, the common character entities decoded,
/// runs of blanks made one space.
std::string plainText(std::string_view html);

} // namespace harvest
