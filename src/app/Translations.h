#pragma once

#include <QStringList>

class QCoreApplication;

namespace vantle::translations {

// The English catalogue, embedded under ":/i18n": the source texts' plural forms ("%n file(s)").
// Without it English shows "1 file(s)"; every other language falls back to it.
bool installEnglish(QCoreApplication& app);

// English first, then Qt's own catalogue and the program's for the first of `uiLanguages` that
// has one, so that a text a catalogue lacks still reads as English. Before any widget is made.
void install(QCoreApplication& app, const QStringList& uiLanguages);

} // namespace vantle::translations
