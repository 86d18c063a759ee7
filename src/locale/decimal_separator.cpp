#include "locale/decimal_separator.h"

#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace noten {

namespace {

// The locale that decides number formats, read afresh on every call: Qt's own system locale
// is read once per process, which would miss a change announced while the program runs.
QLocale numericLocale() {
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty()) {
            return QLocale(name);  // "de_DE.UTF-8@euro" reads as de_DE; "C" and "POSIX" as C
        }
    }
    return QLocale::system();  // platforms whose locale is not named in the environment
}

}  // namespace

char systemDecimalSeparator() {
    const QString separator = numericLocale().decimalPoint();
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
