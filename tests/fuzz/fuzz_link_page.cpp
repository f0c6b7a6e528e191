// A downloaded page fed to the link resolver's rules: the first byte picks the
// kind of link (a plain page, each marked host, the test page), the rest is every
// page the resolver downloads. It must end with some link, never read past a text.

#include "FuzzInit.h"
#include "ResolverBench.h"

#include <array>
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
    static const std::array<const char*, 6> links = {
        "http://www.example.com/watch/page.html", "http://www.ifilm.com/player/?l=1&id=42&x=y",
        "http://www.comedystorage.com/clip/7",    "http://video.globo.com/play?url=abc123",
        "http://test.example/?Killerffd=1",       "http://music.aol.com/video/clip?id=3"};
    if (size == 0)
        return 0;
    const std::string page(fuzz::text(data + 1, size - 1));
    bench->pages.page = [&](std::string_view) { return page; };
    (void)bench->resolve(links[data[0] % links.size()], page.substr(0, 40));
    return 0;
}
