#include "cli/CliCommands.h"
#include "cli/CliInterrupt.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliSession.h"
#include "files/FSNodeInfo.h"
#include "transfer/ProtocolKeys.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace vantle::cli {
namespace {

constexpr const char* kUsage =
    "put [--replace | --unique] [--address HOST[:PORT]] [--wait-approval SECONDS] FILE...";
constexpr const char* kHelp =
    "Usage: vantle-cli put [--replace | --unique] [--address HOST[:PORT]]\n"
    "                      [--wait-approval SECONDS] FILE...\n"
    "\n"
    "Uploads each FILE (a file or a folder with everything in it) to the top of the phone's\n"
    "store, in the order given. A name that exists on the phone fails that item, unless\n"
    "  --replace   removes what is there first\n"
    "  --unique    sends it as NAME-1.EXT, or the first NAME-N.EXT free on the phone\n"
    "After a failed item the others are still tried. On a terminal one progress line shows\n"
    "the bytes sent, the total, the speed and the time left. Ctrl-C stops the upload at the\n"
    "next piece. Waits up to SECONDS (default 60) for the approval on the phone.\n"
    "\n"
    "Exit status: 0 when every item arrived, 1 when any did not, 2 for a usage error.\n";

const QString kReplace = QStringLiteral("--replace");
const QString kUnique = QStringLiteral("--unique");
constexpr std::chrono::milliseconds kInterruptPoll{100};

enum class NameClash { Fail, Replace, Unique };

QString describeResult(std::int32_t code, const QString& name) {
    switch (code) {
    case protocol::kNameExists:
        return QStringLiteral("%1 exists on the phone already (--replace or --unique to send it "
                              "anyway).")
            .arg(name);
    case protocol::kCannotOpenFile:
        return QStringLiteral("cannot read %1.").arg(name);
    case protocol::kItemVanished:
        return QStringLiteral("%1 was gone before it could be sent.").arg(name);
    case protocol::kNoFreeName:
        return QStringLiteral("no free name for %1 on the phone.").arg(name);
    case protocol::kCancelled:
        return QStringLiteral("cancelled (Ctrl-C): %1 was not completely sent.").arg(name);
    case protocol::kCannotCreateFolder:
        return QStringLiteral("the phone did not create the folder %1.").arg(name);
    case protocol::kNameTooLong:
        return QStringLiteral("a name in %1 is too long for the phone.").arg(name);
    case protocol::kNoAnswer:
        return QStringLiteral("the connection to the phone was lost or timed out while sending "
                              "%1.")
            .arg(name);
    default:
        return QStringLiteral("the phone did not take %1 (error %2).").arg(name).arg(code);
    }
}

} // namespace

int runPut(const QStringList& arguments) {
    const auto line = parseCommandLine(
        arguments,
        OptionSet{.address = true, .approvalWait = true, .switches = {kReplace, kUnique}});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help) return printHelp(kHelp);
    if (line->operands.isEmpty())
        return usageError(QStringLiteral("put needs at least one FILE."), kUsage);
    if (line->switches.contains(kReplace) && line->switches.contains(kUnique))
        return usageError(QStringLiteral("--replace and --unique exclude each other."), kUsage);
    const NameClash clash = line->switches.contains(kReplace)  ? NameClash::Replace
                            : line->switches.contains(kUnique) ? NameClash::Unique
                                                               : NameClash::Fail;
    CliProgress progress(isatty(fileno(stderr)) != 0);
    // A path missing here would upload nothing and count as success: it fails before we dial.
    QStringList items;
    bool allArrived = true;
    for (const QString& operand : line->operands) {
        const QFileInfo info(QDir::cleanPath(operand));
        if (!info.exists() || info.fileName().isEmpty()) {
            progress.say(QStringLiteral("%1: no such file or folder.").arg(operand));
            allArrived = false;
        } else {
            items << info.absoluteFilePath();
        }
    }
    if (items.isEmpty()) return kExitFailure;

    CliSession session(*line, CliSession::Approval::Needed);
    if (const auto opened = session.open(); !opened) return failure(opened.error());
    MRTransferController& transfer = session.transfer();

    const CliInterrupt interrupt;
    std::atomic<bool> cancelled{false};
    QTimer interruptPoll;
    QObject::connect(&interruptPoll, &QTimer::timeout, [&] {
        if (interrupt.raised() && !cancelled.exchange(true)) transfer.cancelUploadOperation();
    });
    interruptPoll.start(kInterruptPoll);
    progress.start([&transfer] {
        return CliProgress::Sample{transfer.bytesTransferred(), transfer.totalBytes()};
    });

    session.runOnWorker([&] {
        bool allowed = true;
        if (transfer.askClientForVersionAndInfo(nullptr, &allowed) >= 0 && !allowed) {
            progress.say(QStringLiteral("the phone does not accept uploads."));
            allArrived = false;
            return;
        }
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QString& item = items[i];
            if (cancelled) {
                progress.say(QStringLiteral("cancelled (Ctrl-C): %1 more item(s) not sent.")
                                 .arg(items.size() - i));
                allArrived = false;
                break;
            }
            QString name = QFileInfo(item).fileName();
            if (clash == NameClash::Replace && transfer.fileExists(name) &&
                !transfer.removeFile(name)) {
                progress.say(QStringLiteral("cannot replace %1 on the phone.").arg(name));
                allArrived = false;
                continue;
            }
            if (clash == NameClash::Unique && transfer.fileExists(name)) {
                // Chosen here, as the window chooses it: a phone left to choose might start the
                // existing file afresh.
                const Result<QString> free = transfer.firstFreeNameOnPhone(name);
                if (!free) {
                    progress.say(describeResult(protocol::kNoFreeName, name));
                    allArrived = false;
                    continue;
                }
                name = *free;
            }
            // As a freshly queued item (its flags cleared): the upload finds the node of the path
            // and checks the name, also a free one, which something may have taken meanwhile.
            FSNodeInfo::nodeWithPath(item, QDateTime::currentDateTime().toString(Qt::ISODate));
            transfer.resetUploadOperation();
            progress.restart();
            const std::int32_t result = transfer.uploadFile(item, name);
            if (result != protocol::kNoError) {
                progress.say(describeResult(result, name));
                allArrived = false;
            }
            // Every later item would fail the same way.
            if (result == protocol::kNoAnswer && !session.connected()) break;
        }
    });
    progress.stop();
    interruptPoll.stop();
    return allArrived ? kExitSuccess : kExitFailure;
}

} // namespace vantle::cli
