#pragma once
// Showing a thumbnail that the catalogue layer wrote to a picture file.
//
// Thread: user-interface thread only.

#include <string>

namespace ui {
class Image;
}

namespace browse {

/// Loads `file` into `image`, stretched, and shows it. Throws the picture error
/// naming the file when it is not a decodable JPEG.
void showThumbnail(ui::Image& image, const std::string& file);

} // namespace browse
