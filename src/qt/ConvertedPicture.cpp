#include "qt/ConvertedPicture.h"

#include "qt/Conversions.h"
#include "ui/Picture.h"

namespace qtfront {

bool ConvertedPicture::update(const ui::Picture* picture) {
    const std::uint64_t revision = picture ? picture->revision() : 0;
    if (revision == revision_)
        return false;
    image_ = revision == 0 ? QImage() : toQImage(*picture);
    revision_ = revision;
    return true;
}

} // namespace qtfront
