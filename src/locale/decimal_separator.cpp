#include "locale/decimal_separator.h"

#include <QLocale>
#include <QString>

namespace noten {

char systemDecimalSeparator() {
    const QString separator = QLocale::system().decimalPoint();
    if (separator.isEmpty()) {
        return '.';
    }
    const QChar first = separator.front();
    // The core works on single-byte separators; a separator outside ASCII (such as the
    // Arabic decimal mark) falls back to the point, which every user can type.
    if (first.unicode() > 0x7f || !first.isPrint()) {
        return '.';
    }
    return static_cast<char>(first.unicode());
}

}  // namespace noten
