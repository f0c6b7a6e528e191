#include "ui/Picture.h"

#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include <jpeglib.h>

namespace ui {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return. We jump
// back to the caller and turn the library's message into a PictureError.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {} // warnings on corrupt data stay quiet

std::string describe(std::string_view what, std::string_view detail) {
    return "'" + std::string(what) + "' is not a valid JPEG picture: " + std::string(detail);
}

// Pictures are made on any thread (the media worker decodes too).
std::uint64_t nextRevision() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

} // namespace

Picture::Picture(int width, int height, std::vector<std::uint8_t> rgb)
    : width_(width), height_(height), naturalWidth_(width), naturalHeight_(height),
      rgb_(std::move(rgb)) {
    if (width < 0 || height < 0 ||
        rgb_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        throw PictureError("picture size does not match its pixel data");
    revision_ = empty() ? 0 : nextRevision();
}

Picture::Picture(Picture&& other) noexcept
    : width_(std::exchange(other.width_, 0)), height_(std::exchange(other.height_, 0)),
      naturalWidth_(std::exchange(other.naturalWidth_, 0)),
      naturalHeight_(std::exchange(other.naturalHeight_, 0)), rgb_(std::exchange(other.rgb_, {})),
      source_(std::exchange(other.source_, {})), revision_(std::exchange(other.revision_, 0)) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        naturalWidth_ = std::exchange(other.naturalWidth_, 0);
        naturalHeight_ = std::exchange(other.naturalHeight_, 0);
        rgb_ = std::exchange(other.rgb_, {});
        source_ = std::exchange(other.source_, {});
        revision_ = std::exchange(other.revision_, 0);
    }
    return *this;
}

Picture Picture::fromFile(const std::string& path, DecodeSize atLeast) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw PictureError("Cannot open picture file '" + path + "'");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw PictureError("Cannot read picture file '" + path + "'");
    Picture p = fromJpeg(bytes, path, atLeast);
    p.source_ = path;
    return p;
}

// The libjpeg calls run between setjmp and a possible longjmp. Locals changed after
// setjmp would be indeterminate after the jump and destructors would be skipped, so
// all state lives in one heap object made before setjmp and is released after it.
namespace {
struct DecodeState {
    jpeg_decompress_struct info{};
    ErrorManager err{};
    std::vector<std::uint8_t> rgb;
    int width = 0;
    int height = 0;
    int naturalWidth = 0;
    int naturalHeight = 0;
    bool created = false;
    bool tooLarge = false;
};
struct EncodeState {
    jpeg_compress_struct info{};
    ErrorManager err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
};

// The largest of 1/8, 1/4 and 1/2 that keeps the output at least `atLeast`, else
// the full size. libjpeg scales these in the inverse DCT, so a smaller output also
// costs less work.
void chooseScale(jpeg_decompress_struct& info, DecodeSize atLeast) {
    info.scale_num = 1;
    info.scale_denom = 1;
    if (atLeast.width <= 0 || atLeast.height <= 0)
        return;
    for (unsigned denom : {8u, 4u, 2u}) {
        info.scale_denom = denom;
        jpeg_calc_output_dimensions(&info);
        if (info.output_width >= static_cast<JDIMENSION>(atLeast.width) &&
            info.output_height >= static_cast<JDIMENSION>(atLeast.height))
            return;
    }
    info.scale_denom = 1;
}

bool decode(DecodeState& s, std::string_view bytes, DecodeSize atLeast) {
    s.info.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = onError;
    s.err.pub.emit_message = onMessage;
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_decompress(&s.info);
    s.created = true;
    jpeg_mem_src(&s.info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&s.info, TRUE);
    // Reading the header allocates nothing that grows with the picture; starting the
    // decompression does (row buffers, whole-picture coefficients of a progressive
    // file, and our pixels), so the claimed size is checked here.
    s.naturalWidth = static_cast<int>(s.info.image_width);
    s.naturalHeight = static_cast<int>(s.info.image_height);
    if (static_cast<std::uint64_t>(s.info.image_width) * s.info.image_height >
        Picture::kMaxPixels) {
        s.tooLarge = true;
        return false;
    }
    s.info.out_color_space = JCS_RGB;
    chooseScale(s.info, atLeast);
    jpeg_start_decompress(&s.info);
    s.width = static_cast<int>(s.info.output_width);
    s.height = static_cast<int>(s.info.output_height);
    s.rgb.resize(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height) * 3);
    while (s.info.output_scanline < s.info.output_height) {
        JSAMPROW row =
            s.rgb.data() + static_cast<std::size_t>(s.info.output_scanline) * s.width * 3;
        jpeg_read_scanlines(&s.info, &row, 1);
    }
    jpeg_finish_decompress(&s.info);
    return true;
}

