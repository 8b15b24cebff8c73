#include "cli/CliCommands.h"
#include "cli/CliInterrupt.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliSession.h"
#include "support/ParoxLog.h"
#include "transfer/DownloadStore.h"
#include "transfer/StorePaths.h"
#include "transfer/TransferEvents.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace vantle::cli {
namespace {

constexpr const char* kUsage = "get [--address HOST[:PORT]] [--wait-approval SECONDS] PATH [DEST]";
constexpr const char* kHelp =
    "Usage: vantle-cli get [--address HOST[:PORT]] [--wait-approval SECONDS] PATH [DEST]\n"
    "\n"
    "Downloads PATH (a file, or a folder with everything in it) from the phone into the\n"
    "folder DEST (default: the current folder), under a free name (\"report-1.pdf\" when\n"
    "\"report.pdf\" is there), and prints the path it arrived at. On a terminal one progress\n"
    "line shows the bytes received, the total, the speed and the time left. Ctrl-C cancels;\n"
    "nothing of the item is then left in DEST. Waits up to SECONDS (default 60) for the\n"
    "approval on the phone.\n"
    "\n"
    "Exit status: 0 when the item arrived, 1 when it did not, 2 for a usage error.\n";

constexpr std::chrono::milliseconds kPoll{100};

enum class Outcome { Waiting, Finished, Failed, Lost, Cancelled };

// What the phone's notifications tell, written and read on the main thread but for the counts,
// which the progress line reads.
struct Download {
    Outcome outcome = Outcome::Waiting;
    QString failure; // why it ended without its item
    std::atomic<quint64> bytes{0};
    std::atomic<quint64> total{0};
};

// The item as the phone names it in its notifications: the last component of the path asked for.
QString requestedName(const QString& path) {
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    return parts.isEmpty() ? QString() : parts.last();
}

} // namespace

int runGet(const QStringList& arguments) {
    const auto line = parseCommandLine(arguments, OptionSet{});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help) return printHelp(kHelp);
    if (line->operands.isEmpty() || line->operands.size() > 2)
        return usageError(QStringLiteral("get needs a PATH and at most one DEST."), kUsage);
    const QString path = line->operands[0];
    const QString given = line->operands.size() > 1 ? line->operands[1] : QStringLiteral(".");
    const QFileInfo dest(given);
    // Checked before we dial: a download with nowhere to go would be thrown away.
    if (!dest.isDir()) return failure(QStringLiteral("%1 is not a folder.").arg(given));
    const QString destination = QDir::cleanPath(dest.absoluteFilePath());

    CliProgress progress(isatty(fileno(stderr)) != 0);
    // Ends before what arrived of a failed download is removed: then no piece comes any more.
    std::optional<CliSession> session;
    session.emplace(*line, CliSession::Approval::Needed);
    if (const auto opened = session->open(); !opened) return failure(opened.error());
    MRTransferController& transfer = session->transfer();

    Download download;
    QEventLoop waiting;
    QObject context;
    TransferEvents& events = session->events();
    // The item's name is not read, as in the window: the phone need not name it.
    QObject::connect(&events, &TransferEvents::transferFinished, &context, [&] {
        if (download.outcome == Outcome::Waiting) download.outcome = Outcome::Finished;
        waiting.quit();
    });
    QObject::connect(&events, &TransferEvents::downloadFailed, &context,
                     [&](const QString& reason) {
                         if (download.outcome != Outcome::Waiting) return;
                         download.outcome = Outcome::Failed;
                         download.failure = reason;
                         waiting.quit();
                     });
    QObject::connect(&events, &TransferEvents::downloadProgress, &context,
                     [&](quint64 total, quint64 received) {
                         download.total = total;
                         download.bytes = received;
                     });

    const CliInterrupt interrupt;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (download.outcome != Outcome::Waiting) return;
        if (interrupt.raised()) {
            transfer.cancelDownloadOperation();
            download.outcome = Outcome::Cancelled;
        } else if (!session->connected()) {
            download.outcome = Outcome::Lost;
        } else {
            transfer.endSilentDownload();
        }
        if (download.outcome != Outcome::Waiting) waiting.quit();
    });
    poll.start(kPoll);
    progress.start([&download] {
        return CliProgress::Sample{download.bytes.load(), download.total.load()};
    });

    transfer.resetDownloadOperation();
    bool asked = false;
    session->runOnWorker([&] { asked = transfer.requestRemoteFile(path); });
    int status = kExitFailure;
    if (!asked && !session->connected()) {
        progress.say(
            QStringLiteral("the connection to the phone was lost while asking for %1.").arg(path));
    } else if (!asked) {
        progress.say(QStringLiteral("there is no %1 on the phone.").arg(path));
    } else {
        if (download.outcome == Outcome::Waiting) waiting.exec();
        switch (download.outcome) {
        case Outcome::Finished: {
            const std::optional<QString> root = transfer.lastDownloadRoot();
            const Result<QString> final =
                root ? transfer.finishDownload(*root, destination)
                     : Result<QString>::failure(QStringLiteral("nothing of it arrived"));
            if (final) {
                progress.stop();
                std::printf("%s\n", qUtf8Printable(QDir::toNativeSeparators(*final)));
                status = kExitSuccess;
            } else {
                progress.say(QStringLiteral("%1 arrived but could not be put in %2: %3.")
                                 .arg(requestedName(path), given, final.error()));
            }
            break;
        }
        case Outcome::Failed:
            progress.say(QStringLiteral("%1 could not be downloaded: %2.")
                             .arg(requestedName(path), download.failure));
            break;
        case Outcome::Cancelled:
            progress.say(QStringLiteral("cancelled (Ctrl-C): %1 was not downloaded; nothing was "
                                        "put in %2.")
                             .arg(path, given));
            break;
        case Outcome::Lost:
        case Outcome::Waiting:
            progress.say(QStringLiteral("the connection to the phone was lost before %1 was "
                                        "downloaded.")
                             .arg(path));
            break;
        }
    }
    progress.stop();
    poll.stop();
    QObject::disconnect(&events, nullptr, &context, nullptr);

    if (status == kExitSuccess) {
        transfer.releaseTemporaryArea();
        return status;
    }

    // What arrived of an unfinished download would wait in the temporary area until the next one
    // of the same name. The name is the phone's, so it is checked like any path from it.
    const std::optional<QString> partial = transfer.lastDownloadRoot();
    const QString area = transfer.temporaryDir();
    session.reset();
    if (partial && !area.isEmpty()) {
        const Result<QString> item = tempPathForFile(area, *partial, PathUse::Remove);
        const Result<void> gone =
            item ? store::removeItem(*item) : Result<void>::failure(item.error());
        if (!gone) ParoxLog("get: cannot remove what arrived of %@: %@", *partial, gone.error());
    }
    // The session (and the transfer layer with it) has ended: the area is removed by its path.
    if (!area.isEmpty()) removeEmptyTemporaryArea(area);
    return status;
}

} // namespace vantle::cli
