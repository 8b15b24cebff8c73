#pragma once

#include "net/ScriptedDnsSdControl.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace vantle::test {

// Runs a suite of the window's on the offscreen platform with a profile of its own: settings,
// queue and documents never touch the user's, and phones are looked for through the scripted
// DNS-SD library.
template <class Suite> int runAppSuite(int argc, char** argv) {
    QTemporaryDir profile;
    qputenv("HOME", profile.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (profile.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (profile.path() + QStringLiteral("/data")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    useScriptedDnsSd();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantle"));
    Suite suite;
    return QTest::qExec(&suite, argc, argv);
}

} // namespace vantle::test
