#include "qt/Conversions.h"

#include <cstring>

namespace qtfront {

QImage toQImage(const ui::Picture& picture) {
    if (picture.empty())
        return {};
    QImage image(picture.width(), picture.height(), QImage::Format_RGB888);
    if (image.isNull())
        return {};
    // QImage pads each scan line to four bytes, the model's rows are packed.
    const auto rowBytes = static_cast<std::size_t>(picture.width()) * 3;
    const std::uint8_t* src = picture.rgb().data();
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(image.scanLine(y), src + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    return image;
}

QFont toQFont(const ui::Font& font) {
    QFont f;
    // The designed faces are rarely installed here; these keep the metrics close.
    f.setFamilies({toQString(font.name), QStringLiteral("Nimbus Sans"),
                   QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(font.height > 0 ? font.height : 11);
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    return f;
}

Qt::CursorShape toCursorShape(ui::Cursor cursor) {
    switch (cursor) {
    case ui::Cursor::HandPoint:
        return Qt::PointingHandCursor;
    case ui::Cursor::HourGlass:
        return Qt::WaitCursor;
    case ui::Cursor::AppStart:
        return Qt::BusyCursor;
    case ui::Cursor::Default:
    case ui::Cursor::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

ui::MouseButton toMouseButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return ui::MouseButton::Right;
    case Qt::MiddleButton:
        return ui::MouseButton::Middle;
    default:
        return ui::MouseButton::Left;
    }
}

QString toObjectName(const ui::Control& control) {
    // Control names are designed identifiers; anything else would break the style
    // sheet selector that names the widget.
    QString name = toQString(control.name());
    for (auto& ch : name)
        if (!ch.isLetterOrNumber() && ch != u'_')
            ch = u'_';
    if (name.isEmpty() || name.front().isDigit())
        name.prepend(u'_');
    return name;
}

} // namespace qtfront
