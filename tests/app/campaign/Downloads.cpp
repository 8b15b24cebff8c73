#include "app/campaign/Downloads.h"

#include "app/PhoneDataSource.h"
#include "app/PhoneNodeInfo.h"
#include "app/campaign/RunContext.h"
#include "transfer/MRTransferController.h"
#include "ui/IDDragTableView.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QStandardPaths>
#include <algorithm>

namespace vantle::campaign {
namespace {

constexpr int kMostRowsAsked = 3;
// The silence limit the campaign gives the program, and what a download may take beyond it
// before it counts as stuck.
constexpr int kSilenceLimitMs = 1'500;
constexpr int kStallMarginMs = 3'000;
// The phone's own things to download: a file of up to this many pieces, and a folder.
constexpr int kPieceBytes = 131'072;
constexpr int kMostPieces = 5;
constexpr int kMostSmallBytes = 4'000;
// How long a download step waits for the phone's rows to come in.
constexpr int kRowsComeMs = 300;
constexpr int kCancelRightAwayPercent = 25;

QByteArray seededBytes(RunContext& run, int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(run.between(0, 255));
    return bytes;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

QString nameOfPath(const QString& phonePath) {
    return phonePath.section(QLatin1Char('/'), -1);
}

QString phoneName(const QString& phonePath) {
    return phonePath.startsWith(QLatin1Char('/')) ? phonePath.mid(1) : phonePath;
}

// Asks for the row's file as the user does; whether a new download was asked for.
void ask(RunContext& run, const PhoneNodeInfoPtr& node, bool chosen) {
    const test::Program& program = *run.program;
    const QString path = node->absolutePath();
    const bool isNew = !program.receivingFiles().contains(path);
    const int row = program.phoneDataSource()->rowForPath(path);
    const bool reveal = run.chance(50);
    if (chosen)
        run.steps << QStringLiteral("   download %1 to the chosen folder").arg(nameOfPath(path));
    else
        run.steps << QStringLiteral("   %1 %2%3")
                         .arg(reveal ? QStringLiteral("reveal") : QStringLiteral("double-click"),
                              nameOfPath(path),
                              isNew ? QString() : QStringLiteral(" (asked for already)"));
    // A second click on the row under way cancels it: that is the cancel step's. The row's node
    // is asked afresh: a listing that came meanwhile hands out new ones.
    if (const PhoneNodeInfoPtr shown = program.phoneDataSource()->nodeAtRow(row);
        !shown || shown->uploading())
        return;
    if (isNew) {
        AskedDownload asked;
        asked.phonePath = path;
        asked.name = nameOfPath(path);
        asked.folder = chosen ? run.downloads.chosenFolder : downloadsFolder();
        asked.expected << run.phone.treeOf(phoneName(path));
        run.downloads.asked << asked;
        run.downloads.lastReceiving << path;
    }
    if (chosen)
        program->phonePane().downloadTo(path, run.downloads.chosenFolder);
    else if (reveal)
        emit program.phoneTable()->revealRequested(row);
    else
        emit program.phoneTable()->rowActivated(row);
}

AskedDownload* openAsked(DownloadLedger& ledger, const QString& path) {
    for (auto it = ledger.asked.rbegin(); it != ledger.asked.rend(); ++it)
        if (it->phonePath == path) return &*it;
    return nullptr;
}

// The download under way is one the user cancelled: a cancel that comes after the item's last
// piece and before the phone's "TransferFinished" is never answered by the end of the download.
bool cancelledFront(DownloadLedger& ledger, const QString& front) {
    const AskedDownload* asked = openAsked(ledger, front);
    return asked && asked->cancelled;
}

bool toldAbout(const QString& said, const QString& name) {
    const QString quoted = QLatin1Char('"') + name + QLatin1Char('"');
    for (const QString& line : said.split(QLatin1Char('\n')))
        if ((line.startsWith(QStringLiteral("Download Failed")) ||
             line.startsWith(QStringLiteral("Unable To Save Download"))) &&
            line.contains(quoted))
            return true;
    return false;
}

} // namespace

void DownloadLedger::connectionGone() {
    for (const QString& path : std::as_const(lastReceiving))
        if (AskedDownload* one = openAsked(*this, path)) one->connectionLost = true;
    lastReceiving.clear();
}

QString downloadsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Vantle");
}

void prepareDownloads(RunContext& run) {
    QDir(downloadsFolder()).removeRecursively();
    run.downloads.chosenFolder = run.work.root() + QStringLiteral("/chosen folder");
    QDir().mkpath(run.downloads.chosenFolder);
    run.downloads.folders = {downloadsFolder(), run.downloads.chosenFolder};
    const int pieces = run.between(1, kMostPieces);
    run.phone.putFile(QStringLiteral("p.bin"),
                      seededBytes(run, (pieces - 1) * kPieceBytes + run.between(1, kPieceBytes)));
    run.phone.putFile(QStringLiteral("pfolder/one.txt"),
                      seededBytes(run, run.between(0, kMostSmallBytes)));
    run.phone.putFile(QStringLiteral("pfolder/inner/two.txt"),
                      seededBytes(run, run.between(1, kMostSmallBytes)));
    run.steps << QStringLiteral("phone holds p.bin (%1 pieces) and pfolder").arg(pieces);
}

void askDownloads(RunContext& run, bool chosen) {
    PhoneDataSource* rows = run.program ? run.program->phoneDataSource() : nullptr;
    if (rows) waitFor([&] { return rows->rowCount() > 0; }, kRowsComeMs);
    const int count = rows ? rows->rowCount() : 0;
    if (count == 0) {
        run.steps << QStringLiteral("download (no rows)");
        return;
    }
    run.steps << (chosen ? QStringLiteral("download to...") : QStringLiteral("download"));
    const int asks = chosen ? 1 : run.between(1, kMostRowsAsked);
    PhoneNodeInfoPtr last;
    for (int i = 0; i < asks; ++i) {
        last = rows->nodeAtRow(run.between(0, count - 1));
        if (last) ask(run, last, chosen);
    }
    if (last && run.chance(20)) ask(run, last, chosen);
    // The user changes their mind at once: a second click on the row that started.
    if (run.chance(kCancelRightAwayPercent)) cancelDownloadByClick(run);
}

void cancelDownloadByClick(RunContext& run) {
    const QStringList receiving = run.program ? run.program->receivingFiles() : QStringList();
    const int row =
        receiving.isEmpty() ? -1 : run.program->phoneDataSource()->rowForPath(receiving.front());
    if (row < 0) {
        run.steps << QStringLiteral("cancel download (none under way)");
        return;
    }
    run.steps << QStringLiteral("cancel download of %1").arg(nameOfPath(receiving.front()));
    if (AskedDownload* asked = openAsked(run.downloads, receiving.front())) asked->cancelled = true;
    emit run.program->phoneTable()->rowActivated(row);
}

void watchDownloads(RunContext& run) {
    DownloadLedger& ledger = run.downloads;
    if (!run.program) {
        ledger.connectionGone();
        ledger.front.clear();
        return;
    }
    const test::Program& program = *run.program;
    if (!program->connected()) ledger.connectionGone();
    const QStringList receiving = program.receivingFiles();
    for (const QString& path : receiving)
        if (!ledger.lastReceiving.contains(path)) ledger.lastReceiving << path;
    const QString front = receiving.value(0);
    const QProgressBar* bar = program.downloadBar();
    const int value = bar->isHidden() ? -1 : bar->value();
    if (front != ledger.front || value != ledger.barValue || bar->maximum() != ledger.barMaximum) {
        // Its turn came: a change on the phone since it was asked may be what arrives.
        if (front != ledger.front && !front.isEmpty())
            if (AskedDownload* asked = openAsked(ledger, front))
                asked->expected << run.phone.treeOf(phoneName(front));
        ledger.front = front;
        ledger.barValue = value;
        ledger.barMaximum = bar->maximum();
        ledger.sincePiece.restart();
        return;
    }
    if (front.isEmpty()) return;
    const qint64 still = ledger.sincePiece.elapsed();
    ledger.longestStallMs = std::max(ledger.longestStallMs, still);
    if (still > kSilenceLimitMs + kStallMarginMs && !ledger.stallReported &&
        !cancelledFront(ledger, front)) {
        ledger.stallReported = true;
        run.found({{QStringLiteral("D3"),
                    QStringLiteral("the download of %1 stayed under way %2 ms without a piece")
                        .arg(nameOfPath(front))
                        .arg(still)}});
    }
}

QList<Violation> checkDownloads(RunContext& run) {
    QList<Violation> found;
    const QString said = run.everythingSaid();
    const QStringList receiving = run.program ? run.program->receivingFiles() : QStringList();
    const bool stuckAfterCancel =
        !receiving.isEmpty() && cancelledFront(run.downloads, receiving.front());
    QMap<QString, QStringList> claimed;
    // What arrived of a download ended by the connection's loss, a quit or a cancel stays in the
    // temporary area until the same name comes again: a known leftover, tolerated here until the
    // program removes it (only those names; anything else there counts).
    QStringList unfinished;
    // A cancelled or cut-off download may arrive all the same, but the files go to the ones that
    // had to arrive first: a later ask of the same name would otherwise find its file claimed.
    QList<AskedDownload> asks = run.downloads.asked;
    std::stable_partition(asks.begin(), asks.end(), [](const AskedDownload& asked) {
        return !asked.cancelled && !asked.connectionLost;
    });
    for (const AskedDownload& asked : std::as_const(asks)) {
        bool arrived = false;
        for (const QString& name : namesFor(asked.name, entriesOf(asked.folder))) {
            if (claimed[asked.folder].contains(name)) continue;
            const Tree there = treeAt(asked.folder + QLatin1Char('/') + name);
            // An upload may have replaced the item after its turn came and before the watch saw
            // it: what the phone holds now is the item too.
            if (!asked.expected.contains(there) &&
                there != run.phone.treeOf(phoneName(asked.phonePath)))
                continue;
            claimed[asked.folder] << name;
            arrived = true;
            break;
        }
        if (!arrived && (asked.cancelled || asked.connectionLost)) unfinished << asked.name;
        if (arrived || asked.cancelled || asked.connectionLost || toldAbout(said, asked.name) ||
            (stuckAfterCancel && receiving.contains(asked.phonePath)))
            continue;
        found << Violation{QStringLiteral("D1"),
                           QStringLiteral("the download of %1 into %2 neither arrived whole nor "
                                          "ended with a message")
                               .arg(asked.name, QFileInfo(asked.folder).fileName())};
    }
    if (run.program) {
        if (stuckAfterCancel)
            found << Violation{QStringLiteral("D1"),
                               QStringLiteral("the cancelled download of %1 stays under way for "
                                              "good; waiting behind it: %2")
                                   .arg(nameOfPath(receiving.front()),
                                        receiving.mid(1).join(QStringLiteral(", ")))};
        else if (!receiving.isEmpty())
            found << Violation{QStringLiteral("D1"),
                               QStringLiteral("still under way after the run settled: %1")
                                   .arg(receiving.join(QStringLiteral(", ")))};
        QStringList left = entriesOf(run.program->transfer().temporaryDir());
        left.removeIf([&](const QString& name) { return unfinished.contains(name); });
        if (!left.isEmpty())
            found << Violation{QStringLiteral("D2"),
                               QStringLiteral("the temporary area holds %1 after the run settled")
                                   .arg(left.join(QStringLiteral(", ")))};
    }
    for (const QString& folder : std::as_const(run.downloads.folders))
        for (const QString& name : entriesOf(folder))
            if (!claimed[folder].contains(name))
                found << Violation{QStringLiteral("D2"),
                                   QStringLiteral("%1 in %2 is no whole download asked for")
                                       .arg(name, QFileInfo(folder).fileName())};
    return found;
}

} // namespace vantle::campaign
