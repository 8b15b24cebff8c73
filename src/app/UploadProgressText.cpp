#include "app/UploadProgressText.h"

#include "files/FSNodeInfo.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace vantle {
namespace {

constexpr double kMsPerSecond = 1000.0;
constexpr qint64 kSecondsPerMinute = 60;
constexpr qint64 kSecondsPerHour = 3600;
// Weight of the newest interval in the speed: steady enough to read, quick to follow a change.
constexpr double kNewRateWeight = 0.3;

} // namespace

void UploadProgressText::start(quint64 total, qint64 nowMs) {
    mTotal = total;
    mLastSent = 0;
    mLastSampleMs = nowMs;
    mLastShownMs.reset();
    mRate.reset();
    mText.clear();
}

bool UploadProgressText::update(quint64 sent, int itemsLeft, qint64 nowMs) {
    if (mLastShownMs && nowMs - *mLastShownMs < kMinIntervalMs) return false;
    const qint64 elapsedMs = nowMs - mLastSampleMs;
    if (elapsedMs > 0 && sent >= mLastSent) {
        const double rate =
            static_cast<double>(sent - mLastSent) * kMsPerSecond / static_cast<double>(elapsedMs);
        mRate = mRate ? (1.0 - kNewRateWeight) * *mRate + kNewRateWeight * rate : rate;
        mLastSent = sent;
        mLastSampleMs = nowMs;
    }
    mLastShownMs = nowMs;
    const QString text = describe(sent, mTotal, mRate, itemsLeft);
    if (text == mText) return false;
    mText = text;
    return true;
}

QString UploadProgressText::describe(quint64 sent, quint64 total,
                                     std::optional<double> bytesPerSecond, int itemsLeft) {
    // A folder's total counts its own entries too, so what was sent may pass it.
    const quint64 shownTotal = std::max(sent, total);
    //: Sizes: what was sent of the whole
    QString text = QCoreApplication::translate("vantle::UploadProgressText", "%1 of %2")
                       .arg(FSNodeInfo::getSizeText(sent), FSNodeInfo::getSizeText(shownTotal));
    if (bytesPerSecond) {
        const auto rate = static_cast<quint64>(std::llround(*bytesPerSecond));
        //: The details so far, then the speed (a size per second)
        text = QCoreApplication::translate("vantle::UploadProgressText", "%1, %2/s")
                   .arg(text, FSNodeInfo::getSizeText(rate));
        if (rate > 0) {
            const auto seconds = static_cast<qint64>(
                std::ceil(static_cast<double>(shownTotal - sent) / static_cast<double>(rate)));
            //: The details so far, then the time still needed
            text = QCoreApplication::translate("vantle::UploadProgressText", "%1, %2 left")
                       .arg(text, durationText(seconds));
        }
    }
    //: The details so far, then the items still to send
    return QCoreApplication::translate("vantle::UploadProgressText", "%1, %n item(s) left", nullptr,
                                       itemsLeft)
        .arg(text);
}

QString UploadProgressText::durationText(qint64 seconds) {
    seconds = std::max<qint64>(seconds, 0);
    if (seconds < kSecondsPerMinute)
        return QCoreApplication::translate("vantle::UploadProgressText", "%1 s").arg(seconds);
    if (seconds < kSecondsPerHour)
        return QCoreApplication::translate("vantle::UploadProgressText", "%1 min %2 s")
            .arg(seconds / kSecondsPerMinute)
            .arg(seconds % kSecondsPerMinute);
    return QCoreApplication::translate("vantle::UploadProgressText", "%1 h %2 min")
        .arg(seconds / kSecondsPerHour)
        .arg((seconds % kSecondsPerHour) / kSecondsPerMinute);
}

} // namespace vantle
