#include "browse/Thumbnail.h"

#include "ui/Image.h"

namespace browse {

void showThumbnail(ui::Image& image, const std::string& file) {
    image.setStretch(true);
    image.loadFromFile(file);
    image.show();
}

} // namespace browse
