#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vantle {

// The line beside the name of the item being uploaded: bytes sent of the item's total, speed,
// time left and the items still queued. Pure: the caller gives the clock, so it is tested without
// waiting.
class UploadProgressText {
public:
    // The line changes at most this often, so that it can be read while it moves.
    static constexpr qint64 kMinIntervalMs = 250;

    // A new item of `total` bytes starts at `nowMs`.
    void start(quint64 total, qint64 nowMs);
    // Takes the bytes sent so far; true when the line changed (never twice within the interval).
    bool update(quint64 sent, int itemsLeft, qint64 nowMs);
    QString text() const { return mText; }
    // Bytes a second, once two samples apart in time were taken.
    std::optional<double> bytesPerSecond() const { return mRate; }

    // "1.2 MB of 5 MB, 2.3 MB/s, 2 s left, 3 items left"; speed and time left are left out
    // until the speed is known.
    static QString describe(quint64 sent, quint64 total, std::optional<double> bytesPerSecond,
                            int itemsLeft);
    // "5 s", "2 min 10 s", "1 h 5 min".
    static QString durationText(qint64 seconds);

private:
    quint64 mTotal = 0;
    quint64 mLastSent = 0;
    qint64 mLastSampleMs = 0;
    std::optional<qint64> mLastShownMs;
    std::optional<double> mRate;
    QString mText;
};

} // namespace vantle
