#include "phone/PhoneSession.h"

#include "net/DictionaryCodec.h"
#include "phone/PhoneMessageLog.h"
#include "transfer/ProtocolKeys.h"

#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

namespace vantle::phone {
namespace {

// A payload magic that belongs to nobody, for --garbage.
constexpr std::uint32_t kForeignMagic = 0x0BADF00D;

QVariantMap notifyRequest(QLatin1StringView name, const QVariantMap& userInfo = {}) {
    return {{keys::kRequestType, QString(requests::kNotify)},
            {keys::kNotification, QString(name)},
            {keys::kUserInfo, userInfo}};
}

} // namespace

PhoneSession::PhoneSession(QTcpSocket* socket, PhoneStore& store, const PhoneOptions& options,
                           std::vector<PhoneAction> script, QObject* parent)
    : QObject(parent), mSocket(socket), mStore(store), mOptions(options),
      mLateArmed(options.lateResponse), mActions(script.begin(), script.end()) {
    mSocket->setParent(this);
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
}

void PhoneSession::log(const QString& line) const {
    if (!mOptions.quiet) printLine(line);
}

void PhoneSession::readIncoming() {
    while (mStage != Stage::Closed) {
        const std::span<char> room = mReader.buffer();
        const qint64 count = mSocket->read(room.data(), static_cast<qint64>(room.size()));
        if (count <= 0) return;
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
        const QVariantMap ours{
            {wire::kHandshakeID, mOptions.id},
            {wire::kHandshakeName, mOptions.name},
            {wire::kHandshakeInfo,
             QVariantMap{{QStringLiteral("Model"), QStringLiteral("vantle-phone")},
                         {QStringLiteral("StoreFolder"), mStore.root()}}}};
        sendPayload(encodeDictionary(wire::kHandshakeMagic, ours));
        log(QStringLiteral("-> handshake %1").arg(describeValue(ours)));
        mStage = Stage::AwaitingApproval;
        const QLatin1StringView verdict =
            mOptions.deny ? notes::kConnectionDenied : notes::kConnectionAllowed;
        sendRequest(notifyRequest(verdict),
                    [this](const QVariantMap&) { approved(!mOptions.deny); });
        return;
    }
    if (dictionary.isEmpty()) {
        log(QStringLiteral("<- ping, echoed"));
        sendPayload(payload);
        return;
    }
    log(QStringLiteral("<- unexpected handshake dictionary %1").arg(describeValue(dictionary)));
}

void PhoneSession::handleMessage(const QVariantMap& message) {
    log(QStringLiteral("<- ") + describeMessage(message));
    const QString type = message.value(keys::kMessageType).toString();
    if (type == messageTypes::kRequest) {
        if (!message.contains(keys::kRequestNum)) {
            log(QStringLiteral("-- a request without \"RequestNum\" gets no answer"));
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
    if (isPiece && mOptions.failChunk.contains(mPiecesReceived)) {
        outcome.response = {{keys::kSuccess, false},
                            {keys::kErrorCode, mOptions.failChunk.value(mPiecesReceived)}};
    } else {
        outcome = mStore.handle(request);
    }
    QVariantMap response = outcome.response;
    response.insert(keys::kMessageType, QString(messageTypes::kResponse));
    response.insert(keys::kResponseNum, request.value(keys::kRequestNum));

    if (mLateAnswer) {
        log(QStringLiteral("-- sending an earlier answer again, late"));
        sendMessage(*std::exchange(mLateAnswer, std::nullopt));
    } else if (mLateArmed) {
        mLateArmed = false;
        mLateAnswer = response;
    }
    sendMessage(response);

    if (isPiece && mOptions.dropAfterChunks > 0 && mPiecesReceived >= mOptions.dropAfterChunks) {
        close(QStringLiteral("dropping the connection after %1 pieces").arg(mPiecesReceived));
        return;
    }
    if (outcome.listingChanged)
        sendRequest(notifyRequest(notes::kServerListingChanged), [](const QVariantMap&) {});
    if (outcome.sendItem) push(*outcome.sendItem, [] {});
}

void PhoneSession::sendPayload(const QByteArray& payload) {
    if (mStage == Stage::Closed) return;
    const auto header = frameHeader(static_cast<std::uint32_t>(payload.size()));
    mSocket->write(header.data(), static_cast<qint64>(header.size()));
    mSocket->write(payload);
}

void PhoneSession::sendMessage(const QVariantMap& message) {
    log(QStringLiteral("-> ") + describeMessage(message));
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

void PhoneSession::approved(bool allowed) {
    if (!allowed) return;
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
        sendRequest({{keys::kRequestType, QString(requests::kNotify)},
                     {keys::kNotification, action.argument},
                     {keys::kUserInfo, QVariantMap()}},
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
    const auto path = mStore.resolve(phonePath);
    auto sender = path ? PhoneItemSender::create(*path) : std::nullopt;
    if (!sender) {
        log(QStringLiteral("-- nothing to send at %1").arg(phonePath));
        done();
        return;
    }
    pushNext(std::make_shared<PhoneItemSender>(std::move(*sender)), std::move(done));
}

void PhoneSession::pushNext(std::shared_ptr<PhoneItemSender> sender, std::function<void()> done) {
    if (mStage == Stage::Closed) return;
    if (auto request = sender->next()) {
        sendRequest(*request, [this, sender, done](const QVariantMap& answer) {
            if (!answer.value(keys::kSuccess).toBool()) {
                log(QStringLiteral("-- the PC refused a piece of %1 (ErrorCode %2); stopping")
                        .arg(sender->itemName())
                        .arg(answer.value(keys::kErrorCode).toInt()));
                done();
                return;
            }
            pushNext(sender, done);
        });
        return;
    }
    sendRequest(notifyRequest(notes::kTransferFinished, {{keys::kPath, sender->itemName()}}),
                [done](const QVariantMap&) { done(); });
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
