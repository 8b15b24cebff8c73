// The connection diagnosis: the subnet test, each step's verdict and advice, the text rendering,
// visits to phones over real loopback sockets, and whole runs over the scripted DNS-SD library.
#include "NetTestSupport.h"
#include "ScriptedDnsSdControl.h"
#include "net/ConnectionChecks.h"
#include "net/ConnectionDiagnosis.h"
#include "net/ConnectionDoctor.h"
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "net/LocalSubnets.h"
#include "net/NetworkThread.h"
#include "net/PhoneProbe.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace vantle;
using namespace vantle::diagnosis;
using namespace vantle::test;

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr int kShortLimitMs = 400;
constexpr int kShortWindowMs = 300;
constexpr std::uint32_t kDnsSdAdd = 0x2;
const QString kPhoneName = u"Pocket"_s;
const QString kPhoneID = u"AA-BB"_s;

std::uint32_t ip(const char* dotted) {
    return socketAddressIPv4(*socketAddressFromString(QString::fromLatin1(dotted), 1));
}

std::vector<LocalAddress> someInterfaces() {
    return {
        {.interfaceName = u"wlan0"_s,
         .ipv4 = ip("192.168.1.23"),
         .prefixLength = 24,
         .loopback = false},
        {.interfaceName = u"lo"_s, .ipv4 = kLoopback, .prefixLength = 8, .loopback = true},
        {.interfaceName = u"tun0"_s, .ipv4 = ip("10.8.0.2"), .prefixLength = 32, .loopback = false},
        {.interfaceName = u"odd"_s,
         .ipv4 = ip("172.16.5.5"),
         .prefixLength = -1,
         .loopback = false},
    };
}

ProbeResult outcome(ProbeResult::Outcome kind) {
    ProbeResult result;
    result.outcome = kind;
    return result;
}

} // namespace

class ConnectionDiagnosisTest : public QObject {
    Q_OBJECT
    ScriptedDnsSdControl dnssd;

    // A diagnosis over the scripted library: `whenBrowsing` runs once the browser is listening.
    ConnectionReport diagnose(const DiagnosisSettings& settings,
                              const std::function<void()>& whenBrowsing = {}) {
        return runConnectionDiagnosis(settings, [&](const DiagnosticCheck& check) {
            if (check.title == u"DNS-SD daemon"_s && whenBrowsing) whenBrowsing();
        });
    }

    static DiagnosisSettings quick() {
        DiagnosisSettings settings;
        settings.discoveryWindowMs = kShortWindowMs;
        return settings;
    }

    static QStringList titles(const ConnectionReport& report) {
        QStringList all;
        for (const auto& check : report.checks)
            all << check.title;
        return all;
    }

private slots:
    void initTestCase() { QVERIFY(startWithScriptedDnsSd(dnssd)); }
    void init() { dnssd.reset(); }

