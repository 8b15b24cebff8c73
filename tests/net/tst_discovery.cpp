#include "ScriptedDnsSdControl.h"
#include "net/DnsSdLibrary.h"
#include "net/DnsSdName.h"
#include "net/NSNetServicesWinDNS.h"
#include "net/NetServiceBrowser.h"
#include "net/NetServiceBrowserDelegate.h"
#include "net/SocketAddress.h"

#include <QTest>
#include <QThread>
#include <arpa/inet.h>
#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace QTest {
// Addresses in failure messages as "10.0.0.7:34345".
template <> inline char* toString(const vantle::SocketAddress& address) {
    return qstrdup(vantle::socketAddressText(address)
                       .value_or(QStringLiteral("not IPv4"))
                       .toUtf8()
                       .constData());
}
} // namespace QTest

using namespace Qt::StringLiterals;

using namespace vantle;
using namespace vantle::dnssd;

namespace {

constexpr char kType[] = "_GAME-3025F862._tcp.";
constexpr char kDomain[] = "local.";
constexpr char kPhone[] = "ABC:Test Phone";
constexpr char kPhoneFullName[] = "ABC\\058Test\\032Phone._GAME-3025F862._tcp.local.";
constexpr std::uint16_t kPhonePort = 34345;

SocketAddress at(const char* dotted, std::uint16_t port) {
    return *socketAddressFromString(QString::fromLatin1(dotted), port);
}

struct Recorder : NetServiceBrowserDelegate {
    std::uint32_t callbacks =
        kBrowserDidStart | kBrowserDidAddService | kBrowserDidRemoveService | kBrowserWillStop;
    int started = 0, stopping = 0;
    std::vector<NSNetServicesWinDNS> added, removed;
    std::uint32_t implementedCallbacks() const override { return callbacks; }
    void browserDidStart(NetServiceBrowser*) override { ++started; }
    void browserDidAddService(NetServiceBrowser*, const NSNetServicesWinDNS& s) override {
        added.push_back(s);
    }
    void browserDidRemoveService(NetServiceBrowser*, const NSNetServicesWinDNS& s) override {
        removed.push_back(s);
    }
    void browserWillStop(NetServiceBrowser*) override { ++stopping; }
};

// How long a callback stays open for a clearing of its delegate that must not return meanwhile.
constexpr std::chrono::milliseconds kRaceWindow{300};
// Bounds every other wait of a callback and the thread that clears its delegate.
constexpr std::chrono::seconds kClearingLimit{5};

// Answers about a host: their flags and the address they carry.
using Answers = QList<std::pair<std::uint32_t, QString>>;

std::array<unsigned char, 4> a(unsigned char b0, unsigned char b1, unsigned char b2,
                               unsigned char b3) {
    return {b0, b1, b2, b3};
}

} // namespace

class DiscoveryTest : public QObject {
    Q_OBJECT
    ScriptedDnsSdControl dnssd;
    std::unique_ptr<NetServiceBrowser> browser;
    Recorder recorder;

    // Starts a browser for kType with the recorder as delegate.
    void startBrowser() {
        browser = NetServiceBrowser::createTCPBrowser(std::nullopt, u"GAME-3025F862"_s);
        QVERIFY(browser);
        browser->setDelegate(&recorder);
        QVERIFY(browser->startUsingRunLoop(QThread::currentThread()));
    }
    // kPhone answers from 10.0.0.7, "B:Two" from 10.0.0.8.
    void scriptTwoPhones() {
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "10.0.0.7", kPhonePort);
        dnssd.resolveReply("B:Two", 0, "B\\058Two._GAME-3025F862._tcp.local.", "10.0.0.8", 1);
    }
    // Polls until nothing more is waiting, at most `ticks` times.
    void poll(int ticks) {
        for (int i = 0; i < ticks; ++i)
            browser->handleEvents();
    }

