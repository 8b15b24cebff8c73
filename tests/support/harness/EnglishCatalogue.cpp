// The English catalogue, installed as the application object is made, as the program's main
// installs it: what the suites read is what the program shows, plural forms included. Never the
// user's language: the suites compare English texts.
#include "app/Translations.h"

#include <QCoreApplication>

namespace {

void installEnglishCatalogue() {
    if (!vantle::translations::installEnglish(*QCoreApplication::instance()))
        qFatal("the English catalogue is not embedded");
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installEnglishCatalogue)
