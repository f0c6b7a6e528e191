#include "qt/Screenshot.h"

#include <QPixmap>

#include "qt/Conversions.h"

namespace qtfront {

bool saveScreenshot(QWidget& window, const std::string& path) {
    const QPixmap shot = window.grab();
    if (shot.isNull())
        return false;
    return shot.save(toQString(path), "PNG");
}

} // namespace qtfront
