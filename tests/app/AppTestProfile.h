#pragma once

// The start of a suite that runs the program's controller in its own process.
#include "app/AppKeys.h"
#include "net/ScriptedDnsSdControl.h"
#include "platform/Defaults.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>

// Before the QApplication: a profile of the suite's own in `folder` (settings, queue and documents
// never touch the user's), the offscreen platform, no update check leaving the machine, and the
// scripted DNS-SD library, so that no search leaves it either.
inline void useOwnProfile(const QString& folder) {
    qputenv("HOME", folder.toUtf8());
    qputenv("XDG_CONFIG_HOME", (folder + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (folder + QStringLiteral("/data")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTLE_VERSION_URL", "");
    useScriptedDnsSd();
}

// After the QApplication: the names the program's settings are stored under.
inline void nameLikeTheProgram() {
    QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantle"));
}

// Before each case: empty settings but for what keeps a case quiet (no automatic connection,
// which would look for phones, and so no warning about it), and no queue file.
inline void startFromCleanSettings() {
    QSettings().clear();
    vantle::Defaults::setBool(QString(vantle::prefs::kAutoConnect), false);
    vantle::Defaults::setBool(QString(vantle::prefs::kDontWarnAboutManual), true);
    vantle::Defaults::sync();
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                  QStringLiteral("/MorrowQueue.plist"));
}
