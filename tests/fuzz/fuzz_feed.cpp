// A feed as the harvester downloads it: any bytes are either read item by item or
// refused with a message, never expanding an entity or reaching the network (the
// parser's own settings; a fuzzing run has no network to reach anyway).

#include "FuzzInit.h"

#include "harvest/Feed.h"
#include "harvest/FeedDate.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view xml = fuzz::text(data, size);
    std::size_t seen = 0;
    const harvest::ParseOutcome outcome =
        harvest::parseFeedText(xml, [&](const harvest::FeedInfo&, harvest::FeedItem&& item) {
            ++seen;
            (void)harvest::parseFeedDate(item.pubDate);
        });
    if (outcome.items != seen || (!outcome.ok && outcome.error.empty()))
        std::abort();
    (void)harvest::plainText(xml);
    (void)harvest::parseFeedDate(xml.substr(0, 64));
    return 0;
}
