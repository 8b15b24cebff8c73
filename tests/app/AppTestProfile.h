#pragma once

#include <QCoreApplication>
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

} // namespace vantle::test
