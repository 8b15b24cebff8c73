#include "net/ConnectionDoctor.h"

#include <QThread>

namespace vantle {

ConnectionDoctor::ConnectionDoctor(QObject* parent) : QObject(parent) {}

ConnectionDoctor::~ConnectionDoctor() {
    if (!mThread) return;
    mThread->requestInterruption();
    mThread->wait();
}

bool ConnectionDoctor::isRunning() const {
    return mThread && mThread->isRunning();
}

bool ConnectionDoctor::start(const DiagnosisSettings& settings) {
    if (isRunning()) return false;
    if (mThread) {
        mThread->wait();
        delete mThread;
    }
    // Signals emitted there reach receivers here queued; the destructor outwaits the thread, so
    // the doctor outlives every emission.
    mThread = QThread::create([this, settings] {
        const ConnectionReport report = runConnectionDiagnosis(
            settings, [this](const DiagnosticCheck& check) { emit checkDone(check); });
        emit finished(report);
    });
    mThread->setParent(this);
    mThread->start();
    return true;
}

} // namespace vantle
