#include "app/history/TransferHistory.h"

#include "app/history/TransferHistoryFile.h"
#include "platform/AtomicFile.h"
#include "support/ParoxLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace vantle {
namespace {

const QLatin1StringView kFileName("history.json");
// Set-aside files of earlier failures are kept: a later one takes the next free number.
constexpr int kMaxSetAsideNames = 100;

// Renames the unreadable file out of the way; never deletes it.
void setAside(const QString& path, const QString& why) {
    const QString base = path + TransferHistory::kSetAsideSuffix;
    for (int n = 0; n < kMaxSetAsideNames; ++n) {
        const QString target = n == 0 ? base : base + QLatin1Char('.') + QString::number(n);
        if (QFileInfo::exists(target)) continue;
        if (QFile::rename(path, target)) {
            ParoxLog("the transfer history %@ could not be read (%@); it was moved to %@", path,
                     why, target);
            return;
        }
        break;
    }
    ParoxLog("the transfer history %@ could not be read (%@) nor moved aside", path, why);
}

// Worker: the stored entries; none when there is no file.
QList<TransferRecord> readEntries(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) {
        setAside(path, file.errorString());
        return {};
    }
    // One byte more than a file may have, so that an oversized one is refused by its size.
    const QByteArray bytes = file.read(TransferHistoryFile::kMaxFileBytes + 1);
    file.close();
    Result<QList<TransferRecord>> entries = TransferHistoryFile::decode(bytes);
    if (!entries) {
        setAside(path, entries.error());
        return {};
    }
    return *std::move(entries);
}

// Worker.
Result<void> writeEntries(const QString& path, const QList<TransferRecord>& entries) {
    return writeFileAtomically(path, TransferHistoryFile::encode(entries));
}

} // namespace

const QLatin1StringView TransferHistory::kSetAsideSuffix(".unreadable");

TransferHistory::TransferHistory(QString filePath, QObject* parent)
    : QObject(parent), mFilePath(std::move(filePath)) {}

TransferHistory::~TransferHistory() = default;

QString TransferHistory::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           kFileName;
}

void TransferHistory::load() {
    mWork.runThenCallback([path = mFilePath] { return readEntries(path); },
                          [this](const QList<TransferRecord>& stored) { loadArrived(stored); });
}

void TransferHistory::loadArrived(const QList<TransferRecord>& stored) {
    const bool changedMeanwhile = !mEntries.isEmpty();
    // What ended while the file was read is newer than all it holds.
    mEntries.append(stored);
    std::stable_sort(
        mEntries.begin(), mEntries.end(),
        [](const TransferRecord& a, const TransferRecord& b) { return a.time > b.time; });
    trim();
    mState = State::Ready;
    emit reset();
    emit loaded();
    if (changedMeanwhile) save();
}

void TransferHistory::trim() {
    if (mEntries.size() > TransferHistoryFile::kMaxEntries)
        mEntries.resize(TransferHistoryFile::kMaxEntries);
}

void TransferHistory::add(const TransferRecord& record) {
    mEntries.prepend(record);
    trim();
    emit added(record);
    save();
}

void TransferHistory::removeAt(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : std::as_const(rows))
        if (row >= 0 && row < mEntries.size()) mEntries.removeAt(row);
    emit reset();
    save();
}

void TransferHistory::clear() {
    mEntries.clear();
    emit reset();
    save();
}

void TransferHistory::save() {
    // Until the file has been read, writing would lose what it holds: the load saves once in.
    if (mState == State::Loading) return;
    if (mSaving != Saving::Idle) {
        mSaving = Saving::WritingAndStale;
        return;
    }
    mSaving = Saving::Writing;
    mWork.runThenCallback(
        [path = mFilePath, entries = mEntries] { return writeEntries(path, entries); },
        [this](const Result<void>& written) {
            if (!written)
                ParoxLog("the transfer history could not be written: %@", written.error());
            const bool stale = mSaving == Saving::WritingAndStale;
            mSaving = Saving::Idle;
            if (stale) save();
        });
}

bool TransferHistory::flush(std::chrono::milliseconds limit) {
    // The write under way and, when changes came since, the one after it.
    bool done = mWork.finish(limit);
    if (mSaving != Saving::Idle) done = mWork.finish(limit);
    return done && mSaving == Saving::Idle;
}

} // namespace vantle
