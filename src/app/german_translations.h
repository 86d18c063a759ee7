#pragma once

class QCoreApplication;

namespace noten {

// Installs Qt's German translations of its standard texts ("Abbrechen") into `application`,
// whatever the environment's language. Returns false when they are not installed on the
// system; the program then keeps Qt's English texts.
bool installGermanTranslations(QCoreApplication& application);

}  // namespace noten