private slots:
    void initTestCase() {
        useScriptedDnsSd();
        QVERIFY(dnssd.complete());
        QVERIFY(loadBonjourDLL());
    }
    void init() {
        dnssd.reset();
        recorder = Recorder{};
    }
    void cleanup() {
        browser.reset();
        QCOMPARE(dnssd.openOperations(), 0);
    }

    void servicesAreKeyedByAddressAndExactClass() {
        const NSNetServicesWinDNS one(at("10.0.0.7", kPhonePort), u"A:One"_s);
        const NSNetServicesWinDNS other(at("10.0.0.7", kPhonePort), u"B:Other"_s);
        const NSNetServicesWinDNS elsewhere(at("10.0.0.7", kPhonePort + 1), u"A:One"_s);
        const NSNetServicesWrapper typed(at("10.0.0.7", kPhonePort));
        QCOMPARE(one, other);
        QCOMPARE(one.hash(), other.hash());
        QCOMPARE_NE(one, elsewhere);
        QCOMPARE_NE(typed, one);
        QCOMPARE_NE(one, typed);
        std::unordered_set<NSNetServicesWinDNS, NSNetServicesWrapperHash> table{one, other};
        QCOMPARE(table.size(), size_t(1));
        QCOMPARE(typed.serviceName(), u"Manual:Connection"_s);
        QCOMPARE(one.serviceName(), u"A:One"_s);
    }

    void typedAddresses() {
        const auto dotted = NSNetServicesWrapper::wrapperWithIP(u"192.0.2.9"_s);
        QVERIFY(dotted);
        QCOMPARE(dotted->getAddresses().size(), size_t(1));
        QCOMPARE(dotted->getAddresses().front(), at("192.0.2.9", 34345));
        const auto named = NSNetServicesWrapper::wrapperWithIP(u"localhost"_s);
        QVERIFY(named);
        QCOMPARE(socketAddressIPv4(named->addressData()), 0x7F000001u);
        QCOMPARE(socketAddressPort(named->addressData()), std::uint16_t(34345));
        QVERIFY(!NSNetServicesWrapper::wrapperWithIP(u"no-such-host.invalid"_s));
        // A leading number that is no address must not become the broadcast address.
        QVERIFY(!NSNetServicesWrapper::wrapperWithIP(u"1.invalid"_s));
        QVERIFY(!NSNetServicesWrapper::wrapperWithIP(u""_s));
    }

    void typedAddressesWithAPort() {
        const auto dotted = NSNetServicesWrapper::wrapperWithIP(u"192.0.2.9:40001"_s);
        QVERIFY(dotted);
        QCOMPARE(dotted->addressData(), at("192.0.2.9", 40001));
        const auto named = NSNetServicesWrapper::wrapperWithIP(u"localhost:65535"_s);
        QVERIFY(named);
        QCOMPARE(socketAddressIPv4(named->addressData()), 0x7F000001u);
        QCOMPARE(socketAddressPort(named->addressData()), std::uint16_t(65535));
        for (const char* bad :
             {"192.0.2.9:", "192.0.2.9:0", "192.0.2.9:65536", "192.0.2.9:+80", "192.0.2.9: 80",
              "192.0.2.9:0x50", "localhost:http", "192.0.2.9:123456", ":80", "::1"})
            QVERIFY2(!NSNetServicesWrapper::wrapperWithIP(QString::fromLatin1(bad)), bad);
    }

    void instanceNamesAreUnescaped() {
        QCOMPARE(serviceInstanceName(kPhoneFullName).value_or(u"none"_s),
                 QString::fromLatin1(kPhone));
        QCOMPARE(serviceInstanceName("a\\.b\\\\c._x._tcp.local.").value_or(u"none"_s), u"a.b\\c"_s);
        QCOMPARE(serviceInstanceName("ID:Jos\\195\\169._x._tcp.").value_or(u"none"_s),
                 QString::fromUtf8("ID:Jos\xc3\xa9"));
        QCOMPARE(serviceInstanceName("plain").value_or(u"none"_s), u"plain"_s);
        QVERIFY(!serviceInstanceName("bad\\"));
        QVERIFY(!serviceInstanceName("bad\\25"));
        QVERIFY(!serviceInstanceName("bad\\2x5.x"));
        QVERIFY(!serviceInstanceName("bad\\256.x"));
        QVERIFY(!serviceInstanceName("._x._tcp."));
        QVERIFY(!serviceInstanceName("\\255\\254._x."));
        QVERIFY(!serviceInstanceName("ID:cut\xcd._x."));
        QVERIFY(!serviceInstanceName("\xcd"));
    }

    void startsOnceAndReportsStart() {
        startBrowser();
        QCOMPARE(QString::fromUtf8(dnssd.lastBrowseType()), QString::fromLatin1(kType));
        QCOMPARE(QString::fromUtf8(dnssd.lastBrowseDomain()), QString());
        QCOMPARE(recorder.started, 1);
        QVERIFY(browser->isRunning());
        QVERIFY(!browser->startUsingRunLoop(QThread::currentThread()));
        QCOMPARE(recorder.started, 1);
        browser->stop();
        QCOMPARE(recorder.stopping, 1);
        QVERIFY(!browser->isRunning());
    }

    void failedBrowseLeavesBrowserUnusable() {
        dnssd.failBrowse(kDNSServiceErr_Unknown);
        auto failing = NetServiceBrowser::createTCPBrowser(std::nullopt, u"GAME-3025F862"_s);
        failing->setDelegate(&recorder);
        QVERIFY(!failing->startUsingRunLoop(QThread::currentThread()));
        dnssd.failBrowse(0);
        QVERIFY(!failing->startUsingRunLoop(QThread::currentThread()));
        QCOMPARE(recorder.started, 0);
        QVERIFY(!failing->isRunning());
        auto noLoop = NetServiceBrowser::createTCPBrowser(std::nullopt, u"GAME-3025F862"_s);
        QVERIFY(!noLoop->startUsingRunLoop(nullptr));
        QVERIFY(!NetServiceBrowser::createTCPBrowser(std::nullopt, u""_s));
    }

    void dottedTargetReportsWithoutQuery() {
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "10.0.0.7", kPhonePort);
        startBrowser();
        QVERIFY(dnssd.browseEvent(kDNSServiceFlagsAdd, 3, kPhone, kType, kDomain, 0));
        poll(3);
        QCOMPARE(dnssd.queryCalls(), 0);
        QCOMPARE(recorder.added.size(), size_t(1));
        const NSNetServicesWinDNS& found = recorder.added.front();
        QCOMPARE(found.addressData(), at("10.0.0.7", kPhonePort));
        // The peer looks for u"ID:Name"_s; the escaped full name stays for the logs.
        QCOMPARE(found.serviceName(), QString::fromLatin1(kPhone));
        QCOMPARE(found.fullName(), QString::fromLatin1(kPhoneFullName));
        QVERIFY(recorder.removed.empty());
    }

    void hostNameTargetCountsLastAnswerOfBatch() {
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "phone.local.", kPhonePort);
        const auto first = a(10, 0, 0, 1), second = a(10, 0, 0, 2), last = a(10, 0, 0, 3);
        const std::array<unsigned char, 16> ipv6{};
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsMoreComing | kDNSServiceFlagsAdd,
                          kDNSServiceType_A, first.data(), 4, 0);
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsMoreComing | kDNSServiceFlagsAdd,
                          kDNSServiceType_A, second.data(), 4, 0);
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsAdd, kDNSServiceType_A, last.data(), 4,
                          0);
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsAdd, 28, ipv6.data(), 16, 0);
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsAdd, kDNSServiceType_A, last.data(), 2,
                          0);
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        poll(8);
        QCOMPARE(dnssd.queryCalls(), 1);
        QCOMPARE(recorder.added.size(), size_t(1));
        QCOMPARE(recorder.added.front().addressData(), at("10.0.0.3", kPhonePort));
    }

    // The phone's host name is watched after it is reported: an address withdrawn (an answer
    // without the add flag) is reported gone, and a new one replaces the old, whichever of the
    // two answers comes first.
    void addressChangesAreReported_data() {
        QTest::addColumn<Answers>("answers"); // flags, address
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("removed");
        const std::uint32_t add = kDNSServiceFlagsAdd, more = kDNSServiceFlagsMoreComing;
        QTest::newRow("withdrawn") << Answers{{0, u"10.0.0.1"_s}} << QStringList{u"10.0.0.1"_s}
                                   << QStringList{u"10.0.0.1"_s};
        QTest::newRow("new one first")
            << Answers{{add, u"10.0.0.2"_s}, {0, u"10.0.0.1"_s}}
            << QStringList{u"10.0.0.1"_s, u"10.0.0.2"_s} << QStringList{u"10.0.0.1"_s};
        QTest::newRow("old one withdrawn first, in one batch")
            << Answers{{more, u"10.0.0.1"_s}, {add, u"10.0.0.2"_s}}
            << QStringList{u"10.0.0.1"_s, u"10.0.0.2"_s} << QStringList{u"10.0.0.1"_s};
        QTest::newRow("old one withdrawn, later a new one")
            << Answers{{0, u"10.0.0.1"_s}, {add, u"10.0.0.2"_s}}
            << QStringList{u"10.0.0.1"_s, u"10.0.0.2"_s} << QStringList{u"10.0.0.1"_s};
        QTest::newRow("another address withdrawn")
            << Answers{{0, u"10.0.0.9"_s}} << QStringList{u"10.0.0.1"_s} << QStringList{};
    }
    void addressChangesAreReported() {
        QFETCH(Answers, answers);
        QFETCH(QStringList, added);
        QFETCH(QStringList, removed);
        const auto first = a(10, 0, 0, 1);
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "phone.local.", kPhonePort);
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsAdd, kDNSServiceType_A, first.data(), 4,
                          0);
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        poll(3);
        QCOMPARE(recorder.added.size(), size_t(1));
        for (const auto& [flags, dotted] : answers) {
            const std::uint32_t address = htonl(socketAddressIPv4(at(qPrintable(dotted), 0)));
            dnssd.queryPush("phone.local.", flags, kDNSServiceType_A, &address, 4);
        }
        poll(4);
        const auto addresses = [](const std::vector<NSNetServicesWinDNS>& services) {
            QStringList found;
            for (const auto& service : services)
                found << socketAddressText(service.addressData()).value_or(QString());
            return found;
        };
        const auto withPort = [](QStringList dotted) {
            for (QString& address : dotted)
                address += u":%1"_s.arg(kPhonePort);
            return dotted;
        };
        QCOMPARE(addresses(recorder.added), withPort(added));
        QCOMPARE(addresses(recorder.removed), withPort(removed));
    }

    void servicesThatAppearTogetherAreAllReported() {
        scriptTwoPhones();
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, "B:Two", kType, kDomain, 0);
        // One tick takes everything waiting; the second event must not cut the first one's
        // resolution short, or one of two phones on a network would never be listed.
        browser->handleEvents();
        QCOMPARE(dnssd.resolveCalls(), 2);
        QCOMPARE(recorder.added.size(), size_t(2));
        QCOMPARE(recorder.added[0].serviceName(), QString::fromLatin1(kPhone));
        QCOMPARE(recorder.added[1].serviceName(), u"B:Two"_s);
        // Both resolutions stay open for later answers about their services.
        QCOMPARE(browser->resolutionCount(), size_t(2));
        browser->handleEvents();
        QCOMPARE(recorder.added.size(), size_t(2));
    }

    void newerEventAboutAServiceTakesOver() {
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "10.0.0.7", kPhonePort);
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        dnssd.browseEvent(0, 1, kPhone, kType, kDomain, 0);
        browser->handleEvents();
        // Gone before its appearance was resolved: only the removal is followed and reported.
        QCOMPARE(dnssd.resolveCalls(), 2);
        QVERIFY(recorder.added.empty());
        QCOMPARE(recorder.removed.size(), size_t(1));
        QCOMPARE(browser->resolutionCount(), size_t(0));
        QCOMPARE(dnssd.openOperations(), 1);
    }

    void removalWithSeveralAnswersInOneCallReportsOnce() {
        // The phone's host has two addresses and the library hands both over in one call: the
        // first ends the removal's resolution, the second still carries it as its context.
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "phone.local.", kPhonePort);
        const auto first = a(10, 0, 0, 1), second = a(10, 0, 0, 2);
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsAdd, kDNSServiceType_A, first.data(), 4,
                          0);
        dnssd.queryAnswer("phone.local.", kDNSServiceFlagsAdd, kDNSServiceType_A, second.data(), 4,
                          0);
        dnssd.queryAnswersAtOnce(true);
        startBrowser();
        dnssd.browseEvent(0, 1, kPhone, kType, kDomain, 0);
        poll(4);
        dnssd.queryAnswersAtOnce(false);
        QCOMPARE(recorder.removed.size(), size_t(1));
        QCOMPARE(recorder.removed.front().addressData(), at("10.0.0.1", kPhonePort));
        QCOMPARE(browser->resolutionCount(), size_t(0));
    }

    void removalsAreResolvedToo() {
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "10.0.0.7", kPhonePort);
        startBrowser();
        dnssd.browseEvent(0, 1, kPhone, kType, kDomain, 0);
        poll(3);
        QVERIFY(recorder.added.empty());
        QCOMPARE(recorder.removed.size(), size_t(1));
        QCOMPARE(recorder.removed.front().addressData(), at("10.0.0.7", kPhonePort));
    }

    void reportedServiceGoesWithoutResolving() {
        scriptTwoPhones();
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        poll(2);
        QCOMPARE(recorder.added.size(), size_t(1));
        // Gone for good: resolving it again would fail, as it does with Avahi.
        dnssd.resolveFails(kPhone, kDNSServiceErr_Unknown);
        // The removal does not disturb a resolution under way: B still comes as an add.
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, "B:Two", kType, kDomain, 0);
        dnssd.browseEvent(0, 1, kPhone, kType, kDomain, 0);
        poll(2);
        QCOMPARE(dnssd.resolveCalls(), 2);
        QCOMPARE(recorder.removed.size(), size_t(1));
        QCOMPARE(recorder.removed.front(), recorder.added.front());
        QCOMPARE(recorder.removed.front().serviceName(), QString::fromLatin1(kPhone));
        QCOMPARE(recorder.added.size(), size_t(2));
        QCOMPARE(recorder.added.back().serviceName(), u"B:Two"_s);
        // Known no more: a second removal is resolved, fails, and reports nothing.
        dnssd.browseEvent(0, 1, kPhone, kType, kDomain, 0);
        poll(2);
        QCOMPARE(dnssd.resolveCalls(), 3);
        QCOMPARE(recorder.removed.size(), size_t(1));
    }

    void failuresDropTheEvent() {
        dnssd.resolveFails("Gone:Call", kDNSServiceErr_Unknown);
        dnssd.resolveReply("Gone:Reply", kDNSServiceErr_Unknown, nullptr, nullptr, 0);
        dnssd.resolveReply("Unqueried:Phone", 0, "Unqueried\\058Phone._x._tcp.local.",
                           "unqueried.local.", 5);
        dnssd.queryFails("unqueried.local.", kDNSServiceErr_Unknown);
        startBrowser();
        dnssd.browseEvent(0, 1, "Gone:Call", kType, kDomain, 0);
        poll(2);
        dnssd.browseEvent(0, 1, "Gone:Reply", kType, kDomain, 0);
        poll(2);
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, "Unqueried:Phone", kType, kDomain, 0);
        poll(2);
        // A browse event that reports an error carries no names at all.
        dnssd.browseEvent(kDNSServiceFlagsAdd, 0, nullptr, nullptr, nullptr,
                          kDNSServiceErr_Unknown);
        poll(2);
        QCOMPARE(dnssd.resolveCalls(), 3);
        QVERIFY(recorder.added.empty());
        QVERIFY(recorder.removed.empty());
        // Failed resolutions are ended; the one whose query failed waits for a new answer.
        QCOMPARE(browser->resolutionCount(), size_t(1));
    }

    void brokenOperationIsNoLongerPolled() {
        startBrowser();
        QVERIFY(dnssd.breakBrowse());
        browser->handleEvents();
        QVERIFY(!browser->client1());
        QCOMPARE(dnssd.openOperations(), 0);
        browser->handleEvents();
    }

    void onlyImplementedCallbacksAreSent() {
        recorder.callbacks = NetServiceBrowserDelegate::kBrowserDidRemoveService;
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "10.0.0.7", kPhonePort);
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        poll(3);
        browser->stop();
        QCOMPARE(recorder.started, 0);
        QCOMPARE(recorder.stopping, 0);
        QVERIFY(recorder.added.empty());
    }

    void stopEndsEveryOperation() {
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "phone.local.", kPhonePort);
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        poll(2);
        QCOMPARE(dnssd.openOperations(), 3);
        browser->stop();
        QCOMPARE(dnssd.openOperations(), 0);
        QVERIFY(!browser->client1());
        QCOMPARE(browser->resolutionCount(), size_t(0));
    }

    // A delegate cleared and then destroyed on another thread while answers arrive is never
    // called once the clearing has returned: the clearing waits for a callback under way.
    void aDelegateClearedElsewhereIsNotCalledAfterwards() {
        struct Watch {
            std::mutex lock;
            std::condition_variable changed;
            bool clearing = false, cleared = false;
            int calls = 0, callsAfterClear = 0;
        } watch;
        struct Holding : NetServiceBrowserDelegate {
            explicit Holding(Watch& w) : watch(w) {}
            std::uint32_t implementedCallbacks() const override {
                return kBrowserDidAddService | kBrowserDidRemoveService;
            }
            void browserDidAddService(NetServiceBrowser*, const NSNetServicesWinDNS&) override {
                hold(watch);
            }
            void browserDidRemoveService(NetServiceBrowser*, const NSNetServicesWinDNS&) override {
                hold(watch);
            }
            // Touches nothing of the delegate's own once it may be gone.
            static void hold(Watch& w) {
                std::unique_lock lock(w.lock);
                ++w.calls;
                if (w.cleared) ++w.callsAfterClear;
                w.changed.notify_all();
                w.changed.wait_for(lock, kClearingLimit, [&] { return w.clearing; });
                w.changed.wait_for(lock, kRaceWindow, [&] { return w.cleared; });
                if (w.cleared) ++w.callsAfterClear;
            }
            Watch& watch;
        };
        auto holding = std::make_unique<Holding>(watch);
        scriptTwoPhones();
        browser = NetServiceBrowser::createTCPBrowser(std::nullopt, u"GAME-3025F862"_s);
        browser->setDelegate(holding.get());
        QVERIFY(browser->startUsingRunLoop(QThread::currentThread()));
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, "B:Two", kType, kDomain, 0);

        std::thread clearer([&] {
            std::unique_lock lock(watch.lock);
            watch.changed.wait_for(lock, kClearingLimit, [&] { return watch.calls > 0; });
            watch.clearing = true;
            watch.changed.notify_all();
            lock.unlock();
            browser->setDelegate(nullptr);
            lock.lock();
            watch.cleared = true;
            watch.changed.notify_all();
            lock.unlock();
            holding.reset();
        });
        browser->handleEvents();
        clearer.join();
        // Answers that come later find no delegate.
        dnssd.browseEvent(0, 1, kPhone, kType, kDomain, 0);
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, "C:Three", kType, kDomain, 0);
        poll(4);
        QCOMPARE(watch.calls, 1);
        QCOMPARE(watch.callsAfterClear, 0);
    }

    void timerPollsWithoutHelp() {
        dnssd.resolveReply(kPhone, 0, kPhoneFullName, "10.0.0.7", kPhonePort);
        startBrowser();
        dnssd.browseEvent(kDNSServiceFlagsAdd, 1, kPhone, kType, kDomain, 0);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.added.size(), size_t(1), 5000);
    }
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_discovery.moc"
