// The upload queue at 10,000 small files: one batch added to a new queue (add_10k_s), then, in a
// fresh process, the program's window started with that queue file until the queue table's first
// paint with the rows in (load_10k_s). A 5 ms main-thread timer runs throughout,
// including the icon and size work that follows; max_stall_ms is the longest it had to wait. Prints
// the figures, then: RESULT add_10k_s=... load_10k_s=... max_stall_ms=...
#include "app/QueueDataSource.h"
#include "platform/NotificationCenter.h"
#include "support/harness/Program.h"
#include "support/harness/StallMeter.h"
#include "ui/IDDragTableView.h"
#include "ui/MRWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace vantle;
using vantle::bench::StallMeter;

namespace {

constexpr int kFiles = 10000;
constexpr int kTickMs = 5;
// The queue is done with its follow-up work when no icon news came for this long ...
constexpr int kQuietMs = 300;
// ... and a run that never gets quiet is cut off here.
constexpr int kSettleLimitMs = 60000;
constexpr int kLoadLimitMs = 120000;
constexpr double kNsPerMs = 1e6;
constexpr double kNsPerSecond = 1e9;
const QString kLoadOption = QStringLiteral("--load");

// Runs the event loop until the nodes stop reporting new icons and sizes.
void settle() {
    QElapsedTimer sinceNews;
    sinceNews.start();
    QObject context;
    NotificationCenter::defaultCenter().addObserver(
        FSNodeInfo::kInfoChangedNotification, &context,
        [&](const Notification&) { sinceNews.restart(); });
    QElapsedTimer total;
    total.start();
    while (sinceNews.elapsed() < kQuietMs && total.elapsed() < kSettleLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, kTickMs);
}

// Runs the event loop for a few ticks, so the meter has a baseline before the work.
void idle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kQuietMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, kTickMs);
}

bool makeFiles(const QString& folder, QStringList& paths) {
    for (int i = 0; i < kFiles; ++i) {
        const QString path = folder + QStringLiteral("/item%1.txt").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(i)) < 0) return false;
        paths.append(path);
    }
    return true;
}

// Waits for the first paint of a widget.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Runs in a profile of its own whose queue file is the one just written: the program's window
// starts as it does for a user, and the clock stops at the queue table's first paint with every
// row.
int load(const QString& profile) {
    StallMeter meter;
    idle();
    QElapsedTimer clock;
    clock.start();
    vantle::test::Program program;
    if (!program.started) {
        std::printf("the program did not start\n");
        return 1;
    }
    QueueDataSource* model = program.queueDataSource();
    PaintWatch watch;
    program.queueTable()->viewport()->installEventFilter(&watch);
    // The file is read off the main thread: what counts is the first paint with its rows.
    bool loaded = false;
    QObject::connect(model, &QueueDataSource::loaded, [&] {
        loaded = true;
        watch.painted = false;
    });
    program.window()->resize(600, 800);
    program.window()->show();
    while (!(loaded && watch.painted) && clock.elapsed() < kLoadLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, kTickMs);
    const double seconds = double(clock.nsecsElapsed()) / kNsPerSecond;
    if (!watch.painted || model->rowCount() != kFiles) {
        std::printf("the window never showed %d rows (%d) from %s\n", kFiles, model->rowCount(),
                    qPrintable(profile));
        return 1;
    }
    settle();
    std::printf("LOAD load_10k_s=%.3f max_stall_ms=%.1f\n", seconds, meter.longestMs());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantle"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == kLoadOption) return load(arguments[2]);

    QTemporaryDir dir;
    QStringList paths;
    if (!dir.isValid() || !makeFiles(dir.path(), paths)) {
        std::printf("could not make the files\n");
        return 1;
    }
    // The queue file where the program of this profile looks for it.
    const QString profile = dir.filePath(QStringLiteral("profile"));
    const QString store = profile + QStringLiteral("/data/Vantle/Vantle/MorrowQueue.plist");
    QDir().mkpath(QFileInfo(store).path());
    double addSeconds = 0;
    double addStallMs = 0;
    {
        StallMeter meter;
        QueueDataSource model(store);
        idle();
        QElapsedTimer clock;
        clock.start();
        bool added = false;
        QObject::connect(&model, &QueueDataSource::added, [&] { added = true; });
        model.addFiles(paths);
        while (!added && clock.elapsed() < kLoadLimitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, kTickMs);
        addSeconds = double(clock.nsecsElapsed()) / kNsPerSecond;
        settle();
        addStallMs = meter.longestMs();
        if (model.rowCount() != kFiles) {
            std::printf("only %d of %d files were queued\n", model.rowCount(), kFiles);
            return 1;
        }
    }
    std::printf("files: %d; queue file %lld bytes\n", kFiles, QFile(store).size());
    std::printf("add: %.3f s, longest main-thread stall %.1f ms\n", addSeconds, addStallMs);

    QProcess loader;
    loader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), profile + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), profile + QStringLiteral("/config"));
    // No search for phones and no update check: only the queue is measured.
    environment.insert(QStringLiteral("VANTLE_VERSION_URL"), QString());
    QDir().mkpath(profile + QStringLiteral("/config/Vantle"));
    QFile settings(profile + QStringLiteral("/config/Vantle/Vantle.conf"));
    if (!settings.open(QIODevice::WriteOnly) ||
        settings.write("[General]\nAutoConnect=0\nDontWarnAboutManual=1\n") < 0) {
        std::printf("could not write the profile's settings\n");
        return 1;
    }
    settings.close();
    loader.setProcessEnvironment(environment);
    loader.start(QCoreApplication::applicationFilePath(), {kLoadOption, profile});
    if (!loader.waitForFinished(kLoadLimitMs) || loader.exitCode() != 0) {
        std::printf("the load run failed: %s\n", loader.readAllStandardOutput().constData());
        return 1;
    }
    const QString output = QString::fromUtf8(loader.readAllStandardOutput());
    const QRegularExpressionMatch figures =
        QRegularExpression(QStringLiteral("load_10k_s=([0-9.]+) max_stall_ms=([0-9.]+)"))
            .match(output);
    if (!figures.hasMatch()) {
        std::printf("the load run said: %s\n", qPrintable(output));
        return 1;
    }
    const double loadSeconds = figures.captured(1).toDouble();
    const double loadStallMs = figures.captured(2).toDouble();
    std::printf("load and first paint: %.3f s, longest main-thread stall %.1f ms\n", loadSeconds,
                loadStallMs);
    std::printf("RESULT add_10k_s=%.3f load_10k_s=%.3f max_stall_ms=%.1f\n", addSeconds,
                loadSeconds, std::max(addStallMs, loadStallMs));
    return 0;
}
