#include "app/awake/StayAwake.h"

#include "platform/SleepInhibitor.h"
#include "support/ParoxLog.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace vantle {
namespace {

QString items(const StayAwake::Movement& movement) {
    return movement.count == 1 ? movement.first
                               : QCoreApplication::translate("vantle::StayAwake", "%n item(s)",
                                                             nullptr, movement.count);
}

} // namespace

StayAwake::StayAwake(PhoneName phoneName, const QString& busAddress, QObject* parent)
    : QObject(parent), mPhoneName(std::move(phoneName)),
      mInhibitor(new SleepInhibitor(busAddress, this)), mIdle(new QTimer(this)) {
    mIdle->setSingleShot(true);
    mIdle->setInterval(kIdleReleaseMs);
    connect(mIdle, &QTimer::timeout, mInhibitor, &SleepInhibitor::release);
    connect(mInhibitor, &SleepInhibitor::unavailable, this, [](const QString& why) {
        ParoxLog("Transfers cannot keep the computer awake: %@", why);
    });
}

QString StayAwake::reason(const QString& phone, const Movement& sending,
                          const Movement& receiving) {
    const QString name = phone.isEmpty() ? tr("your iPhone") : phone;
    if (sending.count > 0 && receiving.count > 0)
        return tr("Sending %1 to and receiving %2 from %3")
            .arg(items(sending), items(receiving), name);
    if (sending.count > 0) return tr("Sending %1 to %2").arg(items(sending), name);
    if (receiving.count > 0) return tr("Receiving %1 from %2").arg(items(receiving), name);
    return {};
}

void StayAwake::sendingStarted(const QString& name, int itemsLeft) {
    mSending = {name, std::max(itemsLeft, 1)};
    update();
}

void StayAwake::sendingStopped() {
    mSending = {};
    update();
}

void StayAwake::receivingChanged(const QString& first, int count) {
    mReceiving = {first, count};
    update();
}

void StayAwake::connectionLost() {
    mSending = {};
    mReceiving = {};
    mIdle->stop();
    mInhibitor->release();
}

void StayAwake::shutDown() {
    connectionLost();
}

void StayAwake::update() {
    const QString why = reason(mPhoneName ? mPhoneName() : QString(), mSending, mReceiving);
    if (why.isEmpty()) {
        if (!mIdle->isActive()) mIdle->start();
        return;
    }
    mIdle->stop();
    mInhibitor->hold(why);
}

} // namespace vantle
