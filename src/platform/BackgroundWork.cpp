#include "platform/BackgroundWork.h"

#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <climits>

namespace vantle {

namespace {

int milliseconds(std::chrono::milliseconds limit) {
    return int(std::min<std::chrono::milliseconds::rep>(limit.count(), INT_MAX));
}

} // namespace

BackgroundWork::BackgroundWork(int threads, QObject* parent) : QObject(parent) {
    mPool.setMaxThreadCount(threads);
}

BackgroundWork::~BackgroundWork() {
    // Never left behind: a worker still running refers to this group.
    if (!shutDown(kDefaultShutdownLimit)) qWarning("background work holds up the end of its group");
    mPool.waitForDone();
}

void BackgroundWork::start(std::function<void()> task) {
    ++mOutstanding;
    mPool.start(std::move(task));
}

void BackgroundWork::deliver(std::function<void()> callback) {
    // Posted to this object: once it is gone, Qt discards the call with it.
    runOn(this, [this, callback = std::move(callback)] {
        --mOutstanding;
        if (accepting() && callback) callback();
    });
}

bool BackgroundWork::finish(std::chrono::milliseconds limit) {
    if (idle()) return true;
    const bool ended = mPool.waitForDone(milliseconds(limit));
    // A worker posts its result before it ends, so everything that ended is in the queue now.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return ended;
}

bool BackgroundWork::shutDown(std::chrono::milliseconds limit) {
    mState = State::ShutDown;
    return finish(limit);
}

} // namespace vantle
