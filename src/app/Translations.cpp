#include "app/Translations.h"

#include "support/ParoxLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vantle::translations {
namespace {

const char kCatalogueFolder[] = ":/i18n";
const char kProgramCatalogue[] = "vantle";
const char kQtCatalogue[] = "qtbase";
const char kEnglish[] = "en";

// The catalogue `name` for the first of the languages that has one; the translator stays the
// application's.
bool installFirst(QCoreApplication& app, const QStringList& languages, const QString& name,
                  const QString& folder) {
    auto* translator = new QTranslator(&app);
    for (const QString& language : languages) {
        // "de-DE" is looked up as "de_DE" and then "de".
        if (translator->load(QLocale(language), name, QStringLiteral("_"), folder)) {
            app.installTranslator(translator);
            ParoxLog("catalogue %@ for %@", translator->filePath(), language);
            return true;
        }
    }
    delete translator;
    return false;
}

} // namespace

bool installEnglish(QCoreApplication& app) {
    return installFirst(app, {QLatin1String(kEnglish)}, QLatin1String(kProgramCatalogue),
                        QLatin1String(kCatalogueFolder));
}

void install(QCoreApplication& app, const QStringList& uiLanguages) {
    if (!installEnglish(app)) ParoxLog("the English catalogue is missing");
    installFirst(app, uiLanguages, QLatin1String(kQtCatalogue),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    installFirst(app, uiLanguages, QLatin1String(kProgramCatalogue),
                 QLatin1String(kCatalogueFolder));
}

} // namespace vantle::translations
