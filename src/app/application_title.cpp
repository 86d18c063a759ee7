#include "app/application_title.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace noten {

QString applicationTitleFor(const QString& fileName) {
    const QString name = fileName.left(fileName.indexOf(QLatin1Char('.')));
    if (name.isEmpty()) {
        return name;
    }
    // The first character may be a surrogate pair; it is kept whole.
    const qsizetype firstLength =
        (name.size() > 1 && name.front().isHighSurrogate() && name.at(1).isLowSurrogate()) ? 2 : 1;
    return name.left(firstLength) + name.mid(firstLength).toLower();
}

QString applicationTitle() {
    return applicationTitleFor(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

}  // namespace noten