bool encode(EncodeState& s, int width, int height, const std::uint8_t* rgb, int quality) {
    s.info.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = onError;
    s.err.pub.emit_message = onMessage;
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_compress(&s.info);
    s.created = true;
    jpeg_mem_dest(&s.info, &s.buffer, &s.size);
    s.info.image_width = static_cast<JDIMENSION>(width);
    s.info.image_height = static_cast<JDIMENSION>(height);
    s.info.input_components = 3;
    s.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s.info);
    jpeg_set_quality(&s.info, quality, TRUE);
    jpeg_start_compress(&s.info, TRUE);
    while (s.info.next_scanline < s.info.image_height) {
        auto* row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(s.info.next_scanline) *
                                                   static_cast<std::size_t>(width) * 3);
        jpeg_write_scanlines(&s.info, &row, 1);
    }
    jpeg_finish_compress(&s.info);
    return true;
}
} // namespace

Picture Picture::fromJpeg(std::string_view bytes, std::string_view what, DecodeSize atLeast) {
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xD8)
        throw PictureError(describe(what, "no JPEG start marker"));
    auto state = std::make_unique<DecodeState>();
    const bool ok = decode(*state, bytes, atLeast);
    if (state->created)
        jpeg_destroy_decompress(&state->info);
    if (state->tooLarge)
        throw PictureError(
            "'" + std::string(what) + "' is too large a picture: its header claims " +
            std::to_string(state->naturalWidth) + " by " + std::to_string(state->naturalHeight) +
            " pixels, more than the " + std::to_string(kMaxPixels) + " a picture may have");
    if (!ok)
        throw PictureError(describe(what, state->err.message));
    Picture p(state->width, state->height, std::move(state->rgb));
    p.naturalWidth_ = state->naturalWidth;
    p.naturalHeight_ = state->naturalHeight;
    return p;
}

std::vector<std::uint8_t> Picture::encodeJpeg(int width, int height,
                                              const std::vector<std::uint8_t>& rgb, int quality) {
    if (width <= 0 || height <= 0 ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        throw PictureError("cannot encode an empty or malformed picture");
    auto state = std::make_unique<EncodeState>();
    const bool ok = encode(*state, width, height, rgb.data(), quality);
    if (state->created)
        jpeg_destroy_compress(&state->info);
    std::vector<std::uint8_t> out;
    if (ok)
        out.assign(state->buffer, state->buffer + state->size);
    std::free(state->buffer);
    if (!ok)
        throw PictureError(std::string("JPEG encoding failed: ") + state->err.message);
    return out;
}

std::vector<std::uint8_t> Picture::toJpeg(int quality) const {
    return encodeJpeg(width_, height_, rgb_, quality);
}

void Picture::saveJpeg(const std::string& path, int quality) const {
    if (empty())
        throw PictureError("Cannot save an empty picture to '" + path + "'");
    const auto bytes = toJpeg(quality);
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    // The system's reason (a full or read-only disk) tells the user what to mend.
    if (!out)
        throw PictureError("Cannot write picture file '" + path + "'" +
                           (errno ? std::string(" (") + std::strerror(errno) + ")" : ""));
}

} // namespace ui
