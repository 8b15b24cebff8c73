// vantle-cli doctor against the real DNS-SD library and daemon, in the private network namespace
// of run-in-netns.sh, where avahi-daemon sees nothing but loopback: a phone that answers, no
// daemon at all, and phones advertised where nothing answers.
#include "NetTestSupport.h"
#include "NetnsSuite.h"
#include "net/ConnectionDiagnosis.h"
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"

#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <csignal>

using namespace Qt::StringLiterals;
using namespace vantle;
using namespace vantle::dnssd;
using namespace vantle::test;

namespace {

// The discovery window and a connection's limit, with room to spare.
constexpr int kDoctorRunLimitMs = 30'000;
const QString kPhoneID = u"NS-DOCTOR-01"_s;
const QString kPhoneName = u"Doctor Phone"_s;
const QString kNoBus = u"unix:path=/nonexistent/vantle-no-bus"_s;
const QString kConnectLimit = secondsText(DiagnosisSettings::kConnectTimeoutMs) + u" s."_s;

struct DoctorRun {
    int exitCode = -1;
    QString output;
};

} // namespace

class NetnsDoctorTest : public QObject {
    Q_OBJECT

    static DoctorRun
    doctor(const QStringList& arguments = {},
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        QProcess cli;
        cli.setProcessEnvironment(environment);
        cli.setProcessChannelMode(QProcess::MergedChannels);
        cli.start(QStringLiteral(VANTLE_BIN_DIR "/vantle-cli"),
                  QStringList{u"doctor"_s} + arguments);
        if (!cli.waitForFinished(kDoctorRunLimitMs)) {
            cli.kill(); // our own child, by its process id
            cli.waitForFinished(kWaitMs);
            return {};
        }
        return {cli.exitCode(), QString::fromUtf8(cli.readAll())};
    }

    static bool advertised(PhoneProcess& phone) {
        return waitUntil([&] { return phone.output().contains(u"advertised"_s); });
    }

private slots:
    void initTestCase() {
        if (!inPrivateNamespace()) QSKIP(kNeedsNamespace);
        QVERIFY2(loadRealDnsSd(), qPrintable(dnsSdLoadError()));
    }

    void anAdvertisedPhoneIsFoundOnTheLocalSubnetAndAnswers() {
        PhoneProcess phone({u"--advertise"_s, u"--id"_s, kPhoneID, u"--name"_s, kPhoneName});
        QVERIFY(phone.started());
        QVERIFY2(advertised(phone), qPrintable(phone.output()));
        const DoctorRun run = doctor();
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        const QString at = u"%1 (%2) at 127.0.0.1:%3"_s.arg(kPhoneName, kPhoneID).arg(phone.port());
        QVERIFY2(run.output.contains(u"[OK]      DNS-SD library\n"_s), qPrintable(run.output));
        QVERIFY(run.output.contains(u"[OK]      DNS-SD daemon\n"_s));
        // Only loopback is up in the namespace.
        QVERIFY(run.output.contains(u"[FAILED]  Network interfaces\n"_s));
        QVERIFY(run.output.contains(u"[OK]      Phones on the network\n"_s));
        QVERIFY(run.output.contains(at + u", on the local subnet of lo (127.0.0.1/8)\n"_s));
        QVERIFY(run.output.contains(
            u"[OK]      Connection to "_s + at +
            u"\n          Answered as \"%1\" (%2); handshake"_s.arg(kPhoneName, kPhoneID)));
        QVERIFY(run.output.endsWith(u"Result: a phone answered.\n"_s));
    }

    void withoutTheDaemonItSaysHowToStartItAndAnAddressStillAnswers() {
        QProcessEnvironment noBus = QProcessEnvironment::systemEnvironment();
        noBus.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, kNoBus);
        const DoctorRun alone = doctor({}, noBus);
        QCOMPARE(alone.exitCode, 1);
        QVERIFY2(alone.output.contains(u"[FAILED]  DNS-SD daemon\n          avahi-daemon is not "
                                       "running"_s),
                 qPrintable(alone.output));
        QVERIFY(alone.output.contains(u"What to do: start it with: sudo systemctl start "
                                      "avahi-daemon"_s));
        QVERIFY(alone.output.contains(u"[SKIPPED] Phones on the network\n"_s));

