#pragma once
// The harvester's settings: where the catalogue is and which account writes to it,
// the feeds to read, and the limits of its downloads. Read from an INI file:
//
//   [catalogue]
//   host = 127.0.0.1
//   port = 3306
//   user = harvester
//   password = ...
//   database = halden
//   connect_timeout = 10       ; seconds
//   read_timeout = 35
//   write_timeout = 35
//
//   [harvest]
//   parallel = 8               ; downloads at once
//   per_host = 2               ; downloads at once from one host
//   time_limit = 20            ; seconds for one download, from start to last byte
//   max_feed_mib = 8           ; the largest feed read
//   max_picture_mib = 8        ; the largest thumbnail read
//   frames = yes               ; a frame of the video when an item has no picture
//   feed = URL | CATEGORY | FEED TITLE | both
//
// `feed` may be given any number of times; after the URL every field may be left
// empty (category: the item's own; title: the feed's own; library: both). The
// library is `image`, `text` or `both`. Comments and quoting are those of zorvex.ini:
// a line starting with ';' or '#' is a comment, and so is the rest of a line after a
// blank and a ';' or '#'; a value in double quotes is taken as written.
//
// Thread: a plain value; read once at start-up.

#include "db/Connection.h"

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace harvest {

/// A malformed file or value; the message names the file, the line and the key.
class ConfigError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// Which of the catalogue's libraries a feed's items go to: the image library
/// (`videosnap`, with thumbnails), the text library (`videopodcasthistory`) or both.
enum class Library { Image, Text, Both };

struct FeedSource {
    std::string url;
    /// The category every item gets; empty: the item's own first category.
    std::string category;
    /// The feed title every item gets; empty: the feed's own.
    std::string title;
    Library library = Library::Both;
};

struct HarvestSettings {
    HarvestSettings();

    db::ConnectionSettings catalogue;
    std::vector<FeedSource> feeds;
    int parallel = 8;
    int perHost = 2;
    std::chrono::milliseconds timeLimit{20'000};
    std::uint64_t maxFeedBytes = 8u << 20;
    std::uint64_t maxPictureBytes = 8u << 20;
    bool frames = true;
};

/// Reads `path` over the defaults. Throws ConfigError for a missing or unreadable
/// file, a directory, an unknown section or key, a single-valued key given twice
/// or a bad value.
HarvestSettings loadHarvestConfig(const std::string& path);
/// The same for INI text; `origin` names it in errors.
HarvestSettings parseHarvestConfig(std::string_view text, std::string_view origin);
/// A `feed` value: "URL | category | title | library". Throws ConfigError.
FeedSource parseFeedSource(std::string_view value);

} // namespace harvest
