// Thumbnails from a feed's picture: any common format, scaled to the page size; what
// is not a picture, or claims a huge size, is refused.

#include "harvest/Thumbnail.h"

#include "ui/Picture.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using harvest::kThumbnailHeight;
using harvest::kThumbnailWidth;
using harvest::ThumbnailError;

std::string jpeg(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>(i * 7);
    const auto bytes = ui::Picture::encodeJpeg(width, height, rgb);
    return std::string(bytes.begin(), bytes.end());
}

void put32(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void chunk(std::string& png, const char* type, const std::string& data) {
    put32(png, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png += body;
    put32(png, static_cast<std::uint32_t>(
                   crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

// A PNG of `width` by `height` grey pixels; `claimWidth`/`claimHeight` go into its
// header instead when given.
std::string png(int width, int height, int claimWidth = 0, int claimHeight = 0) {
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    put32(header, static_cast<std::uint32_t>(claimWidth ? claimWidth : width));
    put32(header, static_cast<std::uint32_t>(claimHeight ? claimHeight : height));
    header += std::string("\x08\x00\x00\x00\x00", 5); // 8-bit grey
    chunk(png, "IHDR", header);
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        raw += std::string(static_cast<std::size_t>(width), static_cast<char>(y));
    }
    uLongf size = compressBound(raw.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(size);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", "");
    return png;
}

void expectThumbnail(const std::string& bytes) {
    const ui::Picture picture = ui::Picture::fromJpeg(bytes, "thumbnail");
    EXPECT_EQ(picture.width(), kThumbnailWidth);
    EXPECT_EQ(picture.height(), kThumbnailHeight);
}

TEST(Thumbnail, JpegScaledToThePageSize) {
    expectThumbnail(harvest::thumbnailFromPicture(jpeg(640, 360)));
    expectThumbnail(harvest::thumbnailFromPicture(jpeg(16, 9)));
}

TEST(Thumbnail, PngToo) {
    expectThumbnail(harvest::thumbnailFromPicture(png(200, 100)));
}

TEST(Thumbnail, NotAPictureIsRefused) {
    EXPECT_THROW(harvest::thumbnailFromPicture(""), ThumbnailError);
    EXPECT_THROW(harvest::thumbnailFromPicture("<html><body>Not found</body></html>"),
                 ThumbnailError);
    EXPECT_THROW(harvest::thumbnailFromPicture(std::string(5000, '\x42')), ThumbnailError);
    // A JPEG cut short after its header.
    EXPECT_THROW(harvest::thumbnailFromPicture(jpeg(64, 64).substr(0, 300)), ThumbnailError);
}

TEST(Thumbnail, HugeClaimIsRefused) {
    // A JPEG whose frame header claims 60000 by 60000 pixels.
    std::string huge = jpeg(32, 32);
    const std::size_t sof = huge.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = huge[sof + 7] = '\xea';
    huge[sof + 6] = huge[sof + 8] = '\x60';
    EXPECT_THROW(harvest::thumbnailFromPicture(huge), ThumbnailError);
    EXPECT_THROW(harvest::thumbnailFromPicture(png(8, 8, 100000, 100000)), ThumbnailError);
}

TEST(Thumbnail, VideosOnlyOverHttp) {
    for (const char* url :
         {"file:///etc/passwd", "/etc/passwd", "ftp://example.org/a.mp4", "concat:a.mp4|b.mp4"})
        EXPECT_THROW(harvest::thumbnailFromVideo(url, std::chrono::seconds(2)), ThumbnailError)
            << url;
}

TEST(Thumbnail, PlaceholderIsAThumbnail) {
    expectThumbnail(harvest::placeholderThumbnail());
}

} // namespace
