#pragma once

#include "app/AppTestProfile.h"
#include "net/ScriptedDnsSdControl.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace vantle::test {

// Where a suite's controller looks for phones.
enum class PhoneSearch {
    Scripted, // the scripted DNS-SD library: no search ever leaves the machine
    System,   // the system's library and daemon: only inside run-in-netns.sh's namespace
};

// Runs a suite of the window's on the offscreen platform with a profile of its own: settings,
// queue and documents never touch the user's.
template <class Suite>
int runAppSuite(int argc, char** argv, PhoneSearch search = PhoneSearch::Scripted) {
    QTemporaryDir profile;
    usePrivateProfile(profile.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No update check ever leaves the machine.
    qputenv("VANTLE_VERSION_URL", "");
    if (search == PhoneSearch::Scripted)
        useScriptedDnsSd();
    else
        qunsetenv("VANTLE_DNSSD_LIBRARY");
    QApplication app(argc, argv);
    nameApplication();
    Suite suite;
    return QTest::qExec(&suite, argc, argv);
}

} // namespace vantle::test
