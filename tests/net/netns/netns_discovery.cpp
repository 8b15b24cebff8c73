// Discovery over the real DNS-SD library and daemon. Runs only inside the private network
// namespace that run-in-netns.sh makes, where avahi-daemon sees nothing but loopback.
#include "NetnsSuite.h"
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "net/NSNetServicesWinDNS.h"
#include "net/NetServiceBrowser.h"
#include "net/NetServiceBrowserDelegate.h"
#include "net/NetworkThread.h"
#include "support/ParoxLogger.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

using namespace vantle;
using namespace vantle::dnssd;

namespace {

constexpr int kWaitMs = 15000;
constexpr int kStopWaitMs = 5000;
constexpr int kPortTries = 8;
const QString kPhoneID = QStringLiteral("NS-PHONE-01");
const QString kPhoneName = QStringLiteral("Namespace Phone");

std::uint16_t freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

struct BrowserRecorder : NetServiceBrowserDelegate {
    std::vector<NSNetServicesWinDNS> added;
    std::uint32_t implementedCallbacks() const override { return kBrowserDidAddService; }
    void browserDidAddService(NetServiceBrowser*, const NSNetServicesWinDNS& s) override {
        added.push_back(s);
    }
};

// Connects to the first phone listed, as the desktop program's session does, and notes when the
// handshake is done.
struct AutoConnect : GameClientDelegate {
    std::shared_ptr<GamePeer> chosen;
    QElapsedTimer sinceStart;
    std::atomic<qint64> connectedAfterMs{-1};
    std::uint32_t implementedCallbacks() const override {
        return kDidUpdateOnlineServers | kDidConnectToServer;
    }
    void gameClientDidUpdateOnlineServers(GameClient* client) override {
        if (chosen) return;
        for (const auto& peer :
             client->onlineServers().value_or(std::vector<GameClient::PeerPtr>{}))
            if (peer->uniqueID() == kPhoneID && client->connectToServer(peer)) {
                chosen = peer;
                return;
            }
    }
    void gameClientDidConnectToServer(GameClient*, const std::shared_ptr<GamePeer>&) override {
        connectedAfterMs = sinceStart.elapsed();
    }
};

} // namespace

class NetnsDiscoveryTest : public QObject {
    Q_OBJECT
    std::vector<std::unique_ptr<QProcess>> processes;

    QProcess*
    start(const QString& tool, const QStringList& arguments,
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QStringLiteral(VANTLE_BIN_DIR "/") + tool, arguments);
        if (!process->waitForStarted()) return nullptr;
        processes.push_back(std::move(process));
        return processes.back().get();
    }
    QProcess* startAdvertisingPhone(
        std::uint16_t port,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
        const QString& id = kPhoneID, const QString& name = kPhoneName) {
        return start(u"vantle-phone"_s,
                     {u"--advertise"_s, u"--port"_s, QString::number(port), u"--id"_s, id,
                      u"--name"_s, name},
                     environment);
    }
    static bool waitForOutput(QProcess* process, const QByteArray& text, QByteArray* seen) {
        QElapsedTimer clock;
        clock.start();
        while (!seen->contains(text) && clock.elapsed() < kWaitMs) {
            process->waitForReadyRead(100);
            seen->append(process->readAll());
            if (process->state() != QProcess::Running) {
                seen->append(process->readAll());
                break;
            }
        }
        return seen->contains(text);
    }

