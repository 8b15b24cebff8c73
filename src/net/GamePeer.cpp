#include "net/GamePeer.h"

#include "net/DictionaryCodec.h"
#include "net/NetUtilities.h"
#include "net/NetworkThread.h"
#include "net/ResolvedService.h"
#include "net/WireFormat.h"
#include "platform/MainThread.h"
#include "support/ParoxLog.h"

#include <QElapsedTimer>
#include <cstdio>

namespace vantle {
namespace {

const QString kUnnamedDevice = QStringLiteral("Unnamed Device");
constexpr double kNoLatency = -1.0;
constexpr int kMillisecondsPerSecond = 1000;

quintptr idOf(const void* object) {
    return reinterpret_cast<quintptr>(object);
}

void printDiagnostic(const char* operation, const QString& message) {
    std::printf("%s: %s\n", operation, message.toLocal8Bit().constData());
    std::fflush(stdout);
}

std::optional<QString> nonEmptyString(const QVariantMap& dictionary, QLatin1StringView key) {
    const QVariant value = dictionary.value(key);
    if (value.typeId() != QMetaType::QString || value.toString().isEmpty()) return std::nullopt;
    return value.toString();
}

} // namespace

std::shared_ptr<GamePeer> GamePeer::create(const std::optional<QString>& name,
                                           const std::optional<SocketAddress>& address) {
    ParoxLog("GamePeer initWithName address: %x", address ? 1 : 0);
    if (!address) return nullptr;
    auto peer = std::make_shared<GamePeer>(PrivateTag{}, *address);
    ParoxLog("name: %@", name.value_or(QStringLiteral("(null)")));
    if (!name) return peer;
    const qsizetype colon = name->indexOf(QLatin1Char(':'));
    if (colon < 0) return nullptr;
    peer->_uniqueID = name->left(colon);
    peer->_name = name->mid(colon + 1);
    return peer;
}

std::shared_ptr<GamePeer> GamePeer::createWithService(ResolvedService& service) {
    const QString name = service.serviceName();
    std::optional<SocketAddress> address;
    if (service.resolve(kResolveTimeoutSeconds)) {
        const auto addresses = service.getAddresses();
        if (!addresses.empty()) {
            address = addresses.front();
            ParoxLog("addrData: %@", QByteArray(reinterpret_cast<const char*>(address->data()),
                                                static_cast<qsizetype>(address->size())));
        }
    }
    auto peer = create(name, address);
    if (peer) peer->_service = true;
    return peer;
}

GamePeer::GamePeer(PrivateTag, const SocketAddress& address) : _address(address) {
    ParoxLog("Setting _server == YES");
    _server = true;
}

GamePeer::~GamePeer() {
    ParoxLog("GamePeer dealloc");
    disconnect();
}

std::optional<QString> GamePeer::name() const {
    std::lock_guard lock(mIdentityLock);
    return _name;
}

std::optional<QString> GamePeer::uniqueID() const {
    std::lock_guard lock(mIdentityLock);
    return _uniqueID;
}

QVariant GamePeer::infoPlist() const {
    std::lock_guard lock(mIdentityLock);
    return _plist;
}

std::shared_ptr<GamePeerDelegate> GamePeer::delegate() const {
    std::lock_guard lock(mDelegateLock);
    return _delegate.lock();
}

void GamePeer::setDelegate(std::weak_ptr<GamePeerDelegate> delegate) {
    std::lock_guard lock(mDelegateLock);
    _delegate = std::move(delegate);
}

std::shared_ptr<TCPConnection> GamePeer::connection() const {
    std::lock_guard lock(mConnectionLock);
    return _connection;
}

bool GamePeer::isConnecting() const {
    std::lock_guard lock(mConnectionLock);
    return mState == State::Connecting;
}

bool GamePeer::isConnected() const {
    std::lock_guard lock(mConnectionLock);
    return mState == State::Connected;
}

QString GamePeer::failureDetail() const {
    std::lock_guard lock(mFailureLock);
    return mFailureDetail;
}

QString GamePeer::description() const {
    return stringWithFormat(
        "<%@ = 0x%08X | ID = %@ | address = %@ | local = %i | name = \"%@\" | connected = %i>",
        "GamePeer", idOf(this), uniqueID().value_or(QStringLiteral("(null)")),
        address().value_or(QStringLiteral("(null)")), isLocal(),
        name().value_or(QStringLiteral("(null)")), isConnected());
}

bool GamePeer::connect() {
    std::unique_lock lock(mConnectionLock);
    if (_connection) {
        ParoxLog("GamePeer connect: already have a _connection");
        return false;
    }
    if (mConnectReport != ConnectReport::None) {
        ParoxLog("GamePeer connect: the end of the last connection is still being reported");
        return false;
    }
    mFailure = Failure::None;
    // Made under the lock: its reports wait here until it is the current connection.
    auto connection = TCPConnection::create(_address, weak_from_this());
    if (!connection) {
        ParoxLog("GamePeer connect TCPConnection initWithRemoteAddress failed");
        return false;
    }
    _connection = connection;
    mState = State::Connecting;
    mOpened = false;
    lock.unlock();

    // A phone that opens the connection but never answers must not hold the PC forever.
    std::weak_ptr<GamePeer> weak = weak_from_this();
    std::weak_ptr<TCPConnection> dialled = connection;
    performAfterDelay(gClientRunloop.load(), mHandshakeTimeoutMs.load(), [weak, dialled] {
        if (auto self = weak.lock()) self->handshakeTimedOut(dialled);
    });
    return true;
}

void GamePeer::handshakeTimedOut(const std::weak_ptr<TCPConnection>& dialled) {
    const auto connection = dialled.lock();
    if (!connection) return;
    Ending ending;
    {
        std::lock_guard lock(mConnectionLock);
        if (connection != _connection || mState != State::Connecting) return;
        ending = takeConnection(mOpened ? Failure::HandshakeTimedOut : Failure::OpenTimedOut);
    }
    ParoxLog("No handshake from %@ within %d s", address().value_or(QString()),
             mHandshakeTimeoutMs.load() / kMillisecondsPerSecond);
    completeEnding(ending);
}

void GamePeer::connectionDidOpen(TCPConnection* connection) {
    ParoxLog("connectionDidOpen");
    {
        std::lock_guard lock(mConnectionLock);
        if (connection != _connection.get() || mState != State::Connecting) {
            ParoxLog("GamePeer: ignoring the open of a connection that is no longer ours");
            return;
        }
        mOpened = true;
    }
    auto owner = delegate();
    if (!owner) return;
    QVariantMap dictionary;
    const std::optional<QString> id = HostGetUniqueID();
    if (!id) {
        ParoxErrorLog("Unable to retrieve unique ID");
        endConnection(connection, Failure::ClosedDuringHandshake);
        return;
    }
    dictionary.insert(wire::kHandshakeID, *id);
    dictionary.insert(wire::kHandshakeName, owner->gamePeerWillSendName(this));
    if (const auto info = owner->gamePeerWillSendInfoPlist(this))
        dictionary.insert(wire::kHandshakeInfo, *info);
    const QByteArray payload = encodeDictionary(wire::kHandshakeMagic, dictionary);
    ParoxLog("serialized: %@ to: %@ back to %@", QVariant(dictionary), payload,
             QVariant(decodeDictionary(wire::kHandshakeMagic, payload).value_or(QVariantMap())));
    ParoxLog("going to send our info");
    if (payload.isEmpty() || !connection->sendData(payload)) {
        ParoxLog("Failed sending dictionary to connection");
        endConnection(connection, Failure::ClosedDuringHandshake);
        return;
    }
    ParoxLog("after sendData: _server == %d", _server);
}

void GamePeer::connectionDidReceiveData(TCPConnection* connection, const QByteArray& payload) {
    QString error;
    const auto dictionary = decodeDictionary(wire::kHandshakeMagic, payload, &error);
    if (!error.isEmpty())
        printDiagnostic("GamePeer::dictionaryFromData",
                        stringWithFormat("Failed de-serializing dictionary: \"%@\"", error));
    State state = State::Idle;
    {
        std::lock_guard lock(mConnectionLock);
        if (connection == _connection.get()) state = mState;
    }
    if (state == State::Idle) {
        ParoxLog("GamePeer: dropping a frame of a connection that is no longer ours");
        return;
    }
    if (!dictionary) {
        if (auto owner = delegate()) owner->gamePeerDidReceiveData(this, payload, false);
        return;
    }
    if (state == State::Connecting) {
        finishConnecting(connection, *dictionary);
        return;
    }
    if (dictionary->isEmpty()) {
        if (takeLateEcho(connection)) return;
        if (!connection->sendData(payload))
            ParoxLog("Failed sending dictionary: \"%@\"", QVariant(*dictionary));
        return;
    }
    ParoxLog("Received unexpected dictionary: \"%@\"", QVariant(*dictionary));
}

void GamePeer::finishConnecting(TCPConnection* connection, const QVariantMap& dictionary) {
    ParoxLog("_finishConnecting: %@", QVariant(dictionary));
    const auto id = nonEmptyString(dictionary, wire::kHandshakeID);
    const auto name = nonEmptyString(dictionary, wire::kHandshakeName);
    {
        std::lock_guard lock(mConnectionLock);
        // A disconnect may have taken the connection since the frame was read.
        if (connection != _connection.get() || mState != State::Connecting) {
            ParoxLog("GamePeer: the phone's identity came after its connection ended");
            return;
        }
        {
            std::lock_guard identity(mIdentityLock);
            _uniqueID = id;
            _name = name.value_or(kUnnamedDevice);
            _plist = dictionary.value(wire::kHandshakeInfo);
        }
        mState = State::Connected;
        mConnectReport = ConnectReport::InFlight;
        mConnectReporter = std::this_thread::get_id();
    }
    ParoxLog("%@ %@ %@", id.value_or(QStringLiteral("(null)")),
             name.value_or(QStringLiteral("(null)")), dictionary.value(wire::kHandshakeInfo));
    if (!id) ParoxLog("no unique ID from device");
    if (!name) ParoxLog("no name from device");
    if (auto owner = delegate()) owner->gamePeerDidConnect(this);
    bool endedMeanwhile = false;
    {
        std::lock_guard lock(mConnectionLock);
        endedMeanwhile = mConnectReport == ConnectReport::EndedMeanwhile;
        mConnectReport = ConnectReport::None;
    }
    if (endedMeanwhile) reportEnd(State::Connected);
}

void GamePeer::disconnect() {
    ParoxLog("GamePeer disconnect");
    endConnection(nullptr, Failure::ClosedDuringHandshake);
}

void GamePeer::endConnection(const TCPConnection* expected, Failure reason) {
    Ending ending;
    {
        std::lock_guard lock(mConnectionLock);
        if (mState == State::Idle) return;
        if (expected && expected != _connection.get()) return;
        ending = takeConnection(reason);
    }
    completeEnding(ending);
}

GamePeer::Ending GamePeer::takeConnection(Failure reason) {
    Ending ending;
    ending.was = std::exchange(mState, State::Idle);
    ending.connection = std::exchange(_connection, nullptr);
    if (ending.was == State::Connecting) mFailure = reason;
    if (ending.was == State::Connected && mConnectReport == ConnectReport::InFlight &&
        mConnectReporter != std::this_thread::get_id()) {
        mConnectReport = ConnectReport::EndedMeanwhile;
        ending.reportHere = false;
    }
    return ending;
}

void GamePeer::completeEnding(const Ending& ending) {
    // Nothing of this connection may reach the peer any more: it may be dialling again already.
    ending.connection->setDelegate({});
    ending.connection->invalidate();
    if (ending.was == State::Connecting) {
        std::lock_guard lock(mFailureLock);
        mFailureDetail = ending.connection->failureReason();
        mFailureErrorNumber = ending.connection->openError();
    }
    if (ending.reportHere) reportEnd(ending.was);
}

void GamePeer::reportEnd(State was) {
    auto owner = delegate();
    if (!owner) return;
    if (was == State::Connected)
        owner->gamePeerDidDisconnect(this);
    else
        owner->gamePeerDidFailConnecting(this);
}

void GamePeer::connectionDidClose(TCPConnection* connection) {
    ParoxLog("GamePeer connectionDidClose");
    endConnection(connection, Failure::ClosedDuringHandshake);
}

void GamePeer::connectionDidFailOpening(TCPConnection* connection) {
    ParoxLog("GamePeer connectionDidFailOpening:");
    endConnection(connection, Failure::CouldNotOpen);
}

bool GamePeer::sendData(const QByteArray& payload, bool /*immediate*/) {
    auto current = connection();
    return current && current->sendData(payload);
}

std::optional<QByteArray> GamePeer::receiveData(std::chrono::milliseconds timeout) {
    auto current = connection();
    if (!current) return std::nullopt;
    return current->receiveData(timeout);
}

double GamePeer::measureRoundTripLatency() {
    auto current = connection();
    if (!current) return kNoLatency;
    using Clock = TCPConnection::Clock;
    const std::chrono::milliseconds limit(mPingTimeoutMs.load());
    const Clock::time_point deadline = Clock::now() + limit;
    const QByteArray ping = encodeDictionary(wire::kHandshakeMagic, QVariantMap());
    // The echo must reach this thread, not the event path, which would take it for the phone's
    // own ping and echo it back.
    const TCPConnection::ReadClaim claim = current->claimReadSide(deadline);
    if (!claim.holds()) {
        ParoxLog("Ping to %@: another reader kept the connection for %d ms",
                 address().value_or(QString()), limit.count());
        return kNoLatency;
    }
    QElapsedTimer clock;
    clock.start();
    if (!current->sendData(ping)) return kNoLatency;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        const std::optional<QByteArray> payload =
            left.count() > 0 ? current->receiveData(left) : std::nullopt;
        if (!payload) {
            if (Clock::now() >= deadline && current->isValid()) {
                ParoxLog("No echo of a ping from %@ within %d ms", address().value_or(QString()),
                         limit.count());
                oweLateEcho(current);
            }
            return kNoLatency;
        }
        const auto dictionary = decodeDictionary(wire::kHandshakeMagic, *payload);
        if (!dictionary) {
            if (auto owner = delegate()) owner->gamePeerDidReceiveData(this, *payload, false);
            continue;
        }
        if (dictionary->isEmpty()) {
            if (takeLateEcho(current.get())) continue; // an earlier ping's, late
            return static_cast<double>(clock.nsecsElapsed()) / 1e9;
        }
        printDiagnostic(
            "GamePeer::measureRoundTripLatency",
            stringWithFormat("Received unexpected dictionary: \"%@\"", QVariant(*dictionary)));
    }
}

void GamePeer::oweLateEcho(const std::shared_ptr<TCPConnection>& connection) {
    std::lock_guard lock(mLateEchoLock);
    if (mLateEchoConnection.lock() != connection) mLateEchoes = 0;
    mLateEchoConnection = connection;
    ++mLateEchoes;
}

bool GamePeer::takeLateEcho(const TCPConnection* connection) {
    std::lock_guard lock(mLateEchoLock);
    if (mLateEchoes == 0 || mLateEchoConnection.lock().get() != connection) return false;
    --mLateEchoes;
    ParoxLog("A late ping echo from %@ taken without answering", address().value_or(QString()));
    return true;
}

} // namespace vantle
