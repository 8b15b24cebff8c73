#pragma once

// The process a suite of the window's runs in: a private profile, the offscreen platform, and
// where phones are looked for.
#include "net/ScriptedDnsSdControl.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <unistd.h>
#include <vector>

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
    Defaults::setBool(QString(settings::kAutoConnect.key), false);
    Defaults::setBool(QString(settings::kDontWarnAboutManual.key), true);
    Defaults::sync();
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                  QStringLiteral("/MorrowQueue.plist"));
}

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

// A suite that needs a real X server (a tray, an accessibility tree) runs itself again under
// xvfb-run, with a screen of `screen` ("1024x768x24"); `marker` tells the second run from the
// first. Returns in the second run; the first ends here, or fails when xvfb-run cannot start.
inline bool runUnderXvfb(int argc, char** argv, const char* marker, const char* screen) {
    if (!qEnvironmentVariableIsEmpty(marker)) return true;
    qputenv(marker, "1");
    const QByteArray screenOption = QByteArrayLiteral("-screen 0 ") + screen;
    std::vector<char*> command{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                               const_cast<char*>("-s"), const_cast<char*>(screenOption.data())};
    command.insert(command.end(), argv, argv + argc);
    command.push_back(nullptr);
    ::execvp(command.front(), command.data());
    std::fprintf(stderr, "%s: cannot run xvfb-run\n", argv[0]);
    return false;
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