private slots:
    void initTestCase() {
        if (!test::inPrivateNamespace()) QSKIP(test::kNeedsNamespace);
        QVERIFY2(test::loadRealDnsSd(), qPrintable(dnsSdLoadError()));
        QVERIFY(startNetworkThread());
        // Each step of browsing, resolving and the handshake, time-stamped, when asked for.
        if (!qEnvironmentVariableIsEmpty("VANTLE_TEST_VERBOSE"))
            ParoxLogger::createDefaultLogger(false, true);
    }

    void cleanup() {
        // Everything started here is stopped by its own process id.
        for (auto& process : processes) {
            if (process->state() == QProcess::NotRunning) continue;
            process->terminate();
            if (!process->waitForFinished(kStopWaitMs)) {
                process->kill();
                process->waitForFinished(kStopWaitMs);
            }
        }
        processes.clear();
    }

    void browserFindsARealRegistration() {
        const auto registerFn =
            reinterpret_cast<DNSServiceRegisterFn>(dnsSdFunction("DNSServiceRegister"));
        QVERIFY(registerFn);
        DNSServiceRef registration = nullptr;
        QCOMPARE(registerFn(&registration, 0, 0, "ABC:Test Phone", "_GAME-3025F862._tcp", nullptr,
                            nullptr, qToBigEndian<std::uint16_t>(34999), 0, nullptr, nullptr,
                            nullptr),
                 kDNSServiceErr_NoError);
        BrowserRecorder recorder;
        auto browser = NetServiceBrowser::createTCPBrowser(std::nullopt, u"GAME-3025F862"_s);
        browser->setDelegate(&recorder);
        QVERIFY(browser->startUsingRunLoop(QThread::currentThread()));
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.added.empty(), kWaitMs);
        const NSNetServicesWinDNS& found = recorder.added.front();
        QCOMPARE(found.serviceName(), u"ABC:Test Phone"_s);
        QVERIFY(found.fullName().contains(u"\\058"_s));
        QCOMPARE(socketAddressIPv4(found.addressData()), 0x7F000001u);
        QCOMPARE(socketAddressPort(found.addressData()), std::uint16_t(34999));
        browser.reset();
        mDNSServiceRefDeallocateFn(registration);
    }

    void advertisedPhoneIsFoundAndConnected() {
        const std::uint16_t port = freePort();
        QProcess* phone = startAdvertisingPhone(port);
        QVERIFY(phone);
        QByteArray output;
        QVERIFY2(waitForOutput(phone, "advertised", &output), output.constData());

        AutoConnect session;
        auto client = GameClient::create();
        client->setDelegate(&session);
        session.sinceStart.start();
        QVERIFY(
            client->startDiscoveringServersWithIdentifier(QLatin1String(kVantleServiceIdentifier)));
        QTRY_VERIFY_WITH_TIMEOUT(session.connectedAfterMs.load() >= 0, kWaitMs);
        const long long ms = session.connectedAfterMs.load();
        std::printf("discovery of an advertised vantle-phone to a completed handshake: %lld ms\n"
                    "RESULT discovery_to_handshake_ms=%lld\n",
                    ms, ms);
        std::fflush(stdout);
        QCOMPARE(session.chosen->name().value_or(u""_s), kPhoneName);
        QCOMPARE(session.chosen->address().value_or(QString()),
                 QStringLiteral("127.0.0.1:%1").arg(port));
        QVERIFY(client->haveAConnectedServer());

        // A phone that goes away leaves the listing: Avahi cannot resolve it any more, so the
        // removal must travel with the address it was found at.
        phone->terminate();
        QVERIFY(phone->waitForFinished(kWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(client->onlineServers().value().empty(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!client->haveAConnectedServer(), kWaitMs);
        client->setDelegate(nullptr);
    }

    void cliDiscoverListsEveryPhone() {
        // Two phones that appear together must both be listed.
        const std::uint16_t port = freePort();
        std::uint16_t secondPort = freePort();
        for (int i = 0; i < kPortTries && secondPort == port; ++i)
            secondPort = freePort();
        QProcess* phone = startAdvertisingPhone(port);
        QProcess* second =
            startAdvertisingPhone(secondPort, QProcessEnvironment::systemEnvironment(),
                                  u"NS-PHONE-02"_s, u"Second Phone"_s);
        QVERIFY(phone && second);
        QByteArray phoneOutput, secondOutput;
        QVERIFY2(waitForOutput(phone, "advertised", &phoneOutput), phoneOutput.constData());
        QVERIFY2(waitForOutput(second, "advertised", &secondOutput), secondOutput.constData());
        QProcess* cli = start(u"vantle-cli"_s, {u"discover"_s, u"--seconds"_s, u"3"_s});
        QVERIFY(cli);
        QVERIFY(cli->waitForFinished(kWaitMs));
        const QByteArray listing = cli->readAll();
        QCOMPARE(cli->exitCode(), 0);
        const QString line = QStringLiteral("+ %1  %2  127.0.0.1:%3");
        QVERIFY2(listing.contains(line.arg(kPhoneID, kPhoneName).arg(port).toUtf8()),
                 listing.constData());
        QVERIFY2(listing.contains(
                     line.arg(u"NS-PHONE-02"_s, u"Second Phone"_s).arg(secondPort).toUtf8()),
                 listing.constData());
    }

    void withoutTheDaemonBothSaySo() {
        QProcessEnvironment noBus = QProcessEnvironment::systemEnvironment();
        noBus.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, u"unix:path=/nonexistent/vantle-no-bus"_s);
        QProcess* cli = start(u"vantle-cli"_s, {u"discover"_s, u"--seconds"_s, u"1"_s}, noBus);
        QVERIFY(cli);
        QVERIFY(cli->waitForFinished(kWaitMs));
        QCOMPARE(cli->exitCode(), 1);
        QVERIFY(cli->readAll().contains("DNS-SD daemon not reachable: is avahi-daemon running?"));

        const std::uint16_t port = freePort();
        QProcess* phone = startAdvertisingPhone(port, noBus);
        QVERIFY(phone);
        QByteArray output;
        QVERIFY2(waitForOutput(phone, "DNS-SD daemon not reachable", &output), output.constData());
        // It goes on without advertising: the phone still answers by address.
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(probe.waitForConnected(kWaitMs));
        QCOMPARE(phone->state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(NetnsDiscoveryTest)
#include "netns_discovery.moc"
