#pragma once

#include "app/AppKeys.h"
#include "platform/Defaults.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>

namespace vantle::test {

// Settings, queue, documents and downloads in `home`, never in the user's own; before the
// application object is made.
inline void usePrivateProfile(const QString& home) {
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
}

// The names the settings are stored under, as the program sets them.
inline void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantle"));
}

// Before each case: empty settings but for what keeps a case quiet (no automatic connection,
// which would look for phones, and so no warning about it), and no queue file.
inline void startFromCleanSettings() {
    QSettings().clear();
    Defaults::setBool(QString(prefs::kAutoConnect), false);
    Defaults::setBool(QString(prefs::kDontWarnAboutManual), true);
    Defaults::sync();
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                  QStringLiteral("/MorrowQueue.plist"));
}

} // namespace vantle::test
