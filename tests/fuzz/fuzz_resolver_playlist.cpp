// A playlist (ASX) the link resolver downloads after a page that names one: the
// input is the playlist; the resolver digs the stream address out of its href.

#include "FuzzInit.h"
#include "ResolverBench.h"

#include <memory>

namespace {
std::unique_ptr<fuzz::ResolverBench> bench;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::enterScratchFolder();
    bench = std::make_unique<fuzz::ResolverBench>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string playlist(fuzz::text(data, size));
    int fetched = 0;
    bench->pages.page = [&](std::string_view) -> std::string {
        // The page first, naming its playlist; then the playlist.
        return fetched++ == 0 ? "<a href=\"http://media.example/clip.asx\">watch</a>" : playlist;
    };
    (void)bench->resolve("http://media.example/watch/clip", "clip");
    return 0;
}
