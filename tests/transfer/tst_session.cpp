#include "TransferTestSupport.h"
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "net/NetworkThread.h"
#include "net/ScriptedDnsSdControl.h"
#include "net/SocketAddress.h"

#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <netinet/in.h>

using namespace vantle;
using namespace vantle::test;
using namespace vantle::dnssd;
using Clock = std::chrono::steady_clock;

namespace {

TransferTimeouts sessionTimeouts() {
    TransferTimeouts t;
    t.restartAutoConnect = 200ms;
    return t;
}

QString loopback(std::uint16_t port) {
    return socketAddressText(makeSocketAddress(INADDR_LOOPBACK, port)).value_or(QString());
}

std::uint16_t closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

const QString kUnableToConnectMessage = QStringLiteral(
    "Unable to connect to the specified address.  Ensure that your iPhone is turned on and the "
    "Vantle iPhone application is open.");
// On Linux the advice names the daemon that is not running.
const QString kUnableToSearchMessage = QStringLiteral(
    "The DNS-SD daemon (avahi-daemon) is not running, so Vantle cannot search for iPhones.  "
    "Start it with \"sudo systemctl start avahi-daemon\", or use \"Manual Connect...\" with the "
    "iPhone's address.");

} // namespace

class SessionTest : public QObject {
    Q_OBJECT
    ScriptedDnsSdControl dnssd;
    QByteArray serviceType;

    // Lets discovery find `instance` at 127.0.0.1:`port`; waits until the client lists it when
    // asked to (a phone chosen at once ends the list with the search).
    void announce(ControllerRig& rig, const char* instance, std::uint16_t port, bool waitListed) {
        const auto client = rig.controller.client();
        const auto listed = [&] {
            for (const auto& peer :
                 client->onlineServers().value_or(std::vector<GameClient::PeerPtr>{}))
                if (peer->socketAddress() == makeSocketAddress(INADDR_LOOPBACK, port)) return true;
            return false;
        };
        dnssd.resolveReply(instance, 0, instance, "127.0.0.1", port);
        QVERIFY(dnssd.browseEvent(kDNSServiceFlagsAdd, 1, instance, serviceType.constData(),
                                  "local.", 0));
        if (waitListed) QTRY_VERIFY_WITH_TIMEOUT(listed(), kWaitMs);
    }

private slots:
    void initTestCase() {
        QVERIFY(startWithScriptedDnsSd(dnssd));
        serviceType =
            serviceTypeForGameIdentifier(QLatin1String(kVantleServiceIdentifier)).value().toUtf8();
    }
    void init() { dnssd.reset(); }

