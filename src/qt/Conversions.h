#pragma once
// Conversions between the control model's plain values and Qt's.
//
// Thread: pure functions; QImage and QFont values may be made on any thread, but the
// front end only uses them on the user-interface thread.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <string>
#include <string_view>

#include "ui/Control.h"
#include "ui/Picture.h"

namespace qtfront {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// UTF-8, as every text of the model.
inline std::string toStdString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

inline QColor toQColor(ui::Colour c) {
    return QColor(c.r, c.g, c.b);
}

/// A deep copy of the picture's pixels; an empty picture gives a null image. The
/// front end converts through ConvertedPicture, which skips pictures it converted.
QImage toQImage(const ui::Picture& picture);

/// The model's font; fonts this machine lacks fall back to a similar sans face.
QFont toQFont(const ui::Font& font);

Qt::CursorShape toCursorShape(ui::Cursor cursor);

/// Qt's buttons beyond the three the model knows report as the left one.
ui::MouseButton toMouseButton(Qt::MouseButton button);

/// The Qt object name of a control's widget: its name, with whatever a style sheet
/// selector cannot hold replaced.
QString toObjectName(const ui::Control& control);

} // namespace qtfront
