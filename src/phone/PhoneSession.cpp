#include "phone/PhoneSession.h"

#include "net/DictionaryCodec.h"
#include "phone/PhoneMessageLog.h"
#include "phone/PhoneRequestCheck.h"
#include "platform/PlistValue.h"
#include "transfer/ProtocolKeys.h"

#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <iterator>
#include <sys/socket.h>
#include <sys/uio.h>

namespace vantle::phone {
namespace {

// A payload magic that belongs to nobody, for --garbage.
constexpr std::uint32_t kForeignMagic = 0x0BADF00D;
// Bytes the socket itself may hold when reading is held back, so that the PC feels it soon.
constexpr qint64 kThrottledReadBuffer = 4096;

using Direction = PhoneRecorder::Direction;
using Kind = PhoneRecorder::Kind;

// A strict phone sends no "UserInfo": the PC reads nothing from it.
QVariantMap notifyRequest(const QString& name, bool strict, const QVariantMap& userInfo = {}) {
    QVariantMap request{{keys::kRequestType, QString(requests::kNotify)},
                        {keys::kNotification, name}};
    if (!strict) request.insert(keys::kUserInfo, userInfo);
    return request;
}

// Only a boolean true is a success; "true" as text is not.
bool succeeded(const QVariantMap& answer) {
    const QVariant success = answer.value(keys::kSuccess);
    return plist::kindOf(success) == plist::ValueKind::Bool && success.toBool();
}

} // namespace

PhoneSession::PhoneSession(QTcpSocket* socket, PhoneShared shared, const PhoneOptions& options,
                           std::vector<PhoneAction> script, int connection, QObject* parent)
    : QObject(parent), mSocket(socket), mStore(shared.store), mApproval(shared.approval),
      mRecorder(shared.recorder), mOptions(options), mConnection(connection), mThrottle(options),
      mFaults(options.answerFaults), mActions(script.begin(), script.end()),
      mPushAs(options.pushAs.begin(), options.pushAs.end()) {
    mSocket->setParent(this);
    // Each message is awaited by the PC; none may wait for the acknowledgement of the one before.
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (mThrottle.limits()) mSocket->setReadBufferSize(kThrottledReadBuffer);
    connect(mSocket, &QTcpSocket::readyRead, this, &PhoneSession::readIncoming);
    connect(mSocket, &QTcpSocket::disconnected, this, [this] {
        if (mStage == Stage::Closed) return;
        log(QStringLiteral("-- the PC closed the connection"));
        mStage = Stage::Closed;
        emit finished();
    });
    log(QStringLiteral("-- PC connected from %1:%2")
            .arg(mSocket->peerAddress().toString())
            .arg(mSocket->peerPort()));
    // A PC that waited for the previous one may have sent its handshake already.
    QMetaObject::invokeMethod(this, &PhoneSession::readIncoming, Qt::QueuedConnection);
}

void PhoneSession::log(const QString& line) const {
    if (!mOptions.quiet) printLine(line);
}

void PhoneSession::record(Direction direction, Kind kind, const QVariantMap& dictionary) {
    mRecorder.record(mConnection, direction, kind, dictionary);
}

void PhoneSession::readIncoming() {
    while (mStage != Stage::Closed) {
        const std::span<char> room = mReader.buffer();
        const qint64 allowed = std::min(static_cast<qint64>(room.size()), mThrottle.allowance());
        if (allowed <= 0) {
            holdReading();
            return;
        }
        const qint64 count = mSocket->read(room.data(), allowed);
        if (count <= 0) return;
        mThrottle.consumed(count);
        switch (mReader.advance(static_cast<std::size_t>(count))) {
        case FrameReader::Status::NeedMore:
            break;
        case FrameReader::Status::FrameReady:
            handlePayload(mReader.takeFrame());
            break;
        case FrameReader::Status::BadMagic:
            close(QStringLiteral("a frame with a bad magic (%1)")
                      .arg(mReader.announcedMagic(), 8, 16, QLatin1Char('0')));
            return;
        case FrameReader::Status::TooLarge:
            close(QStringLiteral("a frame of %1 bytes, over the limit")
                      .arg(mReader.announcedLength()));
            return;
        }
    }
}

void PhoneSession::holdReading() {
    if (mReadRetryArmed || mReading == Reading::Stopped) return;
    const int retryMs = mThrottle.retryMs();
    if (retryMs < 0) {
        mReading = Reading::Stopped;
        log(QStringLiteral("-- no longer reading from the PC, as asked"));
        return;
    }
    // What the socket holds already raises no new signal: look again later.
    mReadRetryArmed = true;
    QTimer::singleShot(retryMs, this, [this] {
        mReadRetryArmed = false;
        readIncoming();
    });
}

void PhoneSession::handlePayload(const QByteArray& payload) {
    QString error;
    if (auto handshake = decodeDictionary(wire::kHandshakeMagic, payload, &error)) {
        handleHandshake(*handshake, payload);
        return;
    }
    if (auto message = decodeDictionary(protocol::kMessageMagic, payload, &error)) {
        handleMessage(*message);
        return;
    }
    log(QStringLiteral("<- unreadable payload of %1 bytes%2")
            .arg(payload.size())
            .arg(error.isEmpty() ? QString() : QStringLiteral(": ") + error));
}

void PhoneSession::handleHandshake(const QVariantMap& dictionary, const QByteArray& payload) {
    if (mStage == Stage::AwaitingHandshake) {
        log(QStringLiteral("<- handshake %1").arg(describeValue(dictionary)));
        record(Direction::Received, Kind::Handshake, dictionary);
        QVariantMap ours{{wire::kHandshakeID, mOptions.id}, {wire::kHandshakeName, mOptions.name}};
        if (!mOptions.strict)
            ours.insert(wire::kHandshakeInfo,
                        QVariantMap{{QStringLiteral("Model"), QStringLiteral("vantle-phone")},
                                    {QStringLiteral("StoreFolder"), mStore.root()}});
        sendPayload(encodeDictionary(wire::kHandshakeMagic, ours));
        log(QStringLiteral("-> handshake %1").arg(describeValue(ours)));
        record(Direction::Sent, Kind::Handshake, ours);
        mStage = Stage::AwaitingApproval;
        const PhoneApproval::Verdict verdict = mApproval.nextVerdict();
        if (verdict == PhoneApproval::Verdict::Silent) {
            log(QStringLiteral("-- giving the PC no verdict, as asked"));
            return;
        }
        if (mOptions.approveAfterMs > 0)
            QTimer::singleShot(mOptions.approveAfterMs, this,
                               [this, verdict] { sendVerdict(verdict); });
        else
            sendVerdict(verdict);
        return;
    }
    if (dictionary.isEmpty()) {
        log(QStringLiteral("<- ping, echoed"));
        record(Direction::Received, Kind::Ping, dictionary);
        sendPayload(payload);
        record(Direction::Sent, Kind::Ping, dictionary);
        return;
    }
    log(QStringLiteral("<- unexpected handshake dictionary %1").arg(describeValue(dictionary)));
}

void PhoneSession::handleMessage(const QVariantMap& message) {
    // Described only when it is printed: every piece passes here.
    if (!mOptions.quiet) log(QStringLiteral("<- ") + describeMessage(message));
    record(Direction::Received, Kind::Message, message);
    const QString type = message.value(keys::kMessageType).toString();
    if (type == messageTypes::kRequest) {
        if (plist::kindOf(message.value(keys::kRequestNum)) != plist::ValueKind::Integer) {
            log(QStringLiteral("-- a request without an integer \"RequestNum\" gets no answer"));
            return;
        }
        mIncoming.push_back(message);
        answerNext();
        return;
    }
    if (type == messageTypes::kResponse) {
        const qint64 number = message.value(keys::kResponseNum).toLongLong();
        const Reply reply = mAwaiting.take(number);
        if (!reply) {
            log(QStringLiteral("-- an answer to nothing we asked (#%1)").arg(number));
            return;
        }
        reply(message);
        return;
    }
    log(QStringLiteral("-- neither a request nor a response"));
}

void PhoneSession::answerNext() {
    if (mAnswering || mIncoming.empty() || mStage == Stage::Closed) return;
    mAnswering = true;
    QTimer::singleShot(mOptions.delayMs, this, [this] {
        const QVariantMap request = mIncoming.front();
        mIncoming.pop_front();
        answer(request);
        mAnswering = false;
        answerNext();
    });
}

void PhoneSession::answer(const QVariantMap& request) {
    if (mStage == Stage::Closed) return;
    const bool isPiece = request.value(keys::kRequestType).toString() == requests::kSendChunk;
    PhoneStore::Outcome outcome;
    if (isPiece) ++mPiecesReceived;
    if (const QString problem = requestFieldProblem(request); !problem.isEmpty()) {
        log(QStringLiteral("-- refusing a request: %1").arg(problem));
        outcome.response = {{keys::kSuccess, false}};
    } else if (isPiece && mOptions.failChunk.contains(mPiecesReceived)) {
        outcome.response = {{keys::kSuccess, false},
                            {keys::kErrorCode, mOptions.failChunk.value(mPiecesReceived)}};
    } else {
        outcome = mStore.handle(request);
    }
    deliver(outcome.response, request.value(keys::kRequestNum),
            request.value(keys::kRequestType).toString());

    if (isPiece && mOptions.dropAfterChunks > 0 && mPiecesReceived >= mOptions.dropAfterChunks) {
        close(QStringLiteral("dropping the connection after %1 pieces").arg(mPiecesReceived));
        return;
    }
    if (outcome.listingChanged)
        sendRequest(notifyRequest(notes::kServerListingChanged, mOptions.strict),
                    [](const QVariantMap&) {});
    if (outcome.sendItem) push(*outcome.sendItem, [] {});
}

// The answer goes out as the injected faults say: numbered, withheld, repeated.
void PhoneSession::deliver(QVariantMap response, const QVariant& requestNum, const QString& type) {
    const AnswerPlan plan = mFaults.next(type);
    response.insert(keys::kMessageType, QString(messageTypes::kResponse));
    plan.number(response, requestNum);
    const qint64 number = requestNum.toLongLong();
    if (mLateAnswer) {
        log(QStringLiteral("-- sending an earlier answer again, late"));
        sendMessage(*std::exchange(mLateAnswer, std::nullopt));
    }
    if (plan.duplicate && plan.duplicate->when == DuplicateFault::When::BeforeNextAnswer) {
        mLateAnswer = response;
    } else if (plan.duplicate) {
        QTimer::singleShot(plan.duplicate->delayMs, this, [this, response, number] {
            if (mStage == Stage::Closed) return;
            log(QStringLiteral("-- sending the answer to #%1 again, late").arg(number));
            sendMessage(response);
        });
    }
    if (plan.delivery == AnswerPlan::Delivery::Withhold) {
        log(QStringLiteral("-- withholding the answer to #%1, as asked").arg(number));
        return;
    }
    sendMessage(response);
}

void PhoneSession::sendPayload(const QByteArray& payload) {
    if (mStage == Stage::Closed) return;
    const auto header = frameHeader(static_cast<std::uint32_t>(payload.size()));
    const auto headerSize = static_cast<qint64>(header.size());
    // Header and payload leave in one call when nothing waits before them: a header on its own
    // would wake the PC for eight bytes. Whatever the socket does not take now queues behind.
    qint64 sent = 0;
    if (mSocket->bytesToWrite() == 0) {
        iovec parts[] = {
            {const_cast<char*>(header.data()), header.size()},
            {const_cast<char*>(payload.constData()), static_cast<std::size_t>(payload.size())}};
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = std::size(parts);
        const ssize_t count =
            ::sendmsg(static_cast<int>(mSocket->socketDescriptor()), &message, MSG_NOSIGNAL);
        sent = std::max<qint64>(count, 0);
    }
    if (sent < headerSize) mSocket->write(header.data() + sent, headerSize - sent);
    const qint64 payloadSent = std::max<qint64>(sent - headerSize, 0);
    if (payloadSent < payload.size())
        mSocket->write(payloadSent == 0 ? payload : payload.sliced(payloadSent));
}

void PhoneSession::sendMessage(const QVariantMap& message) {
    if (!mOptions.quiet) log(QStringLiteral("-> ") + describeMessage(message));
    record(Direction::Sent, Kind::Message, message);
    const QByteArray payload = encodeDictionary(protocol::kMessageMagic, message);
    if (payload.isEmpty()) {
        printLine(QStringLiteral("-- cannot encode that message; not sent"));
        return;
    }
    sendPayload(payload);
}

void PhoneSession::sendRequest(QVariantMap request, Reply onAnswer) {
    request.insert(keys::kMessageType, QString(messageTypes::kRequest));
    request.insert(keys::kRequestNum, ++mRequestNum);
    mAwaiting.insert(mRequestNum, std::move(onAnswer));
    sendMessage(request);
}

void PhoneSession::sendVerdict(PhoneApproval::Verdict verdict) {
    if (mStage != Stage::AwaitingApproval) return;
    const QLatin1StringView name = verdict == PhoneApproval::Verdict::Deny
                                       ? notes::kConnectionDenied
                                       : notes::kConnectionAllowed;
    sendRequest(notifyRequest(name, mOptions.strict),
                [this, verdict](const QVariantMap&) { approved(verdict); });
}

void PhoneSession::approved(PhoneApproval::Verdict verdict) {
    if (verdict != PhoneApproval::Verdict::Allow) {
        if (mOptions.closeOnDeny) close(QStringLiteral("the PC was refused"));
        return;
    }
    mStage = Stage::Approved;
    if (mOptions.garbage) sendGarbage();
    runNextAction();
}

void PhoneSession::sendGarbage() {
    QByteArray foreign(static_cast<qsizetype>(wire::kPayloadMagicSize), Qt::Uninitialized);
    qToBigEndian<std::uint32_t>(kForeignMagic, foreign.data());
    foreign.append("not for you");
    log(QStringLiteral("-> garbage: a payload with an unknown magic"));
    sendPayload(foreign);
    QByteArray broken(static_cast<qsizetype>(wire::kPayloadMagicSize), Qt::Uninitialized);
    qToBigEndian<std::uint32_t>(protocol::kMessageMagic, broken.data());
    broken.append("bplist00 this is no property list");
    log(QStringLiteral("-> garbage: a message that is not a property list"));
    sendPayload(broken);
}

void PhoneSession::enqueueAction(const PhoneAction& action) {
    mActions.push_back(action);
    runNextAction();
}

void PhoneSession::runNextAction() {
    if (mActionRunning || mActions.empty() || mStage != Stage::Approved) return;
    const PhoneAction action = mActions.front();
    mActions.pop_front();
    mActionRunning = true;
    const auto done = [this] {
        mActionRunning = false;
        runNextAction();
    };
    switch (action.kind) {
    case PhoneAction::Kind::Push:
        push(action.argument, done);
        return;
    case PhoneAction::Kind::Ask: {
        QVariantMap request = action.fields;
        request.insert(keys::kRequestType, action.argument);
        const QString type = action.argument;
        sendRequest(request, [type, done](const QVariantMap& answer) {
            printLine(QStringLiteral("answer to %1: %2").arg(type, describeMessage(answer)));
            done();
        });
        return;
    }
    case PhoneAction::Kind::Notify:
        sendRequest(notifyRequest(action.argument, mOptions.strict),
                    [done](const QVariantMap&) { done(); });
        return;
    case PhoneAction::Kind::Sleep:
        QTimer::singleShot(action.ms, this, done);
        return;
    case PhoneAction::Kind::Disconnect:
        close(QStringLiteral("disconnecting as asked"));
        return;
    }
}

void PhoneSession::push(const QString& phonePath, std::function<void()> done) {
    mPushes.push_back({phonePath, std::move(done)});
    startNextPush();
}

void PhoneSession::startNextPush() {
    if (mPushing || mPushes.empty() || mStage == Stage::Closed) return;
    mPushing = true;
    const QString& phonePath = mPushes.front().phonePath;
    const auto path = mStore.resolve(phonePath);
    const PhoneItemSender::Shape shape{mPushAs.empty() ? QString() : mPushAs.front(),
                                       mOptions.restartAfterPiece, mOptions.strict};
    auto sender = path ? PhoneItemSender::create(*path, mStore, shape) : std::nullopt;
    if (!sender) {
        log(QStringLiteral("-- nothing to send at %1").arg(phonePath));
        pushEnded();
        return;
    }
    if (!mPushAs.empty()) mPushAs.pop_front();
    mPiecesPushed = 0;
    for (const QString& leftOut : sender->leftOut())
        log(QStringLiteral("-- leaving out %1: it links out of the store").arg(leftOut));
    pushNext(std::make_shared<PhoneItemSender>(std::move(*sender)));
}

void PhoneSession::pushNext(std::shared_ptr<PhoneItemSender> sender) {
    if (mStage == Stage::Closed) return;
    if (mOptions.stopAfterPieces > 0 && mPiecesPushed >= mOptions.stopAfterPieces) {
        // Given up without a word to the PC; the next push goes on.
        log(QStringLiteral("-- going silent after %1 pieces of %2, as asked")
                .arg(mPiecesPushed)
                .arg(sender->itemName()));
        pushEnded();
        return;
    }
    PhoneItemSender::Next next = sender->next();
    switch (next.kind) {
    case PhoneItemSender::Next::Kind::Request:
        if (next.request.value(keys::kRequestType).toString() == requests::kSendChunk)
            ++mPiecesPushed;
        sendRequest(std::move(next.request), [this, sender](const QVariantMap& answer) {
            if (!succeeded(answer)) {
                log(QStringLiteral("-- the PC refused a piece of %1 (ErrorCode %2); stopping")
                        .arg(sender->itemName())
                        .arg(answer.value(keys::kErrorCode).toInt()));
                pushEnded();
                return;
            }
            pushNext(sender);
        });
        return;
    case PhoneItemSender::Next::Kind::ReadFailed:
        log(QStringLiteral("-- cannot read %1: %2; the push stops")
                .arg(sender->itemName(), next.error));
        pushEnded();
        return;
    case PhoneItemSender::Next::Kind::Done:
        sendRequest(notifyRequest(notes::kTransferFinished, mOptions.strict,
                                  {{keys::kPath, sender->itemName()}}),
                    [this](const QVariantMap&) { pushEnded(); });
        return;
    }
}

void PhoneSession::pushEnded() {
    const PendingPush ended = std::move(mPushes.front());
    mPushes.pop_front();
    mPushing = false;
    ended.done();
    startNextPush();
}

void PhoneSession::close(const QString& why) {
    if (mStage == Stage::Closed) return;
    log(QStringLiteral("-- closing: %1").arg(why));
    mStage = Stage::Closed;
    mSocket->flush();
    mSocket->disconnectFromHost();
    emit finished();
    return;
}

} // namespace vantle::phone
