#pragma once

#include "app/AppTestProfile.h"
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
    usePrivateProfile(profile.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No update check ever leaves the machine.
    qputenv("VANTLE_VERSION_URL", "");
    useScriptedDnsSd();
    QApplication app(argc, argv);
    nameApplication();
    Suite suite;
    return QTest::qExec(&suite, argc, argv);
}

} // namespace vantle::test