    void autoConnectTakesTheFirstPhoneNotIgnored() {
        PhoneProcess phone;
        QVERIFY(phone.started());
        RawServer decoy; // would hold a connection in its handshake for seconds
        ControllerRig rig(sessionTimeouts(), true);
        QCOMPARE(rig.host.discoveryStarts(), 1);
        QVERIFY(rig.controller.client()->isDiscoveringServers());
        rig.host.ignore(loopback(decoy.port()));

        announce(rig, "DECOY:Ignored phone", decoy.port(), true);
        QVERIFY(!rig.controller.connectedOrConnecting());
        announce(rig, "PHONE:Simulated", phone.port(), false);
        QTRY_VERIFY_WITH_TIMEOUT(rig.controller.peer() && rig.controller.connected(), kWaitMs);
        QCOMPARE(rig.controller.peer()->address().value_or(QString()), loopback(phone.port()));
        QVERIFY(!rig.controller.client()->isDiscoveringServers());
        QVERIFY(rig.controller.client()->connectingServers().empty());
        QCOMPARE(rig.controller.client()->connectedServers().size(), std::size_t(1));
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.statusChanges() >= 1, kWaitMs);
        QVERIFY(rig.host.alerts().empty());
    }

    void typedAddresses() {
        ControllerRig rig(sessionTimeouts());
        QCOMPARE(rig.controller.addServer(QStringLiteral("127.0.0.1:99999")),
                 AddServerResult::InvalidAddress);
        QCOMPARE(rig.controller.addServer(QStringLiteral("127.0.0.1:port")),
                 AddServerResult::InvalidAddress);
        QCOMPARE(rig.controller.addServer(QStringLiteral("no-such-host.invalid")),
                 AddServerResult::InvalidAddress);

        // Nobody there: one "Unable To Connect", after the status.
        QCOMPARE(rig.controller.addServer(loopback(closedPort())), AddServerResult::Connecting);
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.alerts().size(), std::size_t(1), kWaitMs);
        QCOMPARE(rig.host.alerts().front().title, QStringLiteral("Unable To Connect"));
        QCOMPARE(rig.host.alerts().front().message, kUnableToConnectMessage);
        QCOMPARE(rig.host.statusChanges(), 1);

        PhoneProcess phone;
        QVERIFY(phone.started());
        QCOMPARE(rig.controller.addServer(QStringLiteral("localhost:%1").arg(phone.port())),
                 AddServerResult::Connecting);
        QTRY_VERIFY_WITH_TIMEOUT(rig.controller.peer() && rig.controller.connected(), kWaitMs);
        const auto peer = rig.controller.peer();
        QCOMPARE(rig.controller.addServer(loopback(phone.port())), AddServerResult::Connecting);
        QCOMPARE(rig.controller.peer(), peer);
        QCOMPARE(rig.controller.client()->connectedServers().size(), std::size_t(1));
        QVERIFY(rig.controller.client()->connectingServers().empty());
        QCOMPARE(rig.host.alerts().size(), std::size_t(1));
    }

    void aLostPhoneIsSearchedForAgainAfterThePause() {
        ControllerRig rig(sessionTimeouts(), true);
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        QVERIFY(!rig.controller.client()->isDiscoveringServers());
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.statusChanges(), 1, kWaitMs);
        const auto lost = Clock::now();
        phone.close();
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.statusChanges(), 2, kWaitMs);
        QVERIFY(!rig.controller.peer());
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.discoveryStarts(), 2, kWaitMs);
        QVERIFY(rig.host.lastDiscoveryStart() - lost >= 200ms);
        QVERIFY(rig.controller.client()->isDiscoveringServers());
    }

    void noNewSearchWhenSuspendedOrOff_data() {
        QTest::addColumn<bool>("suspended");
        QTest::addColumn<bool>("autoConnect");
        QTest::newRow("refusal sheet open") << true << true;
        QTest::newRow("auto-connect off") << false << false;
    }
    void noNewSearchWhenSuspendedOrOff() {
        QFETCH(bool, suspended);
        QFETCH(bool, autoConnect);
        ControllerRig rig(sessionTimeouts(), autoConnect);
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        rig.host.suspended = suspended;
        const int searches = rig.host.discoveryStarts();
        const int checks = rig.host.restartChecks;
        phone.close();
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.restartChecks > checks, kWaitMs);
        // A timer due after any restart the check could have scheduled: once it has fired, a
        // restart would have come first.
        bool pastRestart = false;
        QTimer::singleShot(sessionTimeouts().restartAutoConnect + 150ms, Qt::PreciseTimer, this,
                           [&] { pastRestart = true; });
        QTRY_VERIFY_WITH_TIMEOUT(pastRestart, kWaitMs);
        QCOMPARE(rig.host.discoveryStarts(), searches);
        QVERIFY(!rig.controller.client()->isDiscoveringServers());
    }

    void aSearchThatCannotStart() {
        dnssd.failBrowse(kDNSServiceErr_Unknown);
        ControllerRig rig(sessionTimeouts(), true);
        QCOMPARE(rig.host.alerts().size(), std::size_t(1));
        QCOMPARE(rig.host.alerts().front().title, QStringLiteral("Unable To Search For iPhones"));
        QCOMPARE(rig.host.alerts().front().message, kUnableToSearchMessage);
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.loggedAlerts().size(), std::size_t(1), kWaitMs);
        QCOMPARE(rig.host.loggedAlerts().front().title,
                 QStringLiteral("Failed discovering servers"));
        QCOMPARE(rig.host.discoveryStarts(), 0);

        dnssd.failBrowse(0);
        QVERIFY(rig.controller.startAutoConnect());
        QCOMPARE(rig.host.discoveryStarts(), 1);
        // Asked again while the search runs (auto-connect turned off and on during a restart's
        // pause): no failure, no second search.
        QVERIFY(rig.controller.startAutoConnect());
        QCOMPARE(rig.host.alerts().size(), std::size_t(1));
        QCOMPARE(rig.host.discoveryStarts(), 1);
        rig.controller.stopLookingForServers();
        QVERIFY(!rig.controller.client()->isDiscoveringServers());
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
