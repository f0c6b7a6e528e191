// A picture file as the program decodes it (thumbnails from the catalogue, the
// player's snapshot, the bookmark pictures): a decoded picture or a refusal, also
// when decoded at a reduced size.

#include "FuzzInit.h"

#include "ui/Picture.h"

#include <exception>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::text(data, size);
    try {
        const ui::Picture full = ui::Picture::fromJpeg(bytes, "fuzz.jpg");
        (void)full.rgb();
    } catch (const std::exception&) {
    }
    try {
        const ui::Picture shown = ui::Picture::fromJpeg(bytes, "fuzz.jpg", ui::DecodeSize{40, 30});
        (void)shown.rgb();
    } catch (const std::exception&) {
    }
    return 0;
}
