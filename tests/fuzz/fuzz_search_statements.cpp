// Search-box text into every statement builder. Each statement must have the
// structure of the same statement built from a harmless word (with or without a
// category, which adds a clause): the text may change only the contents of
// literals. A statement of another structure stops the run.

#include "FuzzInit.h"

#include "search/ImageStatements.h"
#include "search/LibrarySearch.h"
#include "search/SqlText.h"
#include "search/TextStatements.h"
#include "support/SqlSkeleton.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const search::Exclusions kExclusions{"\"http://www.mtv.com/overdrive/player.jhtml\"",
                                     "\"youtube.com\""};

// The statement pieces the demo catalogue stores.
search::ImageSearchPieces imagePieces() {
    return {"",
            "SELECT HIGH_PRIORITY * FROM videosnap WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) "
            "AGAINST (",
            " IN BOOLEAN MODE))",
            " AND (rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
            "\"youtube.com\")) ORDER BY recnum DESC LIMIT",
            "SELECT HIGH_PRIORITY *, ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST (",
            " AND (rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
            "\"youtube.com\")) AS score FROM videosnap",
            " WHERE ((MATCH (rssdesc,rssitemtitle,rssurl) AGAINST (",
            " IN BOOLEAN MODE))",
            " AND (rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
            "\"youtube.com\")) ORDER BY score DESC LIMIT"};
}

search::TextSearchPieces textPieces() {
    return {"",
            "SELECT HIGH_PRIORITY rssitemtitle,rssdesc,medialink,rsshostname,rsscat,mediatype,"
            "recnum,rsstitle",
            " FROM videopodcasthistory WHERE ((MATCH (rsstitle,rssdesc,rssurl,rssitemtitle) "
            "AGAINST (",
            " IN BOOLEAN MODE))",
            " AND (rssurl != \"http://www.mtv.com/overdrive/player.jhtml\") AND (rsshostname != "
            "\"youtube.com\")) ORDER BY recnum DESC LIMIT"};
}

// The Special Interest page's paging of the box text, as it places the text.
std::string specialLike(std::string_view box) {
    const std::string text = search::escapeLikeText(box);
    return "SELECT * FROM videosnap WHERE (rssitemtitle  Like \"%" + text +
           "%\" or rssdesc Like \"%" + text + "%\") LIMIT 0,8";
}

struct Builder {
    const char* name;
    std::function<std::string(std::string_view)> build;
};

const std::vector<Builder>& builders() {
    static const search::ImageSearchPieces image = imagePieces();
    static const search::TextSearchPieces text = textPieces();
    static const std::vector<Builder> all = {
        {"image, newest",
         [](std::string_view b) { return search::ImageSearchBase(b, true, image); }},
        {"image, relevance",
         [](std::string_view b) { return search::ImageSearchBase(b, false, image); }},
        {"visual, newest",
         [](std::string_view b) { return search::VisualSearchBase(b, true, kExclusions); }},
        {"visual, relevance",
         [](std::string_view b) { return search::VisualSearchBase(b, false, kExclusions); }},
        {"library",
         [](std::string_view b) {
             return search::BuildLibrarySearch(b, true, "8", kExclusions).statement();
         }},
        {"phrase",
         [](std::string_view b) { return search::PhraseSearchStatement(b, kExclusions); }},
        {"popular",
         [](std::string_view b) { return search::PopularTextStatement(b, 100, kExclusions); }},
        {"latest", [](std::string_view b) { return search::LatestTextStatement(b, 100, text); }},
        {"picture lookup", [](std::string_view b) { return search::PictureLookupStatement(b); }},
        {"special interest", [](std::string_view b) { return specialLike(b); }},
    };
    return all;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view box = fuzz::text(data, size);
    for (const auto& b : builders()) {
        const std::string skeleton = testsupport::sqlSkeleton(b.build(box));
        if (skeleton == testsupport::sqlSkeleton(b.build("surfing")) ||
            skeleton == testsupport::sqlSkeleton(b.build("surfing cat:news")))
            continue;
        std::fprintf(stderr, "%s: the text changed the statement's structure:\n%s\n", b.name,
                     b.build(box).c_str());
        std::abort();
    }
    return 0;
}
