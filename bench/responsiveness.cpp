// responsiveness: the main thread's longest stall (the longest gap of a 10 ms heartbeat) while
// the program, driven as a user drives it, goes through six slow or heavy moments in turn, each
// bounded in time.
//   responsiveness [--quick] [--files N] [--rows N] [--download-mib N]
// It runs in user, mount and network namespaces of its own where it can make them: there a
// silent name server answers for 127.0.0.1:53 and a small tmpfs is the other file system;
// without them the lookup is skipped and /dev/shm stands in when it is another file system.
// Ends with
//   RESULT max_stall_ms_upload_start=… max_stall_ms_slow_phone=… max_stall_ms_lookup=…
//          max_stall_ms_remove_rows=… max_stall_ms_download_other_fs=…
//          max_stall_ms_quit_in_flight=…
#include "Responsiveness.h"

#include "PrivateNamespace.h"
#include "SilentResolver.h"
#include "support/ParoxLogger.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QStorageInfo>
#include <cstdio>
#include <memory>
#include <vector>

using namespace vantle;
using namespace vantle::bench;

namespace {

constexpr ResponsivenessSizes kQuickSizes{2'000, 100, 64};
// The removal's sheet names a count from two rows on.
constexpr int kFewestRows = 2;
// Room on the tmpfs beyond the file itself.
constexpr qint64 kTmpfsSpareBytes = qint64(64) * 1024 * 1024;
constexpr qint64 kBytesPerMiB = 1024 * 1024;
// What a small file takes on a tmpfs: a page.
constexpr qint64 kSmallFileBytes = 4096;
const QString kSharedMemory = QStringLiteral("/dev/shm");

struct Scenario {
    const char* key;
    Outcome (*run)(Bench&);
};

// Whether a file moved from the download area to `folder` crosses file systems.
bool besideDownloadArea(const QString& folder) {
    const QString area = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return QStorageInfo(folder).rootPath() != QStorageInfo(area).rootPath();
}

ResponsivenessSizes sizesFrom(const QCommandLineParser& parser, const QCommandLineOption& quick,
                              const QCommandLineOption& files, const QCommandLineOption& rows,
                              const QCommandLineOption& mib) {
    ResponsivenessSizes sizes = parser.isSet(quick) ? kQuickSizes : ResponsivenessSizes{};
    if (parser.isSet(files)) sizes.uploadFiles = std::max(1, parser.value(files).toInt());
    if (parser.isSet(rows)) sizes.phoneRows = std::max(kFewestRows, parser.value(rows).toInt());
    if (parser.isSet(mib)) sizes.downloadMiB = std::max(1, parser.value(mib).toInt());
    return sizes;
}

// What the scenarios need around the program: a silent name server, a folder on another file
// system than the download area, and the folder of many files. Unmounted as this goes, before
// the work folder is removed.
struct Surroundings {
    std::unique_ptr<SilentResolver> resolver;
    std::vector<std::unique_ptr<TmpfsMount>> mounts;
    std::unique_ptr<QTemporaryDir> sharedMemory;
    QString otherFileSystem;
    QString otherNote = QStringLiteral("no file system beside the download area");
    QString uploadFolder;
};

// A tmpfs of `bytes` on the new folder `name` in `work`; empty when none could be mounted.
QString mountTmpfs(Surroundings& around, const QString& work, const QString& name, qint64 bytes) {
    const QString folder = work + QLatin1Char('/') + name;
    if (!QDir().mkpath(folder)) return {};
    auto mount = std::make_unique<TmpfsMount>(folder, bytes);
    if (!mount->error().isEmpty()) {
        std::printf("no tmpfs (%s)\n", qUtf8Printable(mount->error()));
        return {};
    }
    around.mounts.push_back(std::move(mount));
    return folder;
}

void startResolver(Surroundings& around, const QString& work) {
    if (const Result<void> loopback = useLoopbackResolver(work); !loopback) {
        std::printf("no silent name server (%s)\n", qUtf8Printable(loopback.error()));
        return;
    }
    around.resolver = std::make_unique<SilentResolver>();
    if (!around.resolver->listening()) around.resolver.reset();
}

void findOtherFileSystem(Surroundings& around, bool isolated, const QString& work,
                         const ResponsivenessSizes& sizes) {
    if (isolated) {
        const QString folder =
            mountTmpfs(around, work, QStringLiteral("otherfs"),
                       qint64(sizes.downloadMiB) * kBytesPerMiB + kTmpfsSpareBytes);
        if (!folder.isEmpty() && besideDownloadArea(folder)) {
            around.otherFileSystem = folder;
            around.otherNote = QStringLiteral("a tmpfs of the benchmark's");
            return;
        }
    }
    if (!QFileInfo(kSharedMemory).isDir()) return;
    around.sharedMemory =
        std::make_unique<QTemporaryDir>(kSharedMemory + QStringLiteral("/vantle-bench-XXXXXX"));
    if (around.sharedMemory->isValid() && besideDownloadArea(around.sharedMemory->path())) {
        around.otherFileSystem = around.sharedMemory->path();
        around.otherNote = kSharedMemory;
    }
}

// On a tmpfs where one can be mounted: made quickly, and gone at once at the end.
bool makeUploadFolder(Surroundings& around, bool isolated, const QString& work,
                      const ResponsivenessSizes& sizes) {
    QElapsedTimer making;
    making.start();
    QString root = isolated
                       ? mountTmpfs(around, work, QStringLiteral("upload"),
                                    qint64(sizes.uploadFiles) * kSmallFileBytes + kTmpfsSpareBytes)
                       : QString();
    if (root.isEmpty()) root = work;
    around.uploadFolder = root + QStringLiteral("/many");
    if (!fillFolder(around.uploadFolder, sizes.uploadFiles)) {
        std::printf("could not make %d files in %s\n", sizes.uploadFiles,
                    qUtf8Printable(around.uploadFolder));
        return false;
    }
    std::printf("made %d files to upload in %s\n", sizes.uploadFiles,
                qUtf8Printable(seconds(making.elapsed())));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // First of all: only a process of one thread may enter a user namespace.
    const Result<void> isolated = enterPrivateNamespace();
    QTemporaryDir profile;
    test::prepareAppProcess(profile.path(), test::PhoneSearch::Scripted);
    QApplication app(argc, argv);
    test::nameApplication();
    QCommandLineParser parser;
    const QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral("small sizes"));
    const QCommandLineOption files(QStringLiteral("files"),
                                   QStringLiteral("files in the uploaded folder"),
                                   QStringLiteral("N"));
    const QCommandLineOption rows(
        QStringLiteral("rows"), QStringLiteral("phone rows removed at once"), QStringLiteral("N"));
    const QCommandLineOption mib(QStringLiteral("download-mib"),
                                 QStringLiteral("size of the downloaded file"),
                                 QStringLiteral("N"));
    parser.addOptions({quick, files, rows, mib});
    parser.addHelpOption();
    parser.process(app);
    const ResponsivenessSizes sizes = sizesFrom(parser, quick, files, rows, mib);

    QTemporaryDir work;
    Surroundings around;
    if (!isolated)
        std::printf("no private namespace (%s): the lookup is skipped\n",
                    qUtf8Printable(isolated.error()));
    else
        startResolver(around, work.path());
    findOtherFileSystem(around, isolated.ok(), work.path(), sizes);
    if (!makeUploadFolder(around, isolated.ok(), work.path(), sizes)) return 1;

    test::startFromCleanSettings();
    test::Program program;
    if (const auto logger = ParoxLogger::defaultLogger()) logger->setLogToStdOut(false);
    if (!program.started || !program.showInFront()) {
        std::printf("the window did not start\n");
        return 1;
    }
    StallMeter meter(kMeterTickMs);
    Bench bench{sizes,
                program,
                meter,
                around.uploadFolder,
                around.resolver.get(),
                around.otherFileSystem,
                around.otherNote};

    const Scenario scenarios[] = {
        {"upload_start", uploadStart},
        {"slow_phone", slowPhone},
        {"lookup", lookup},
        {"remove_rows", removeRows},
        {"download_other_fs", downloadOtherFileSystem},
        {"quit_in_flight", quitInFlight},
    };
    QString result = QStringLiteral("RESULT");
    for (const Scenario& scenario : scenarios) {
        QElapsedTimer clock;
        clock.start();
        const Outcome outcome = scenario.run(bench);
        const QString stall = outcome.longestStallMs
                                  ? QString::number(*outcome.longestStallMs, 'f', 0)
                                  : QStringLiteral("skipped");
        std::printf("%s: %s; longest stall %s (%s in all)\n", scenario.key,
                    qUtf8Printable(outcome.said),
                    qUtf8Printable(outcome.longestStallMs ? stall + QStringLiteral(" ms") : stall),
                    qUtf8Printable(seconds(clock.elapsed())));
        std::fflush(stdout);
        result += QStringLiteral(" max_stall_ms_%1=%2").arg(QLatin1String(scenario.key), stall);
    }
    std::printf("%s\n", qUtf8Printable(result));
    std::fflush(stdout);
    return 0;
}
