#include "qt/Skins.h"

#include <QDir>
#include <QFile>

#include "qt/Conversions.h"

namespace qtfront {

namespace {
QString readSheet(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

Skins Skins::load(const std::string& folder) {
    const QDir dir(toQString(folder));
    return Skins(readSheet(dir.filePath(QString::fromLatin1(kFirstFile))),
                 readSheet(dir.filePath(QString::fromLatin1(kSecondFile))));
}

const QString& Skins::sheet(int group) const {
    switch (group) {
    case 1:
        return first_;
    case 2:
        return second_;
    default:
        return none_;
    }
}

} // namespace qtfront
