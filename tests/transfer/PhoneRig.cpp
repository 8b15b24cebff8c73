#include "PhoneRig.h"

#include "transfer/ProtocolKeys.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vantle::test {
namespace {

constexpr const char* kRecordName = "record.jsonl";

QStringList withStoreAndRecord(QStringList arguments, const QTemporaryDir& store,
                               const QTemporaryDir& work) {
    arguments << QStringLiteral("--store") << store.path() << QStringLiteral("--record")
              << work.filePath(QLatin1String(kRecordName)) << QStringLiteral("--quiet");
    return arguments;
}

} // namespace

TransferTimeouts quickTimeouts() {
    return shortenedTimeouts(3s, 1500ms, 1500ms);
}

PhoneRig::PhoneRig(const QStringList& phoneArguments, const TransferTimeouts& timeouts)
    : phone(withStoreAndRecord(phoneArguments, storeDir, workDir)), transfer(timeouts),
      controller(host, transfer.responseSlot(), timeouts) {
    transfer.setClientServerController(&controller);
    controller.setRequestDispatcher(&transfer);
    controller.startClient();
}

PhoneRig::~PhoneRig() {
    if (auto peer = controller.peer()) peer->disconnect();
    controller.setRequestDispatcher(nullptr);
    transfer.setClientServerController(nullptr);
}

bool PhoneRig::connect() {
    if (!phone.started()) return false;
    if (controller.addServer(QStringLiteral("127.0.0.1:%1").arg(phone.port())) !=
        AddServerResult::Connecting)
        return false;
    return QTest::qWaitFor([this] { return controller.peer() && controller.connected(); }, kWaitMs);
}

QString PhoneRig::storePath(const QString& relative) const {
    return relative.isEmpty() ? storeDir.path() : storeDir.filePath(relative);
}

QList<QJsonObject> PhoneRig::received(const QString& requestType) const {
    return recordedRequests(workDir.filePath(QLatin1String(kRecordName)), requestType);
}

UploadThread::UploadThread(MRTransferController& transfer, const QString& local,
                           const QString& remote) {
    transfer.resetUploadOperation();
    mThread = std::thread([this, &transfer, local, remote] {
        result = transfer.uploadFile(local, remote);
        mDone = true;
    });
}

UploadThread::~UploadThread() {
    if (mThread.joinable()) mThread.join();
}

bool UploadThread::finish(int timeoutMs) {
    const bool done = QTest::qWaitFor([this] { return mDone.load(); }, timeoutMs);
    if (done) mThread.join();
    return done;
}

namespace {

// Drops the overriding file rights from the calling thread's effective set only (the raw call:
// it is per thread, and no library wrapper applies it to the whole process).
bool dropOverrideRightsOfThisThread() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
    return ::syscall(SYS_capset, &header, data) == 0;
}

bool refusedToThisThread(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return true;
    ::close(fd);
    return false;
}

} // namespace

UploadWithoutOverride uploadWithoutOverride(MRTransferController& transfer, const QString& local,
                                            const QString& remote, const QString& probe) {
    transfer.resetUploadOperation();
    return onWorker([&] {
        UploadWithoutOverride outcome;
        outcome.probeRefused = dropOverrideRightsOfThisThread() && refusedToThisThread(probe);
        if (outcome.probeRefused) outcome.result = transfer.uploadFile(local, remote);
        return outcome;
    });
}

bool writeFile(const QString& path, qint64 size, char seed) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = patterned(size, seed);
    return file.write(bytes) == size;
}

} // namespace vantle::test
