#pragma once

#include "app/TransferRecord.h"
#include "platform/BackgroundWork.h"

#include <QList>
#include <QObject>
#include <QString>
#include <chrono>

namespace vantle {

// Every item sent or received, newest first, kept in "history.json" in the data folder. The file
// is read on a worker once load() is called; what ends meanwhile is kept and merged with it. A
// file that cannot be read is set aside under another name and the history starts empty. Every
// change is written on the worker, atomically; changes made while a write runs go in one more.
// Main thread.
class TransferHistory final : public QObject {
    Q_OBJECT

public:
    enum class State { Loading, Ready };
    // What an unreadable file is renamed to end with.
    static const QLatin1StringView kSetAsideSuffix;

    explicit TransferHistory(QString filePath = defaultFilePath(), QObject* parent = nullptr);
    ~TransferHistory() override;
    TransferHistory(const TransferHistory&) = delete;
    TransferHistory& operator=(const TransferHistory&) = delete;

    // "history.json" in the data folder, beside the queue's file.
    static QString defaultFilePath();
    QString filePath() const { return mFilePath; }

    // Reads the file on the worker; loaded() follows.
    void load();
    State state() const { return mState; }
    // Newest first.
    const QList<TransferRecord>& entries() const { return mEntries; }

    // An item's transfer ended.
    void add(const TransferRecord& record);
    // The entries at these positions of entries() go.
    void removeAt(QList<int> rows);
    void clear();
    // Waits at most `limit` for the file to hold every change made so far (the end of the
    // program). True when it does.
    bool flush(std::chrono::milliseconds limit);

signals:
    void loaded();
    // `record` is now entries().first(); the oldest may have gone to make room.
    void added(const TransferRecord& record);
    // The entries changed other than by add().
    void reset();

private:
    enum class Saving { Idle, Writing, WritingAndStale };

    void loadArrived(const QList<TransferRecord>& stored);
    void trim();
    // Writes the entries on the worker, or once more after the write under way.
    void save();

    const QString mFilePath;
    State mState = State::Loading;
    QList<TransferRecord> mEntries;
    Saving mSaving = Saving::Idle;
    // Last, so that it goes first: its work writes the file.
    BackgroundWork mWork{1};
};

} // namespace vantle
