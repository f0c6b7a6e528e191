#pragma once
// A decoded picture (8-bit RGB) as image controls show it. Decoding and encoding
// go through libjpeg-turbo; the JPEG decoder is the only one the program needs,
// since every thumbnail and picture file it reads or writes is a JPEG.
//
// Thread: a Picture is a plain value; any thread may use its own instances.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

/// Raised when a file cannot be read, is not a decodable JPEG, or cannot be written.
/// The message always names the file.
class PictureError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The least size a decode must keep. A picture shown stretched over a control
/// needs no more pixels than the control has, so the decoder may shrink it by 1/2,
/// 1/4 or 1/8 while it decodes, as long as it stays at least this wide and high.
/// Zero in either dimension asks for the full size.
struct DecodeSize {
    int width = 0;
    int height = 0;
};

class Picture {
  public:
    /// The most pixels a picture may claim: 8192 by 8192, 64 Mi pixels or 192 MiB
    /// decoded. That holds any photograph of a 64-megapixel camera and is hundreds of
    /// times what a window of this program shows, while a header of a few hundred
    /// bytes can claim up to 65,500 by 65,500 (12 GiB). A larger claim is refused
    /// after the header is read and before anything the size depends on is allocated.
    static constexpr std::uint64_t kMaxPixels = 8192ull * 8192ull;

    Picture() = default;
    /// Wraps raw pixels; `rgb` holds width*height*3 bytes. Throws PictureError otherwise.
    Picture(int width, int height, std::vector<std::uint8_t> rgb);
    Picture(const Picture&) = default;
    Picture& operator=(const Picture&) = default;
    /// The picture moved from is left empty.
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;

    /// Decodes a JPEG file, shrunk while decoding as far as `atLeast` allows. Throws
    /// PictureError naming the file when it cannot be read, is not a decodable JPEG
    /// or claims more than kMaxPixels.
    static Picture fromFile(const std::string& path, DecodeSize atLeast = {});
    /// Decodes JPEG bytes held in memory; `what` names the source in errors.
    static Picture fromJpeg(std::string_view bytes, std::string_view what, DecodeSize atLeast = {});

    /// Encodes raw RGB pixels as JPEG bytes (quality 1..100).
    static std::vector<std::uint8_t>
    encodeJpeg(int width, int height, const std::vector<std::uint8_t>& rgb, int quality = 85);

    /// Saves the picture as a JPEG file. Throws PictureError naming the file.
    void saveJpeg(const std::string& path, int quality = 85) const;
    /// The picture as JPEG bytes.
    std::vector<std::uint8_t> toJpeg(int quality = 85) const;

    bool empty() const { return width_ == 0 || height_ == 0; }
    /// The decoded size, which rgb() holds.
    int width() const { return width_; }
    int height() const { return height_; }
    /// The size the file's header gives; equal to width() and height() unless the
    /// picture was shrunk while decoding.
    int naturalWidth() const { return naturalWidth_; }
    int naturalHeight() const { return naturalHeight_; }
    const std::vector<std::uint8_t>& rgb() const { return rgb_; }
    /// The file the picture was last loaded from, or empty.
    const std::string& source() const { return source_; }
    /// Tells these pixels from any others: each picture made from pixels or decoded
    /// gets a revision no other picture of the process had; a copy keeps it, so
    /// assigning a copy of the same picture keeps it too. An empty picture has 0.
    /// Lets a viewer convert a picture only when it is another one.
    std::uint64_t revision() const { return revision_; }

  private:
    int width_ = 0;
    int height_ = 0;
    int naturalWidth_ = 0;
    int naturalHeight_ = 0;
    std::vector<std::uint8_t> rgb_;
    std::string source_;
    std::uint64_t revision_ = 0;
};

/// Image controls share their picture with `currentItem.picture`: a later fill of
/// the control replaces the object the reference points at, so both see it.
using PictureRef = std::shared_ptr<Picture>;

} // namespace ui
