#include "app/SingleInstance.h"

#include "support/ParoxLog.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <memory>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace vantle {
namespace {

// A message travels as its length (4 bytes, big-endian) and the document; one byte answers it.
constexpr qsizetype kLengthBytes = 4;
constexpr char kAccepted = 'Y';
constexpr char kRejected = 'N';

constexpr int kConnectTimeoutMs = 2000;
// The running program's main thread may sit in a blocking request to the phone for up to 10 s
// before it turns its event loop again.
constexpr int kAcknowledgeTimeoutMs = 15000;
// Longer than one whole hand-over, so a start waiting for another's decision outlasts it.
constexpr int kDecisionLockTimeoutMs = 2 * kAcknowledgeTimeoutMs;
// A sender that has not sent a whole message by then is dropped.
constexpr int kSenderTimeoutMs = 5000;
constexpr int kNameHashHexDigits = 16;

QString userIdentity() {
#if defined(Q_OS_UNIX)
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

// A folder only the user can enter, where nobody else can plant a socket of the same name.
QString privateSocketFolder() {
#if defined(Q_OS_UNIX)
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#else
    return {}; // pipe names live in their own namespace
#endif
}

QString lockFilePath(const QString& serverName) {
    const QString lock = serverName + QStringLiteral(".lock");
    return QDir::isAbsolutePath(serverName) ? lock : QDir::temp().filePath(lock);
}

QByteArray frame(const QByteArray& document) {
    QByteArray bytes(kLengthBytes, '\0');
    qToBigEndian(static_cast<quint32>(document.size()), bytes.data());
    return bytes + document;
}

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), mServerName(serverName(dataFolder)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& dataFolder) {
    const QFileInfo info(dataFolder);
    QString folder = info.canonicalFilePath();
    if (folder.isEmpty()) folder = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash((folder + u'\n' + userIdentity()).toUtf8(),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(kNameHashHexDigits);
    const QString name = QStringLiteral("vantle-") + QString::fromLatin1(hash);
    const QString socketFolder = privateSocketFolder();
    return socketFolder.isEmpty() ? name : QDir(socketFolder).filePath(name);
}

Result<SingleInstance::Role> SingleInstance::claim(const HandoverMessage& message) {
    if (mServer) return Role::Primary;
    // Asking whether a program runs and starting to listen is one step among the starts: without
    // it two starts could each find nobody, and the second would remove the first one's socket.
    QLockFile decision(lockFilePath(mServerName));
    if (!decision.tryLock(kDecisionLockTimeoutMs))
        return Result<Role>::failure(
            QStringLiteral("Another start of Vantle did not finish starting (lock file %1).")
                .arg(lockFilePath(mServerName)));
    QString error;
    switch (deliver(message, error)) {
    case Delivery::Delivered:
        return Role::HandedOver;
    case Delivery::Failed:
        return Result<Role>::failure(error);
    case Delivery::NobodyListening:
        break;
    }
    if (auto listening = listen(); !listening) return Result<Role>::failure(listening.error());
    return Role::Primary;
}

SingleInstance::Delivery SingleInstance::deliver(const HandoverMessage& message,
                                                 QString& error) const {
    QLocalSocket socket;
    socket.connectToServer(mServerName);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        if (socket.error() != QLocalSocket::SocketTimeoutError) return Delivery::NobodyListening;
        error = QStringLiteral("The running Vantle does not take connections: %1")
                    .arg(socket.errorString());
        return Delivery::Failed;
    }
    const QByteArray document = encodeHandoverMessage(message);
    if (document.size() > kMaxHandoverBytes) {
        error = QStringLiteral("Too many files to hand to the running Vantle at once.");
        return Delivery::Failed;
    }
    const QDeadlineTimer deadline(kAcknowledgeTimeoutMs);
    socket.write(frame(document));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(deadline.remainingTime())) {
    }
    while (socket.bytesAvailable() < 1 && socket.waitForReadyRead(deadline.remainingTime())) {
    }
    char answer = kRejected;
    if (!socket.getChar(&answer)) {
        error = QStringLiteral("The running Vantle did not take the files within %1 seconds.")
                    .arg(kAcknowledgeTimeoutMs / 1000);
        return Delivery::Failed;
    }
    if (answer != kAccepted) {
        error = QStringLiteral("The running Vantle refused the files.");
        return Delivery::Failed;
    }
    return Delivery::Delivered;
}

Result<void> SingleInstance::listen() {
    auto server = std::make_unique<QLocalServer>(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered there, and no other start can begin listening while we decide: whatever
    // is left is a crashed program's socket.
    QLocalServer::removeServer(mServerName);
    if (!server->listen(mServerName))
        return Result<void>::failure(QStringLiteral("Vantle could not listen on %1: %2")
                                         .arg(mServerName, server->errorString()));
    connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::accept);
    mServer = server.release();
    return {};
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = mServer->nextPendingConnection()) {
        socket->setReadBufferSize(kLengthBytes + kMaxHandoverBytes);
        auto* deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket] {
            ParoxLog("Hand-over dropped: no whole message within %d ms", kSenderTimeoutMs);
            socket->abort();
        });
        deadline->start(kSenderTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kLengthBytes) return;
    const QByteArray header = socket->peek(kLengthBytes);
    const quint32 length = qFromBigEndian<quint32>(header.constData());
    if (length > static_cast<quint32>(kMaxHandoverBytes)) {
        ParoxLog("Hand-over dropped: %u bytes announced, more than %d", length, kMaxHandoverBytes);
        answer(socket, false);
        return;
    }
    if (socket->bytesAvailable() < kLengthBytes + static_cast<qint64>(length)) return;
    socket->skip(kLengthBytes);
    const auto decoded = decodeHandoverMessage(socket->read(length));
    if (!decoded) {
        ParoxLog("Hand-over dropped: %@", decoded.error());
        answer(socket, false);
        return;
    }
    ParoxLog("Hand-over: %d files, connect %@", decoded->files.size(),
             decoded->connect.value_or(QStringLiteral("(none)")));
    if (!mReceiver) {
        answer(socket, true);
        emit messageReceived(*decoded);
        return;
    }
    stopReading(socket);
    emit messageReceived(*decoded);
    mReceiver(*decoded, replyTo(socket));
}

void SingleInstance::stopReading(QLocalSocket* socket) {
    // One message per connection: whatever else comes is not read, and the sender, waiting for
    // its answer, is no longer timed.
    QObject::disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
    qDeleteAll(socket->findChildren<QTimer*>(Qt::FindDirectChildrenOnly));
}

SingleInstance::Reply SingleInstance::replyTo(QLocalSocket* socket) {
    // The answer is given once; a reply dropped unanswered refuses, so the sender hears at once.
    struct Pending {
        QPointer<QLocalSocket> socket;
        void give(bool taken) {
            QLocalSocket* to = socket.data();
            socket.clear();
            if (!to) return;
            if (!taken) ParoxLog("Hand-over not taken: its files are not safe in the queue");
            answer(to, taken);
        }
        ~Pending() { give(false); }
    };
    auto pending = std::make_shared<Pending>();
    pending->socket = socket;
    return [pending](bool taken) { pending->give(taken); };
}

void SingleInstance::answer(QLocalSocket* socket, bool accepted) {
    stopReading(socket);
    socket->putChar(accepted ? kAccepted : kRejected);
    // Out before whatever the message sets off, even the end of this program.
    socket->flush();
    socket->disconnectFromServer();
}

} // namespace vantle
