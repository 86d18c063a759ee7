#pragma once

#include <QString>

namespace noten {

// The title derived from a program file name: cut before the first '.', then every character
// after the first lower-cased, the first kept as it is ("ABC.DEF" gives "Abc").
QString applicationTitleFor(const QString& fileName);

// The title of this program, from the name of its executable file. Captions the error boxes.
QString applicationTitle();

}  // namespace noten
