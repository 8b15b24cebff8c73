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

// The environment of a process that runs the window: the offscreen platform, the profile in
// `profile` (settings, queue and documents never touch the user's), no update check leaving the
// machine, and where phones are looked for. Before the application object is made; programs the
// process starts inherit it.
inline void prepareAppProcess(const QString& profile, PhoneSearch search) {
    usePrivateProfile(profile);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTLE_VERSION_URL", "");
    if (search == PhoneSearch::Scripted)
        useScriptedDnsSd();
    else
        qunsetenv("VANTLE_DNSSD_LIBRARY");
}

// Runs a suite of the window's in a prepared process with a profile of its own.
template <class Suite>
int runAppSuite(int argc, char** argv, PhoneSearch search = PhoneSearch::Scripted) {
    QTemporaryDir profile;
    prepareAppProcess(profile.path(), search);
    QApplication app(argc, argv);
    nameApplication();
    Suite suite;
    return QTest::qExec(&suite, argc, argv);
}

} // namespace vantle::test
