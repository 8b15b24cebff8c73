#include "NetTestSupport.h"
#include "net/DictionaryCodec.h"
#include "net/GamePeer.h"
#include "net/NetworkThread.h"
#include "net/ResolvedService.h"
#include "net/WireFormat.h"
#include "transfer/ProtocolKeys.h"

#include <QtTest>
#include <cerrno>

using namespace vantle;
using namespace vantle::test;

namespace {

// A peer dialling `address`, recorded.
struct Dialled {
    std::shared_ptr<PeerRecorder> recorder = std::make_shared<PeerRecorder>();
    std::shared_ptr<GamePeer> peer;

    explicit Dialled(const SocketAddress& address, int handshakeTimeoutMs = kWaitMs * 2) {
        peer = GamePeer::create(QStringLiteral("Manual:Connection"), address);
        peer->setDelegate(recorder);
        peer->setHandshakeTimeout(handshakeTimeoutMs);
    }
};

// The PC's handshake as the phone end sees it.
std::optional<QVariantMap> receiveHandshake(RawServer& server) {
    const auto payload = server.receiveFrame();
    if (!payload) return std::nullopt;
    return decodeDictionary(wire::kHandshakeMagic, *payload);
}

class FixedService : public ResolvedService {
public:
    FixedService(QString name, std::vector<SocketAddress> addresses, bool resolves)
        : mName(std::move(name)), mAddresses(std::move(addresses)), mResolves(resolves) {}
    QString serviceName() const override { return mName; }
    bool resolve(double) override { return mResolves; }
    std::vector<SocketAddress> getAddresses() const override { return mAddresses; }

private:
    QString mName;
    std::vector<SocketAddress> mAddresses;
    bool mResolves;
};

} // namespace

class GamePeerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startNetworkThread()); }

    void makingPeersFromNamesAndServices() {
        const SocketAddress address = makeSocketAddress(0x7F000001, 34345);
        auto twoColons = GamePeer::create(QStringLiteral("ABC:My:Phone"), address);
        QCOMPARE(*twoColons->uniqueID(), QStringLiteral("ABC"));
        QCOMPARE(*twoColons->name(), QStringLiteral("My:Phone"));
        QVERIFY(twoColons->isServer());
        QCOMPARE(*twoColons->address(), QStringLiteral("127.0.0.1:34345"));
        QVERIFY(!GamePeer::create(QStringLiteral("no colon"), address));
        QVERIFY(!GamePeer::create(QStringLiteral("A:B"), std::nullopt));
        auto unnamed = GamePeer::create(std::nullopt, address);
        QVERIFY(unnamed && !unnamed->uniqueID() && !unnamed->name());

        FixedService resolved(QStringLiteral("ID1:Kitchen"), {address}, true);
        auto fromService = GamePeer::createWithService(resolved);
        QVERIFY(fromService && fromService->isService());
        QCOMPARE(*fromService->name(), QStringLiteral("Kitchen"));
        FixedService unresolved(QStringLiteral("ID1:Kitchen"), {address}, false);
        QVERIFY(!GamePeer::createWithService(unresolved));
    }

    void connectsToTheSimulatedPhoneAndPings() {
        PhoneProcess phone({QStringLiteral("--name"), QStringLiteral("Test Phone"),
                            QStringLiteral("--id"), QStringLiteral("AA-BB")});
        QVERIFY(phone.started());
        Dialled d(phone.address());
        QVERIFY(d.peer->connect());
        QVERIFY(d.peer->isConnecting());
        QVERIFY(waitUntil([&] { return d.recorder->connected == 1; }));
        QCOMPARE(*d.peer->name(), QStringLiteral("Test Phone"));
        QCOMPARE(*d.peer->uniqueID(), QStringLiteral("AA-BB"));
        QVERIFY(d.peer->infoPlist().toMap().contains(QStringLiteral("Model")));
        QVERIFY(d.peer->measureRoundTripLatency() >= 0.0);

        // The approval arrives as an application message, handed up unchanged.
        QVERIFY(waitUntil([&] { return d.recorder->received >= 1; }));
        const auto message =
            decodeDictionary(protocol::kMessageMagic, d.recorder->payloads().front());
        QVERIFY(message);
        QCOMPARE(message->value(keys::kNotification).toString(),
                 QString(notes::kConnectionAllowed));
        QCOMPARE(message->value(keys::kRequestNum).toInt(), 1);
        QVERIFY(!d.recorder->sawImmediate);

        d.peer->disconnect();
        QCOMPARE(d.recorder->disconnected.load(), 1);
        QCOMPARE(d.recorder->failed.load(), 0);
        QVERIFY(!d.peer->isConnected() && !d.peer->isConnecting());
    }

    void handshakeCarriesIdAndNameOnlyAndAcceptsANamelessPhone() {
        RawServer server;
        Dialled d(server.address());
        QVERIFY(d.peer->connect());
        QVERIFY(server.accept());
        const auto ours = receiveHandshake(server);
        QVERIFY(ours);
        QCOMPARE(ours->keys(), (QStringList{QStringLiteral("id"), QStringLiteral("name")}));
        QCOMPARE(ours->value(QStringLiteral("name")).toString(), QStringLiteral("Test PC"));
        QVERIFY(!ours->value(QStringLiteral("id")).toString().isEmpty());

        QVERIFY(
            server.send(frame(handshakePayload({{QStringLiteral("id"), QStringLiteral("X1")}}))));
        QVERIFY(waitUntil([&] { return d.recorder->connected == 1; }));
        QCOMPARE(*d.peer->name(), QStringLiteral("Unnamed Device"));
        QCOMPARE(*d.peer->uniqueID(), QStringLiteral("X1"));
    }

    void infoIsSentWhenTheDelegateSuppliesIt() {
        RawServer server;
        Dialled d(server.address());
        d.recorder->info = QVariantMap{{QStringLiteral("os"), QStringLiteral("linux")}};
        QVERIFY(d.peer->connect());
        QVERIFY(server.accept());
        const auto ours = receiveHandshake(server);
        QVERIFY(ours);
        QCOMPARE(ours->value(QStringLiteral("info")).toMap().value(QStringLiteral("os")).toString(),
                 QStringLiteral("linux"));
    }

    void pingsAreEchoedAndOtherPayloadsGoUp() {
        RawServer server;
        Dialled d(server.address());
        QVERIFY(d.peer->connect());
        QVERIFY(server.accept());
        QVERIFY(receiveHandshake(server));
        const QByteArray foreign = QByteArray::fromHex("0102030405");
        QVERIFY(server.send(frame(foreign))); // before the handshake: still application data
        QVERIFY(server.send(frame(handshakePayload({}))));
        QVERIFY(waitUntil([&] { return d.recorder->connected == 1; }));

        const QByteArray ping = handshakePayload({});
        QVERIFY(server.send(frame(ping)));
        QCOMPARE(server.receiveFrame().value_or(QByteArray()), ping);
        QVERIFY(server.send(frame(handshakePayload({{QStringLiteral("odd"), 1}})))); // dropped
        QVERIFY(server.send(frame(QByteArray("1234")))); // 4 bytes: application data
        QVERIFY(waitUntil([&] { return d.recorder->received == 2; }));
        QCOMPARE(d.recorder->payloads(), (std::vector<QByteArray>{foreign, QByteArray("1234")}));
        QVERIFY(d.peer->isConnected());
    }

    void silentPhoneTimesOutAsAFailedConnection() {
        RawServer server;
        constexpr int kShortLimitMs = 300;
        Dialled d(server.address(), kShortLimitMs);
        QVERIFY(d.peer->connect());
        QVERIFY(server.accept());
        QVERIFY(waitUntil([&] { return d.recorder->failed == 1; }));
        QCOMPARE(d.peer->failure(), GamePeer::Failure::HandshakeTimedOut);
        QCOMPARE(d.recorder->connected.load(), 0);
        QVERIFY(server.sawClose());
        QVERIFY(!d.peer->isConnecting());
        // The peer can dial again.
        QVERIFY(d.peer->connect());
    }

    void dialThatNeverOpensIsToldFromASilentPhone() {
        // A full accept queue drops the dial's first packet: the socket stays opening.
        RawServer server(0);
        QueueFiller filler(server);
        QVERIFY(filler.queued());
        constexpr int kShortLimitMs = 300;
        Dialled d(server.address(), kShortLimitMs);
        QVERIFY(d.peer->connect());
        QVERIFY(waitUntil([&] { return d.recorder->failed == 1; }));
        QCOMPARE(d.peer->failure(), GamePeer::Failure::OpenTimedOut);
        QCOMPARE(d.peer->failureErrorNumber(), 0);
    }

    void refusedAndBrokenConnectionsFailConnecting() {
        quint16 port = 0;
        {
            RawServer gone;
            port = gone.port();
        }
        Dialled refused(makeSocketAddress(0x7F000001, port));
        QVERIFY(refused.peer->connect());
        QVERIFY(waitUntil([&] { return refused.recorder->failed == 1; }));
        QCOMPARE(refused.peer->failure(), GamePeer::Failure::CouldNotOpen);
        QVERIFY(
            refused.peer->failureDetail().contains(QStringLiteral("refused"), Qt::CaseInsensitive));
        QCOMPARE(refused.peer->failureErrorNumber(), ECONNREFUSED);

        RawServer notAPhone;
        Dialled d(notAPhone.address());
        QVERIFY(d.peer->connect());
        QVERIFY(notAPhone.accept());
        QVERIFY(notAPhone.send("HTTP/1.1 400 Bad Request\r\n\r\n"));
        QVERIFY(waitUntil([&] { return d.recorder->failed == 1; }));
        QCOMPARE(d.peer->failure(), GamePeer::Failure::ClosedDuringHandshake);
        QCOMPARE(d.recorder->disconnected.load(), 0);
    }

    void disconnectCallbacksMatchTheState() {
        RawServer server;
        Dialled d(server.address());
        d.peer->disconnect(); // idle: nothing
        QCOMPARE(d.recorder->failed + d.recorder->disconnected, 0);

        QVERIFY(d.peer->connect());
        QVERIFY(!d.peer->connect()); // already has a connection
        QVERIFY(server.accept());
        QVERIFY(receiveHandshake(server));
        d.peer->disconnect(); // connecting
        QCOMPARE(d.recorder->failed.load(), 1);
        QCOMPARE(d.recorder->disconnected.load(), 0);

        RawServer second;
        Dialled c(second.address());
        QVERIFY(c.peer->connect());
        QVERIFY(second.accept());
        QVERIFY(receiveHandshake(second));
        QVERIFY(
            second.send(frame(handshakePayload({{QStringLiteral("name"), QStringLiteral("P")}}))));
        QVERIFY(waitUntil([&] { return c.recorder->connected == 1; }));
        second.closeClient(); // the phone leaves
        QVERIFY(waitUntil([&] { return c.recorder->disconnected == 1; }));
        QVERIFY(settleNetworkThread());
        QCOMPARE(c.recorder->disconnected.load(), 1);
        QCOMPARE(c.recorder->failed.load(), 0);
    }

    void reportsOfAnotherConnectionLeaveTheCurrentOneAlone() {
        // `ended` stands for a connection of an earlier attempt whose reports come late.
        RawServer server, elsewhere;
        const auto ended = TCPConnection::create(elsewhere.address());
        QVERIFY(ended);
        Dialled d(server.address());
        QVERIFY(d.peer->connect());
        QVERIFY(server.accept());
        QVERIFY(receiveHandshake(server));
        d.peer->connectionDidReceiveData(
            ended.get(), handshakePayload({{QStringLiteral("name"), QStringLiteral("Impostor")}}));
        d.peer->connectionDidOpen(ended.get());
        d.peer->connectionDidFailOpening(ended.get());
        d.peer->connectionDidClose(ended.get());
        QVERIFY(d.peer->isConnecting());
        QCOMPARE(d.recorder->connected.load(), 0);
        QCOMPARE(d.recorder->failed.load(), 0);

        QVERIFY(
            server.send(frame(handshakePayload({{QStringLiteral("name"), QStringLiteral("P")}}))));
        QVERIFY(waitUntil([&] { return d.recorder->connected == 1; }));
        d.peer->connectionDidClose(ended.get());
        QVERIFY(d.peer->isConnected());
        QCOMPARE(*d.peer->name(), QStringLiteral("P"));
        QCOMPARE(d.recorder->disconnected.load(), 0);
        QCOMPARE(d.recorder->failed.load(), 0);
    }

    void deniedPhoneSaysSoAfterTheHandshake() {
        PhoneProcess phone({QStringLiteral("--deny"), QStringLiteral("--quiet")});
        QVERIFY(phone.started());
        Dialled d(phone.address());
        QVERIFY(d.peer->connect());
        QVERIFY(waitUntil([&] { return d.recorder->received >= 1; }));
        const auto message =
            decodeDictionary(protocol::kMessageMagic, d.recorder->payloads().front());
        QVERIFY(message);
        QCOMPARE(message->value(keys::kNotification).toString(), QString(notes::kConnectionDenied));
        QCOMPARE(message->value(keys::kMessageType).toString(), QString(messageTypes::kRequest));
    }
};

QTEST_GUILESS_MAIN(GamePeerTest)
#include "tst_gamepeer.moc"
