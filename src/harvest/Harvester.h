#pragma once
// One harvest: download every feed (in parallel, bounded per host), read each as it
// streams from its file, and write its items into the catalogue in batches. For an
// item new to the image library the thumbnail comes from the feed's picture, else a
// frame of the video, else the placeholder; items already stored are updated
// without fetching anything.
//
// A feed fails when it cannot be downloaded or read to its end, when the catalogue
// cannot be reached, or when one of its items is refused; the other feeds go on.
// Every write is an upsert, so a harvest cut short is completed by the next.
//
// Thread: the caller's; the harvester owns its catalogue connection.

#include "harvest/CatalogueWriter.h"
#include "harvest/HarvestConfig.h"

#include <functional>
#include <string>
#include <vector>

namespace harvest {

struct FeedReport {
    FeedSource source;
    std::string title; ///< as stored (the configured title, else the feed's own)
    std::size_t added = 0;
    std::size_t updated = 0;
    std::size_t unchanged = 0;
    std::size_t skipped = 0; ///< items without a media link the player takes
    std::size_t failed = 0;  ///< items the catalogue refused
    std::size_t frames = 0;  ///< thumbnails taken from a frame of the video
    std::string error;       ///< why the feed failed; "" when it did not

    bool ok() const { return error.empty() && failed == 0; }
};

struct HarvestReport {
    std::vector<FeedReport> feeds;
    double seconds = 0;

    std::size_t failedFeeds() const;
    FeedReport totals() const;
};

class Harvester {
  public:
    /// `scratch` is a directory for the downloaded feeds (they are removed after use).
    Harvester(HarvestSettings settings, std::string scratch);

    /// Called after each feed, for a progress line.
    void onFeedDone(std::function<void(const FeedReport&)> callback) {
        onFeedDone_ = std::move(callback);
    }

    /// Harvests `feeds` once. Never throws except std::bad_alloc.
    HarvestReport run(const std::vector<FeedSource>& feeds);

  private:
    void harvestFeed(const FeedSource& source, const std::string& file, FeedReport& report);
    void writeBatch(const FeedSource& source, std::vector<ItemRecord>& batch, FeedReport& report);
    std::string thumbnailFor(const ItemRecord& record, const std::string* pictureBytes,
                             FeedReport& report);

    HarvestSettings settings_;
    std::string scratch_;
    db::Connection connection_;
    CatalogueWriter writer_;
    std::function<void(const FeedReport&)> onFeedDone_;
};

} // namespace harvest
