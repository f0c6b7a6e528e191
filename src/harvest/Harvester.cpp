#include "harvest/Harvester.h"

#include "harvest/FetchPool.h"
#include "harvest/Thumbnail.h"

#include "db/Error.h"

#include <chrono>
#include <filesystem>
#include <unordered_set>

namespace harvest {

namespace {

// Items written per round: one query finds those already stored, their pictures
// download together, and no more than this many are held at once.
constexpr std::size_t batchSize = 200;

// Raised inside a feed's parse to stop it when the catalogue is out of reach.
struct CatalogueLost {
    std::string message;
};

bool wantsImage(Library library) {
    return library != Library::Text;
}
bool wantsText(Library library) {
    return library != Library::Image;
}

void count(FeedReport& report, Upsert a, std::optional<Upsert> b = std::nullopt) {
    const bool inserted = a == Upsert::Inserted || (b && *b == Upsert::Inserted);
    const bool updated = a == Upsert::Updated || (b && *b == Upsert::Updated);
    if (inserted)
        ++report.added;
    else if (updated)
        ++report.updated;
    else
        ++report.unchanged;
}

} // namespace

std::size_t HarvestReport::failedFeeds() const {
    std::size_t n = 0;
    for (const FeedReport& f : feeds)
        n += f.ok() ? 0 : 1;
    return n;
}

FeedReport HarvestReport::totals() const {
    FeedReport t;
    for (const FeedReport& f : feeds) {
        t.added += f.added;
        t.updated += f.updated;
        t.unchanged += f.unchanged;
        t.skipped += f.skipped;
        t.failed += f.failed;
        t.frames += f.frames;
    }
    return t;
}

Harvester::Harvester(HarvestSettings settings, std::string scratch)
    : settings_(std::move(settings)), scratch_(std::move(scratch)),
      connection_(settings_.catalogue), writer_(connection_) {}

HarvestReport Harvester::run(const std::vector<FeedSource>& feeds) {
    const auto started = std::chrono::steady_clock::now();
    HarvestReport report;
    std::vector<FetchRequest> requests;
    for (std::size_t i = 0; i < feeds.size(); ++i) {
        FetchRequest request;
        request.url = feeds[i].url;
        request.file =
            (std::filesystem::path(scratch_) / ("feed-" + std::to_string(i) + ".xml")).string();
        request.maxBytes = settings_.maxFeedBytes;
        request.timeLimit = settings_.timeLimit;
        requests.push_back(std::move(request));
    }
    FetchPool pool(settings_.parallel, settings_.perHost);
    const std::vector<FetchResult> fetched = pool.fetchAll(requests);
    for (std::size_t i = 0; i < feeds.size(); ++i) {
        FeedReport feed;
        feed.source = feeds[i];
        feed.title = feeds[i].title;
        if (!fetched[i].ok())
            feed.error = fetched[i].message.empty() ? "the download failed" : fetched[i].message;
        else
            harvestFeed(feeds[i], requests[i].file, feed);
        std::error_code ignored;
        std::filesystem::remove(requests[i].file, ignored);
        if (onFeedDone_)
            onFeedDone_(feed);
        report.feeds.push_back(std::move(feed));
    }
    connection_.disconnect();
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

void Harvester::harvestFeed(const FeedSource& source, const std::string& file, FeedReport& report) {
    std::vector<ItemRecord> batch;
    const std::time_t now = std::time(nullptr);
    ParseOutcome outcome;
    try {
        outcome = parseFeedFile(file, [&](const FeedInfo& info, FeedItem&& item) {
            if (report.title.empty())
                report.title = info.title;
            std::string why;
            std::optional<ItemRecord> record = recordOf(source, info, item, now, why);
            if (!record) {
                ++report.skipped;
                return;
            }
            batch.push_back(std::move(*record));
            if (batch.size() >= batchSize)
                writeBatch(source, batch, report);
        });
        if (report.title.empty())
            report.title = outcome.info.title;
        writeBatch(source, batch, report);
    } catch (const CatalogueLost& lost) {
        report.error = lost.message;
        return;
    }
    if (!outcome.ok)
        report.error = outcome.error;
}

void Harvester::writeBatch(const FeedSource& source, std::vector<ItemRecord>& batch,
                           FeedReport& report) {
    if (batch.empty())
        return;
    try {
        std::vector<std::string> pictures; // per item of the batch: the picture's bytes
        std::vector<bool> isNew(batch.size(), false);
        if (wantsImage(source.library)) {
            std::vector<std::string> links;
            for (const ItemRecord& r : batch)
                links.push_back(r.mediaLink);
            const std::unordered_set<std::string> stored = writer_.storedImageLinks(links);
            std::vector<FetchRequest> requests;
            std::vector<std::size_t> requestOf(batch.size(), SIZE_MAX);
            for (std::size_t i = 0; i < batch.size(); ++i) {
                isNew[i] = !stored.count(batch[i].mediaLink);
                if (isNew[i] && !batch[i].thumbnailUrl.empty()) {
                    requestOf[i] = requests.size();
                    FetchRequest request;
                    request.url = batch[i].thumbnailUrl;
                    request.maxBytes = settings_.maxPictureBytes;
                    request.timeLimit = settings_.timeLimit;
                    requests.push_back(std::move(request));
                }
            }
            FetchPool pool(settings_.parallel, settings_.perHost);
            std::vector<FetchResult> fetched = pool.fetchAll(requests);
            pictures.resize(batch.size());
            for (std::size_t i = 0; i < batch.size(); ++i)
                if (requestOf[i] != SIZE_MAX && fetched[requestOf[i]].ok())
                    pictures[i] = std::move(fetched[requestOf[i]].body);
        }
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const ItemRecord& record = batch[i];
            try {
                std::optional<Upsert> image;
                std::optional<Upsert> text;
                if (wantsImage(source.library)) {
                    std::string thumbnail;
                    if (isNew[i])
                        thumbnail = thumbnailFor(record, &pictures[i], report);
                    image = writer_.writeImage(record, isNew[i] ? &thumbnail : nullptr);
                    pictures[i].clear();
                }
                if (wantsText(source.library))
                    text = writer_.writeText(record);
                count(report, image ? *image : *text, image ? text : std::nullopt);
            } catch (const db::Error& error) {
                // A connection that could not be made (a locked account, say) ends the
                // feed as one that broke does; only a refused statement is the item's.
                if (db::isConnectionFailure(error.number()) || !connection_.connected())
                    throw;
                ++report.failed;
                if (report.error.empty())
                    report.error =
                        "the catalogue refused " + record.mediaLink + ": " + error.what();
            }
        }
    } catch (const db::Error& error) {
        // The server is gone or refuses the account: nothing more of this feed can
        // be written. The next feed connects again.
        connection_.disconnect();
        batch.clear();
        throw CatalogueLost{std::string("catalogue: ") + error.what()};
    }
    batch.clear();
}

std::string Harvester::thumbnailFor(const ItemRecord& record, const std::string* pictureBytes,
                                    FeedReport& report) {
    if (pictureBytes && !pictureBytes->empty()) {
        try {
            return thumbnailFromPicture(*pictureBytes);
        } catch (const ThumbnailError&) {
            // Not a picture after all: a frame of the video serves instead.
        }
    }
    if (settings_.frames) {
        try {
            std::string frame = thumbnailFromVideo(record.mediaLink, settings_.timeLimit);
            ++report.frames;
            return frame;
        } catch (const ThumbnailError&) {
        }
    }
    return placeholderThumbnail();
}

} // namespace harvest
