#include "TransferTestSupport.h"

#include "net/DictionaryCodec.h"
#include "net/WireFormat.h"
#include "platform/MainThread.h"
#include "transfer/ProtocolKeys.h"

#include <QTest>

namespace vantle::test {

void RecordingHost::noteThread() {
    if (!isMainThread()) calledOffMainThread = true;
}

void RecordingHost::setStatusToConnectionStatus() {
    noteThread();
    std::lock_guard lock(mLock);
    ++mStatusChanges;
}

void RecordingHost::startedDiscovery() {
    noteThread();
    std::lock_guard lock(mLock);
    ++mDiscoveryStarts;
    mLastDiscoveryStart = std::chrono::steady_clock::now();
}

void RecordingHost::showAlert(const QString& title, const QString& message) {
    noteThread();
    std::lock_guard lock(mLock);
    mAlerts.push_back({title, message});
}

void RecordingHost::logAlert(const QString& title, const QString& message) {
    noteThread();
    std::lock_guard lock(mLock);
    mLoggedAlerts.push_back({title, message});
}

bool RecordingHost::isIgnored(const QString& address) const {
    std::lock_guard lock(mLock);
    return mIgnored.contains(address);
}

int RecordingHost::statusChanges() const {
    std::lock_guard lock(mLock);
    return mStatusChanges;
}

int RecordingHost::discoveryStarts() const {
    std::lock_guard lock(mLock);
    return mDiscoveryStarts;
}

std::chrono::steady_clock::time_point RecordingHost::lastDiscoveryStart() const {
    std::lock_guard lock(mLock);
    return mLastDiscoveryStart;
}

std::vector<RecordingHost::Alert> RecordingHost::alerts() const {
    std::lock_guard lock(mLock);
    return mAlerts;
}

std::vector<RecordingHost::Alert> RecordingHost::loggedAlerts() const {
    std::lock_guard lock(mLock);
    return mLoggedAlerts;
}

void RecordingHost::ignore(const QString& address) {
    std::lock_guard lock(mLock);
    mIgnored.insert(address);
}

TransferTimeouts shortenedTimeouts(std::chrono::milliseconds turn,
                                   std::chrono::milliseconds mainThreadResponse,
                                   std::chrono::milliseconds workerResponse) {
    TransferTimeouts timeouts;
    timeouts.turn = turn;
    timeouts.mainThreadResponse = mainThreadResponse;
    timeouts.workerResponse = workerResponse;
    timeouts.restartAutoConnect = 100ms;
    return timeouts;
}

ControllerRig::ControllerRig(const TransferTimeouts& timeouts, bool autoConnect)
    : slot(timeouts), controller(host, slot, timeouts) {
    host.autoConnect = autoConnect;
    controller.startClient();
}

ControllerRig::~ControllerRig() {
    if (auto peer = controller.peer()) peer->disconnect();
}

QString ScriptedPhone::typedAddress() const {
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

bool ScriptedPhone::acceptAndHandshake() {
    if (!mServer.accept()) return false;
    const auto theirs = mServer.receiveFrame();
    if (!theirs || !decodeDictionary(wire::kHandshakeMagic, *theirs)) return false;
    return mServer.send(frame(handshakePayload({{wire::kHandshakeID, QStringLiteral("PHONE-1")},
                                                {wire::kHandshakeName, QStringLiteral("Phone")}})));
}

std::optional<QVariantMap> ScriptedPhone::receiveMessage() {
    const auto payload = mServer.receiveFrame();
    if (!payload) return std::nullopt;
    return decodeDictionary(protocol::kMessageMagic, *payload);
}

bool ScriptedPhone::sendPayload(const QByteArray& payload) {
    return mServer.send(frame(payload));
}

bool ScriptedPhone::sendMessage(const QVariantMap& message) {
    return sendPayload(encodeDictionary(protocol::kMessageMagic, message));
}

bool ScriptedPhone::answer(const QVariantMap& request, QVariantMap body) {
    body.insert(keys::kMessageType, QString(messageTypes::kResponse));
    body.insert(keys::kResponseNum, request.value(keys::kRequestNum));
    return sendMessage(body);
}

bool connectTo(ControllerRig& rig, ScriptedPhone& phone) {
    if (rig.controller.addServer(phone.typedAddress()) != AddServerResult::Connecting) return false;
    if (!phone.acceptAndHandshake()) return false;
    return QTest::qWaitFor([&] { return rig.controller.peer() && rig.controller.connected(); },
                           kWaitMs);
}

qint64 requestNumber(const QVariantMap& message) {
    return message.value(keys::kRequestNum, -1).toLongLong();
}

WorkerCall::WorkerCall(std::function<std::optional<QVariantMap>()> call) {
    mThread = std::thread([this, call = std::move(call)] {
        const auto start = std::chrono::steady_clock::now();
        result = call();
        elapsed = std::chrono::steady_clock::now() - start;
        done = true;
    });
}

WorkerCall::~WorkerCall() {
    if (mThread.joinable()) mThread.join();
}

bool WorkerCall::finish(int timeoutMs) {
    const bool ended = QTest::qWaitFor([this] { return done.load(); }, timeoutMs);
    if (ended) mThread.join();
    return ended;
}

long long milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
}

} // namespace vantle::test