    void subnetMembership_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("interface");
        QTest::newRow("same /24") << u"192.168.1.40"_s << u"wlan0"_s;
        QTest::newRow("edge of /24") << u"192.168.1.255"_s << u"wlan0"_s;
        QTest::newRow("next /24") << u"192.168.2.40"_s << QString();
        QTest::newRow("loopback /8") << u"127.4.5.6"_s << u"lo"_s;
        QTest::newRow("point-to-point itself") << u"10.8.0.2"_s << u"tun0"_s;
        QTest::newRow("beside point-to-point") << u"10.8.0.3"_s << QString();
        QTest::newRow("unknown prefix itself") << u"172.16.5.5"_s << u"odd"_s;
        QTest::newRow("unknown prefix beside") << u"172.16.5.6"_s << QString();
        QTest::newRow("elsewhere") << u"8.8.8.8"_s << QString();
    }
    void subnetMembership() {
        QFETCH(QString, address);
        QFETCH(QString, interface);
        const auto found = localSubnetOf(ip(address.toLatin1().constData()), someInterfaces());
        QCOMPARE(found ? found->interfaceName : QString(), interface);
        QVERIFY(!localSubnetOf(kLoopback, {}));
    }

    void thisComputersAddressesIncludeLoopback() {
        const auto addresses = localIPv4Addresses();
        const auto lo = localSubnetOf(kLoopback, addresses);
        QVERIFY(lo);
        QVERIFY(lo->loopback);
        QCOMPARE(subnetText(*lo), u"127.0.0.1/8"_s);
    }

    void libraryAndDaemonVerdicts() {
        QCOMPARE(libraryCheck(true, {}).verdict, CheckVerdict::Ok);
        const auto missing = libraryCheck(false, u"no libdns_sd.so.1"_s);
        QCOMPARE(missing.verdict, CheckVerdict::Failed);
        QVERIFY(missing.finding.contains(u"no libdns_sd.so.1"_s));
        QVERIFY(missing.advice.contains(u"sudo apt install libavahi-compat-libdnssd1"_s));

        QCOMPARE(daemonCheck(std::nullopt).verdict, CheckVerdict::Skipped);
        QCOMPARE(daemonCheck(dnssd::kDNSServiceErr_NoError).verdict, CheckVerdict::Ok);
        for (const auto error :
             {dnssd::kDNSServiceErr_ServiceNotRunning, dnssd::kDNSServiceErr_Unknown}) {
            const auto down = daemonCheck(error);
            QCOMPARE(down.verdict, CheckVerdict::Failed);
            QVERIFY(down.finding.contains(u"avahi-daemon is not running"_s));
            QVERIFY(down.advice.contains(u"sudo systemctl start avahi-daemon"_s));
        }
        const auto other = daemonCheck(dnssd::kDNSServiceErr_BadParam);
        QCOMPARE(other.verdict, CheckVerdict::Failed);
        QVERIFY(other.finding.contains(dnsSdErrorText(dnssd::kDNSServiceErr_BadParam)));
    }

    void interfaceVerdicts() {
        const auto listed = interfacesCheck(someInterfaces());
        QCOMPARE(listed.verdict, CheckVerdict::Ok);
        QCOMPARE(listed.details, (QStringList{u"wlan0: 192.168.1.23/24"_s, u"tun0: 10.8.0.2/32"_s,
                                              u"odd: 172.16.5.5/-1"_s}));
        const auto onlyLoopback = interfacesCheck({someInterfaces()[1]});
        QCOMPARE(onlyLoopback.verdict, CheckVerdict::Failed);
        QVERIFY(onlyLoopback.finding.contains(u"no network connection"_s));
        QVERIFY(!onlyLoopback.advice.isEmpty());
    }

    void phoneVerdicts() {
        const auto interfaces = someInterfaces();
        QCOMPARE(phonesCheck(std::nullopt, 1000, interfaces, false).verdict, CheckVerdict::Skipped);
        const auto none = phonesCheck(std::vector<SeenPhone>{}, 3000, interfaces, false);
        QCOMPARE(none.verdict, CheckVerdict::Failed);
        QVERIFY(none.finding.contains(u"within 3 s"_s));
        QVERIFY(!none.advice.isEmpty());
        QCOMPARE(phonesCheck(std::vector<SeenPhone>{}, 3000, interfaces, true).verdict,
                 CheckVerdict::Warning);

        const SeenPhone near{kPhoneID, kPhoneName, makeSocketAddress(ip("192.168.1.40"), 34345)};
        const auto local = phonesCheck(std::vector{near}, 3000, interfaces, false);
        QCOMPARE(local.verdict, CheckVerdict::Ok);
        QCOMPARE(local.details,
                 QStringList{u"Pocket (AA-BB) at 192.168.1.40:34345, on the local subnet of "
                             "wlan0 (192.168.1.23/24)"_s});
        QVERIFY(local.advice.isEmpty());

        const SeenPhone far{u"CC"_s, u"Far"_s, makeSocketAddress(ip("192.168.7.9"), 34345)};
        const auto mixed = phonesCheck(std::vector{near, far}, 3000, interfaces, false);
        QCOMPARE(mixed.verdict, CheckVerdict::Warning);
        QCOMPARE(mixed.details.size(), 2);
        QVERIFY(mixed.details[1].endsWith(u"NOT on any local subnet"_s));
        QVERIFY(mixed.advice.contains(u"same network"_s));
    }

    void connectionVerdicts() {
        const ProbeLimits limits{.handshakeTimeoutMs = 3000, .pingTimeoutMs = 3000, .pings = 1};
        ProbeResult answered = outcome(ProbeResult::Outcome::Answered);
        answered.name = kPhoneName;
        answered.uniqueID = kPhoneID;
        answered.handshakeMs = 12.34;
        answered.roundTripsMs = {2.5};
        const auto ok = connectionCheck(u"x"_s, answered, limits);
        QCOMPARE(ok.title, u"Connection to x"_s);
        QCOMPARE(ok.verdict, CheckVerdict::Ok);
        QCOMPARE(ok.finding,
                 u"Answered as \"Pocket\" (AA-BB); handshake 12.3 ms, round trip 2.5 ms."_s);

        const auto refused =
            connectionCheck(u"x"_s, outcome(ProbeResult::Outcome::Refused), limits);
        QCOMPARE(refused.verdict, CheckVerdict::Failed);
        QVERIFY(refused.finding.startsWith(u"Refused"_s));
        QVERIFY(refused.advice.contains(u"34345"_s));

        const auto silent =
            connectionCheck(u"x"_s, outcome(ProbeResult::Outcome::OpenTimedOut), limits);
        QCOMPARE(silent.verdict, CheckVerdict::Failed);
        QVERIFY(silent.finding.contains(u"Timed out"_s) && silent.finding.contains(u"3 s"_s));
        QVERIFY(silent.advice.contains(u"firewall"_s) && silent.advice.contains(u"isolation"_s));

        const auto frozen =
            connectionCheck(u"x"_s, outcome(ProbeResult::Outcome::NoHandshake), limits);
        QCOMPARE(frozen.verdict, CheckVerdict::Failed);
        QVERIFY(frozen.finding.contains(u"did not answer within 3 s"_s));

        ProbeResult unreachable = outcome(ProbeResult::Outcome::Unreachable);
        unreachable.failureDetail = u"No route to host"_s;
        QCOMPARE(connectionCheck(u"x"_s, unreachable, limits).finding,
                 u"Unreachable: no route to host."_s);

        ProbeResult lossy = outcome(ProbeResult::Outcome::PingUnanswered);
        lossy.name = kPhoneName;
        lossy.failedPing = 1;
        const auto warning = connectionCheck(u"x"_s, lossy, limits);
        QCOMPARE(warning.verdict, CheckVerdict::Warning);
        QVERIFY(warning.finding.contains(u"did not answer ping 1 of 1 within 3 s"_s));

        for (const auto kind : {ProbeResult::Outcome::NotAPhone, ProbeResult::Outcome::ClosedEarly,
                                ProbeResult::Outcome::CouldNotOpen, ProbeResult::Outcome::NoSocket,
                                ProbeResult::Outcome::PingBroken}) {
            const auto check = connectionCheck(u"x"_s, outcome(kind), limits);
            QVERIFY(check.verdict == CheckVerdict::Failed ||
                    check.verdict == CheckVerdict::Warning);
            QVERIFY(!check.finding.isEmpty());
        }
    }

    void renderingAsPlainText() {
        ConnectionReport report;
        report.checks.push_back({.title = u"DNS-SD library"_s,
                                 .verdict = CheckVerdict::Ok,
                                 .finding = u"Installed."_s,
                                 .details = {},
                                 .advice = {}});
        report.checks.push_back({.title = u"Phones"_s,
                                 .verdict = CheckVerdict::Warning,
                                 .finding = u"1 phone(s):"_s,
                                 .details = {u"Far at 10.1.1.1:34345"_s},
                                 .advice = u"move closer."_s});
        report.checks.push_back({.title = u"Connection"_s,
                                 .verdict = CheckVerdict::Skipped,
                                 .finding = {},
                                 .details = {},
                                 .advice = {}});
        QCOMPARE(renderReport(report), u"Vantle connection diagnostics\n"
                                       "\n"
                                       "[OK]      DNS-SD library\n"
                                       "          Installed.\n"
                                       "[WARNING] Phones\n"
                                       "          1 phone(s):\n"
                                       "            Far at 10.1.1.1:34345\n"
                                       "          What to do: move closer.\n"
                                       "[SKIPPED] Connection\n"
                                       "\n"
                                       "Result: no phone answered.\n"_s);
        report.checks.clear();
        report.phoneAnswered = true;
        QCOMPARE(renderReport(report),
                 u"Vantle connection diagnostics\n\n\nResult: a phone answered.\n"_s);
        QCOMPARE(verdictText(CheckVerdict::Failed), u"FAILED"_s);
    }

    void probesTellEachOutcome() {
        const ProbeLimits limits{
            .handshakeTimeoutMs = kShortLimitMs, .pingTimeoutMs = kWaitMs, .pings = 3};
        PhoneProcess phone({u"--name"_s, kPhoneName, u"--id"_s, kPhoneID});
        QVERIFY(phone.started());
        const ProbeResult answered = probePhone(phone.address(), limits);
        QCOMPARE(answered.outcome, ProbeResult::Outcome::Answered);
        QCOMPARE(answered.name.value_or(QString()), kPhoneName);
        QCOMPARE(answered.uniqueID.value_or(QString()), kPhoneID);
        QCOMPARE(answered.roundTripsMs.size(), std::size_t(3));
        QVERIFY(std::is_sorted(answered.roundTripsMs.begin(), answered.roundTripsMs.end()));
        QVERIFY(answered.handshakeMs > 0);
        QVERIFY(describeProbeFailure(answered, limits).isEmpty());

        std::uint16_t closedPort = 0;
        {
            RawServer gone;
            closedPort = gone.port();
        }
        const ProbeResult refused = probePhone(makeSocketAddress(kLoopback, closedPort), limits);
        QCOMPARE(refused.outcome, ProbeResult::Outcome::Refused);
        QCOMPARE(describeProbeFailure(refused, limits), u"cannot connect: connection refused"_s);

        // A full accept queue drops the dial: nothing answers, as behind a firewall.
        RawServer full(0);
        QueueFiller filler(full);
        QVERIFY(filler.queued());
        QElapsedTimer clock;
        clock.start();
        const ProbeResult dropped = probePhone(full.address(), limits);
        QCOMPARE(dropped.outcome, ProbeResult::Outcome::OpenTimedOut);
        QVERIFY(clock.elapsed() < kWaitMs);

        RawServer silent;
        const ProbeResult mute = probePhone(silent.address(), limits);
        QCOMPARE(mute.outcome, ProbeResult::Outcome::NoHandshake);
        QCOMPARE(describeProbeFailure(mute, limits), u"no handshake within 0.4 s"_s);
    }

    void wholeRunFindsAndReachesAnAdvertisedPhone() {
        PhoneProcess phone({u"--name"_s, kPhoneName, u"--id"_s, kPhoneID});
        QVERIFY(phone.started());
        const QByteArray type =
            serviceTypeForGameIdentifier(QLatin1String(kVantleServiceIdentifier))->toLatin1();
        const QByteArray instance = (kPhoneID + u':' + kPhoneName).toUtf8();
        const QByteArray fullName =
            kPhoneID.toUtf8() + "\\058" + kPhoneName.toUtf8() + "." + type + "local.";
        dnssd.resolveReply(instance.constData(), 0, fullName.constData(), "127.0.0.1",
                           phone.port());
        const ConnectionReport report = diagnose(quick(), [&] {
            QVERIFY(dnssd.browseEvent(kDnsSdAdd, 1, instance.constData(), type.constData(),
                                      "local.", 0));
        });
        QCOMPARE(
            titles(report),
            (QStringList{u"DNS-SD library"_s, u"DNS-SD daemon"_s, u"Network interfaces"_s,
                         u"Phones on the network"_s,
                         u"Connection to Pocket (AA-BB) at 127.0.0.1:%1"_s.arg(phone.port())}));
        QCOMPARE(report.checks[1].verdict, CheckVerdict::Ok);
        QCOMPARE(report.checks[3].verdict, CheckVerdict::Ok);
        QVERIFY2(report.checks[3].details.value(0).contains(u"on the local subnet of"_s),
                 qPrintable(renderReport(report)));
        QCOMPARE(report.checks[4].verdict, CheckVerdict::Ok);
        QVERIFY(report.checks[4].finding.startsWith(u"Answered as \"Pocket\" (AA-BB)"_s));
        QVERIFY(report.phoneAnswered);
        QCOMPARE(dnssd.openOperations(), 0);
    }

    void aCrowdIsDialledOnlyUpToItsLimit() {
        const QByteArray type =
            serviceTypeForGameIdentifier(QLatin1String(kVantleServiceIdentifier))->toLatin1();
        const std::size_t crowd = DiagnosisSettings::kMostPhonesDialled + 1;
        std::vector<QByteArray> instances;
        for (std::size_t i = 1; i <= crowd; ++i) {
            instances.push_back("ID" + QByteArray::number(qulonglong(i)) + ":Phone");
            const QByteArray fullName =
                "ID" + QByteArray::number(qulonglong(i)) + "\\058Phone." + type + "local.";
            // Low ports nothing listens on: each dial is refused at once.
            dnssd.resolveReply(instances.back().constData(), 0, fullName.constData(), "127.0.0.1",
                               static_cast<std::uint16_t>(i));
        }
        const ConnectionReport report = diagnose(quick(), [&] {
            for (const QByteArray& instance : instances)
                QVERIFY(dnssd.browseEvent(kDnsSdAdd, 1, instance.constData(), type.constData(),
                                          "local.", 0));
        });
        QCOMPARE(report.checks[3].details.size(), qsizetype(crowd));
        QCOMPARE(report.checks.size(), 4 + DiagnosisSettings::kMostPhonesDialled + 1);
        QCOMPARE(report.checks.back().finding, u"1 more phone(s) not tried."_s);
        QCOMPARE(report.checks[4].verdict, CheckVerdict::Failed);
        QVERIFY(!report.phoneAnswered);
    }

    void withoutTheDaemonAnAddressIsStillTried() {
        dnssd.failBrowse(dnssd::kDNSServiceErr_ServiceNotRunning);
        const ConnectionReport nothing = diagnose(quick());
        QCOMPARE(nothing.checks.size(), std::size_t(5));
        QCOMPARE(nothing.checks[1].verdict, CheckVerdict::Failed);
        QVERIFY(nothing.checks[1].advice.contains(u"sudo systemctl start avahi-daemon"_s));
        QCOMPARE(nothing.checks[3].verdict, CheckVerdict::Skipped);
        QCOMPARE(nothing.checks[4].verdict, CheckVerdict::Skipped);
        QVERIFY(!nothing.phoneAnswered);

        PhoneProcess phone({u"--name"_s, kPhoneName});
        QVERIFY(phone.started());
        dnssd.failBrowse(dnssd::kDNSServiceErr_ServiceNotRunning);
        DiagnosisSettings settings = quick();
        settings.address = u"127.0.0.1:%1"_s.arg(phone.port());
        const ConnectionReport reached = diagnose(settings);
        QCOMPARE(reached.checks.back().title, u"Connection to "_s + *settings.address);
        QCOMPARE(reached.checks.back().verdict, CheckVerdict::Ok);
        QVERIFY(reached.phoneAnswered);

        settings.address = u"127.0.0.1:0"_s;
        const ConnectionReport typo = diagnose(settings);
        QCOMPARE(typo.checks.back().verdict, CheckVerdict::Failed);
        QVERIFY(typo.checks.back().finding.contains(u"not a port number: 0"_s));
    }

    void doctorReportsEachStepThenTheWhole() {
        dnssd.failBrowse(dnssd::kDNSServiceErr_ServiceNotRunning);
        ConnectionDoctor doctor;
        QSignalSpy steps(&doctor, &ConnectionDoctor::checkDone);
        QSignalSpy done(&doctor, &ConnectionDoctor::finished);
        DiagnosisSettings settings = quick();
        settings.address = u"127.0.0.1:1"_s;
        QVERIFY(doctor.start(settings));
        QVERIFY(!doctor.start(settings));
        QVERIFY(done.wait(kWaitMs));
        const auto report = done.first().first().value<ConnectionReport>();
        QCOMPARE(steps.size(), qsizetype(report.checks.size()));
        QCOMPARE(steps.last().first().value<DiagnosticCheck>().title, report.checks.back().title);
        QCOMPARE(report.checks.back().verdict, CheckVerdict::Failed);
        QTRY_VERIFY_WITH_TIMEOUT(!doctor.isRunning(), kWaitMs);
        QVERIFY(doctor.start(settings)); // again, once done
        QVERIFY(done.wait(kWaitMs));
    }

    void closingTheDoctorEndsTheDiagnosisEarly() {
        constexpr int kLongWindowMs = 60'000;
        DiagnosisSettings settings;
        settings.discoveryWindowMs = kLongWindowMs;
        QElapsedTimer clock;
        {
            ConnectionDoctor doctor;
            QSignalSpy steps(&doctor, &ConnectionDoctor::checkDone);
            QVERIFY(doctor.start(settings));
            QTRY_VERIFY_WITH_TIMEOUT(steps.size() == 3, kWaitMs); // inside the window now
            clock.start();
        }
        QVERIFY(clock.elapsed() < kWaitMs);
        QCOMPARE(dnssd.openOperations(), 0);
    }
};

QTEST_GUILESS_MAIN(ConnectionDiagnosisTest)
#include "tst_connectiondiagnosis.moc"