        PhoneProcess phone({u"--name"_s, kPhoneName});
        QVERIFY(phone.started());
        const QString address = u"127.0.0.1:%1"_s.arg(phone.port());
        const DoctorRun byAddress = doctor({u"--address"_s, address}, noBus);
        QVERIFY2(byAddress.exitCode == 0, qPrintable(byAddress.output));
        QVERIFY(byAddress.output.contains(u"[FAILED]  DNS-SD daemon\n"_s));
        QVERIFY(byAddress.output.contains(u"[OK]      Connection to "_s + address +
                                          u"\n          Answered as \"%1\""_s.arg(kPhoneName)));
    }

    void aFrozenPhoneIsSeenButDoesNotAnswer() {
        PhoneProcess phone({u"--advertise"_s, u"--id"_s, kPhoneID, u"--name"_s, kPhoneName});
        QVERIFY(phone.started());
        QVERIFY2(advertised(phone), qPrintable(phone.output()));
        // Its registration stays with the daemon; its socket still takes dials, unanswered.
        QCOMPARE(::kill(static_cast<pid_t>(phone.processId()), SIGSTOP), 0);
        const DoctorRun run = doctor();
        ::kill(static_cast<pid_t>(phone.processId()), SIGCONT);
        QVERIFY2(run.exitCode == 1, qPrintable(run.output));
        QVERIFY(run.output.contains(u"[OK]      Phones on the network\n"_s));
        QVERIFY(run.output.contains(
            u"[FAILED]  Connection to %1 (%2) at 127.0.0.1:%3\n"_s.arg(kPhoneName, kPhoneID)
                .arg(phone.port()) +
            u"          The connection opened, but Vantle did not answer "
            "within "_s +
            kConnectLimit));
        QVERIFY(run.output.endsWith(u"Result: no phone answered.\n"_s));
    }

    void aPhoneAdvertisedWhereNothingAnswersTimesOut() {
        // Dials to a full accept queue are dropped unanswered, as a firewall or an access point
        // that keeps its clients apart drops them.
        RawServer full(0);
        QueueFiller filler(full);
        QVERIFY(filler.queued());
        const auto registerFn =
            reinterpret_cast<DNSServiceRegisterFn>(dnsSdFunction("DNSServiceRegister"));
        QVERIFY(registerFn);
        const QByteArray type =
            serviceTypeForGameIdentifier(QLatin1String(kVantleServiceIdentifier))->toLatin1();
        DNSServiceRef registration = nullptr;
        QCOMPARE(registerFn(&registration, 0, 0, "NS-GHOST:Ghost Phone", type.constData(), nullptr,
                            nullptr, qToBigEndian<std::uint16_t>(full.port()), 0, nullptr, nullptr,
                            nullptr),
                 kDNSServiceErr_NoError);
        const DoctorRun run = doctor();
        mDNSServiceRefDeallocateFn(registration);
        QVERIFY2(run.exitCode == 1, qPrintable(run.output));
        QVERIFY(run.output.contains(
            u"Ghost Phone (NS-GHOST) at 127.0.0.1:%1, on the local subnet of lo"_s.arg(
                full.port())));
        QVERIFY(run.output.contains(
            u"[FAILED]  Connection to Ghost Phone (NS-GHOST) at 127.0.0.1:%1\n"
            "          Timed out: no answer at all within "_s.arg(full.port()) +
            kConnectLimit +
            u"\n          What to do: a firewall on this computer or on the network drops the "
            "connection, or the Wi-Fi access point keeps its clients apart (client or AP "
            "isolation"_s));
    }
};

QTEST_GUILESS_MAIN(NetnsDoctorTest)
#include "netns_doctor.moc"
