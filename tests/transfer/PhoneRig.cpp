#include "PhoneRig.h"

#include "transfer/ProtocolKeys.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

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
    QList<QJsonObject> messages;
    QFile file(workDir.filePath(QLatin1String(kRecordName)));
    if (!file.open(QIODevice::ReadOnly)) return messages;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject entry = QJsonDocument::fromJson(line).object();
        if (entry.value(QLatin1String("direction")).toString() != QLatin1String("received") ||
            entry.value(QLatin1String("kind")).toString() != QLatin1String("message"))
            continue;
        const QJsonObject message = entry.value(QLatin1String("dictionary")).toObject();
        if (requestType.isEmpty() || message.value(keys::kRequestType).toString() == requestType)
            messages.append(message);
    }
    return messages;
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

bool UploadThread::finish() {
    const bool done = QTest::qWaitFor([this] { return mDone.load(); }, kWorkerLimitMs);
    if (done) mThread.join();
    return done;
}

bool writeFile(const QString& path, qint64 size, char seed) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = patterned(size, seed);
    return file.write(bytes) == size;
}

} // namespace vantle::test
