// The window's controller with automatic connection, over the real DNS-SD library and an
// avahi-daemon that sees nothing but loopback (the private namespace of run-in-netns.sh): a phone
// found by discovery goes away and comes back, and the program connects again by itself, with
// the queue it kept.
#include "NetnsSuite.h"
#include "app/AppController.h"
#include "app/MorrowFileQueue.h"
#include "app/QueueDataSource.h"
#include "files/FSNodeInfo.h"
#include "net/GamePeer.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"
#include "ui/DirectConnectPanel.h"
#include "ui/MRSplitView.h"
#include "ui/SheetPresenter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;
using namespace vantle;
using namespace vantle::test;

namespace {

constexpr int kLongWaitMs = 15'000;
// A lost phone's session searches again after 3 s; then Avahi browses and resolves afresh.
constexpr int kReconnectMs = 20'000;
// How long something that must not happen is watched for: past the search's restart.
constexpr int kQuietMs = 5'000;
// Long enough for the connected state's follow-up (0.1 s) to have run.
constexpr int kSheetWatchMs = 1'000;
// The phone's upload pieces.
constexpr qint64 kPiece = 131'072;
const QString kPhoneID = u"NS-RETURN-01"_s;
const QString kPhoneName = u"Returning Phone"_s;
const QString kConnected = u"Connected to Returning Phone."_s;
const QString kNotConnected = u"Not connected."_s;
const QString kSearching = u"Searching for iPhones..."_s;
const QString kDeviceError = u"Error Uploading to Device"_s;

// vantle-phone advertised by DNS-SD as kPhoneID:kPhoneName (on a port of its own each time), with
// a store that holds one file named after `storeFile`.
struct AdvertisedPhone {
    QTemporaryDir store;
    std::unique_ptr<PhoneProcess> process;

    explicit AdvertisedPhone(const QString& storeFile, QStringList options = {},
                             const QString& id = kPhoneID) {
        if (!writeFile(store.filePath(storeFile), storeFile.toUtf8())) return;
        options << u"--advertise"_s << u"--id"_s << id << u"--name"_s << kPhoneName << u"--store"_s
                << store.path() << u"--quiet"_s;
        process = std::make_unique<PhoneProcess>(options);
    }
    // Listening and registered with the daemon.
    bool advertised() const {
        return process && process->started() &&
               waitUntil([&] { return process->output().contains(u"advertised"_s); }, kLongWaitMs);
    }
    QString address() const { return u"127.0.0.1:%1"_s.arg(process->port()); }
    QString output() const { return process ? process->output() : QString(); }
    // Gone at once, as when the phone's application is closed: killed by its process id.
    void vanish() { process.reset(); }
};

// A controller started as the program starts it, searching for phones by itself.
struct SearchingProgram : vantle::test::Program {
    bool statusBecomes(const QString& status, int timeoutMs = kLongWaitMs) const {
        return Program::statusBecomes(status, timeoutMs);
    }
    QString peerAddress() const {
        const auto peer = clientServer().peer();
        return peer ? peer->address().value_or(QString()) : QString();
    }
    QStringList phoneFiles() const {
        QStringList names;
        const PhoneDataSource& rows = *phoneDataSource();
        for (int row = 0; row < rows.rowCount(); ++row)
            names << rows.data(rows.index(row, 0)).toString();
        return names;
    }
    bool listingBecomes(const QStringList& names) const {
        return QTest::qWaitFor([&] { return phoneFiles() == names; }, kLongWaitMs);
    }
    // The phone is gone: not connected (or already searching again), its files no longer shown.
    bool withoutPhone() const {
        const QString status = statusText();
        return (status == kNotConnected || status == kSearching) && !controller->connected() &&
               phoneFiles().isEmpty() && splitView()->collapsed();
    }
    bool lostThePhone() const {
        return QTest::qWaitFor([&] { return withoutPhone(); }, kLongWaitMs);
    }
    bool queueHolds(int rows) const { return Program::queueHolds(rows, kLongWaitMs); }
    bool add(const QString& path) const { return Program::add({path}, kLongWaitMs); }
};

// The paths the queue file lists, as a later start of the program would read them.
QStringList queueFilePaths() {
    QStringList paths;
    for (const FSNodeInfoPtr& node :
         MorrowFileQueue::readNodes(MorrowFileQueue::defaultStorePath()))
        paths << node->absolutePath();
    return paths;
}

// The program connected to `phone` by discovery, then the phone gone.
bool foundThenLost(const SearchingProgram& program, AdvertisedPhone& phone) {
    if (!phone.advertised() || !program.started || !program.statusBecomes(kConnected)) return false;
    phone.vanish();
    return program.lostThePhone();
}

// Changes the namespace's loopback interface ("add" or "del" an address, a network of its own
// so that taking another away leaves it); true when it did.
bool loopbackAddress(const char* change, const QString& address, int prefix = 32) {
    QProcess ip;
    ip.start(u"ip"_s, {u"addr"_s, QString::fromLatin1(change), address + u"/%1"_s.arg(prefix),
                       u"dev"_s, u"lo"_s});
    return ip.waitForFinished(kLongWaitMs) && ip.exitStatus() == QProcess::NormalExit &&
           ip.exitCode() == 0;
}

void reportSeconds(const char* what, const char* key, const QElapsedTimer& clock) {
    std::printf("%s: %lld ms\nRESULT %s=%lld\n", what, static_cast<long long>(clock.elapsed()), key,
                static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
}

} // namespace

class NetnsReconnectTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> local;

    QString localFile(const QString& name, const QByteArray& data) {
        const QString path = local->filePath(name);
        return writeFile(path, data) ? path : QString();
    }

private slots:
    void initTestCase() {
        if (!inPrivateNamespace()) QSKIP(kNeedsNamespace);
        QVERIFY2(loadRealDnsSd(), qPrintable(dnsSdLoadError()));
    }

    void init() {
        startFromCleanSettings();
        // Found by discovery, never by a typed address.
        Defaults::setBool(QString(settings::kAutoConnect.key), true);
        Defaults::sync();
        local = std::make_unique<QTemporaryDir>();
    }

    void aFoundPhoneIsConnectedAgainWhenItComesBack_data() {
        QTest::addColumn<bool>("backBeforeTheSearchRestarts");
        QTest::newRow("back while searching") << false;
        QTest::newRow("back before the search restarts") << true;
    }

    // Found without a typed address, lost, and found again at its new port.
    void aFoundPhoneIsConnectedAgainWhenItComesBack() {
        QFETCH(bool, backBeforeTheSearchRestarts);
        AdvertisedPhone first(u"first.txt"_s);
        QVERIFY2(first.advertised(), qPrintable(first.output()));
        SearchingProgram program;
        QVERIFY(program.started);
        QVERIFY2(program.statusBecomes(kConnected), qPrintable(program.statusText()));
        QCOMPARE(program.peerAddress(), first.address());
        QVERIFY2(program.listingBecomes({u"first.txt"_s}),
                 qPrintable(program.phoneFiles().join(u',')));

        first.vanish();
        QVERIFY2(program.lostThePhone(), qPrintable(program.statusText()));
        QVERIFY(program.sheets().currentTitle().isEmpty());
        if (!backBeforeTheSearchRestarts) QVERIFY(program.statusBecomes(kSearching));

        QElapsedTimer clock;
        clock.start();
        AdvertisedPhone second(u"second.txt"_s);
        QVERIFY2(second.advertised(), qPrintable(second.output()));
        QVERIFY2(program.statusBecomes(kConnected, kReconnectMs), qPrintable(program.statusText()));
        if (backBeforeTheSearchRestarts)
            reportSeconds("a phone back within the restart's delay, to the connected state",
                          "back_early_to_connected_ms", clock);
        else
            reportSeconds("a phone advertised while the program searches, to the connected state",
                          "back_while_searching_to_connected_ms", clock);
        QCOMPARE(program.peerAddress(), second.address());
        QVERIFY2(program.listingBecomes({u"second.txt"_s}),
                 qPrintable(program.phoneFiles().join(u',')));
        QVERIFY(!program.splitView()->collapsed());
        QVERIFY(program.sheets().currentTitle().isEmpty());
    }

    // The phone goes in the middle of a file: the file stays queued and, once the phone is back,
    // arrives whole in its store.
    void anUploadCutByTheLossArrivesWhenThePhoneIsBack() {
        AdvertisedPhone first(u"first.txt"_s, {u"--delay-ms"_s, u"30"_s});
        QVERIFY2(first.advertised(), qPrintable(first.output()));
        SearchingProgram program;
        QVERIFY(program.started);
        QVERIFY(program.statusBecomes(kConnected));
        const QByteArray data = patterned(40 * kPiece + 5, 'r');
        const QString path = localFile(u"large.bin"_s, data);
        QVERIFY(program.add(path));
        QTRY_VERIFY_WITH_TIMEOUT(program.transfer().bytesTransferred() >= 2 * kPiece, kLongWaitMs);

        first.vanish();
        // The loss either stops the upload at once or ends it with the lost-connection sheet,
        // which stays open (nobody at the desk) while the phone comes back.
        QVERIFY(program.lostThePhone());
        const bool sheetShown = QTest::qWaitFor(
            [&] { return program.sheets().currentTitle() == kDeviceError; }, kSheetWatchMs);
        QCOMPARE(program.queue().rowCount(), 1);
        QCOMPARE(queueFilePaths(), QStringList{path});

        AdvertisedPhone second(u"second.txt"_s);
        QVERIFY2(second.advertised(), qPrintable(second.output()));
        QVERIFY2(program.statusBecomes(kConnected, kReconnectMs), qPrintable(program.statusText()));
        if (sheetShown) {
            QVERIFY(!QTest::qWaitFor([&] { return program.transfer().bytesTransferred() > 0; },
                                     kSheetWatchMs));
            QCOMPARE(program.sheets().currentTitle(), kDeviceError);
            QVERIFY(program.sheets().answer(SheetPresenter::Role::TryAgain));
        }
        QTRY_COMPARE_WITH_TIMEOUT(readFile(second.store.filePath(u"large.bin"_s)), data,
                                  kLongWaitMs);
        QVERIFY(program.queueHolds(0));
        QTRY_VERIFY_WITH_TIMEOUT(queueFilePaths().isEmpty(), kLongWaitMs);
        QVERIFY(program.sheets().currentTitle().isEmpty());
        QVERIFY(program.listingBecomes({u"large.bin"_s, u"second.txt"_s}));
    }

    // A sheet is open when the phone is found again (here the manual-connect sheet, opened while
    // no phone was there): once it closes, the queued file goes and the phone's files are shown.
    void aSheetOpenAtTheReconnectionHoldsNothingBack() {
        AdvertisedPhone first(u"first.txt"_s);
        SearchingProgram program;
        QVERIFY2(foundThenLost(program, first), qPrintable(program.statusText()));
        const QByteArray data = patterned(kPiece + 9, 'm');
        QVERIFY(program.add(localFile(u"held.bin"_s, data)));
        program->status().directConnect();
        QVERIFY(QTest::qWaitFor(
            [&] { return program.sheets().currentTitle() == u"Manual Connect"_s; }, kLongWaitMs));

        AdvertisedPhone second(u"second.txt"_s);
        QVERIFY2(second.advertised(), qPrintable(second.output()));
        QVERIFY2(program.statusBecomes(kConnected, kReconnectMs), qPrintable(program.statusText()));
        // Nothing is sent while the sheet is there, past the connection's follow-up.
        QVERIFY(!QTest::qWaitFor(
            [&] { return QFileInfo::exists(second.store.filePath(u"held.bin"_s)); },
            kSheetWatchMs));
        auto* panel = qobject_cast<DirectConnectPanel*>(program.sheets().current());
        QVERIFY(panel);
        panel->reject();
        QTRY_COMPARE_WITH_TIMEOUT(readFile(second.store.filePath(u"held.bin"_s)), data,
                                  kLongWaitMs);
        QVERIFY(program.queueHolds(0));
        QVERIFY2(program.listingBecomes({u"held.bin"_s, u"second.txt"_s}),
                 qPrintable(program.phoneFiles().join(u',')));
    }

    // Queued while no phone is there: kept in the queue file, sent once the phone is back.
    void anItemQueuedWhileThePhoneIsGoneGoesOnceItIsBack() {
        AdvertisedPhone first(u"first.txt"_s);
        SearchingProgram program;
        QVERIFY2(foundThenLost(program, first), qPrintable(program.statusText()));

        const QByteArray data = patterned(kPiece + 3, 'q');
        const QString path = localFile(u"later.bin"_s, data);
        QVERIFY(program.add(path));
        QTRY_COMPARE_WITH_TIMEOUT(queueFilePaths(), QStringList{path}, kLongWaitMs);
        QVERIFY(program.sheets().currentTitle().isEmpty());

        AdvertisedPhone second(u"second.txt"_s);
        QVERIFY2(second.advertised(), qPrintable(second.output()));
        QVERIFY(program.statusBecomes(kConnected, kReconnectMs));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(second.store.filePath(u"later.bin"_s)), data,
                                  kLongWaitMs);
        QVERIFY(program.queueHolds(0));
        QTRY_VERIFY_WITH_TIMEOUT(queueFilePaths().isEmpty(), kLongWaitMs);
    }

    // The phone's host moves to another address (the only one of the interface, so the daemon
    // withdraws the old one and announces the new): the program reaches it there by itself.
    void aPhoneThatMovesIsReachedAtItsNewAddress() {
        const QString before = u"127.0.0.2"_s, after = u"127.0.0.3"_s, usual = u"127.0.0.1"_s;
        constexpr int kUsualPrefix = 8;
        QVERIFY(loopbackAddress("add", before));
        QVERIFY(loopbackAddress("del", usual, kUsualPrefix));
        const auto restore = qScopeGuard([&] {
            loopbackAddress("add", usual, kUsualPrefix);
            loopbackAddress("del", before);
            loopbackAddress("del", after);
        });
        AdvertisedPhone first(u"first.txt"_s, {u"--bind"_s, before});
        QVERIFY2(first.advertised(), qPrintable(first.output()));
        SearchingProgram program;
        QVERIFY(program.started);
        QVERIFY2(program.statusBecomes(kConnected, kReconnectMs), qPrintable(program.statusText()));
        QCOMPARE(program.peerAddress(), u"%1:%2"_s.arg(before).arg(first.process->port()));

        first.vanish();
        QVERIFY2(program.lostThePhone(), qPrintable(program.statusText()));
        QVERIFY(loopbackAddress("add", after));
        QVERIFY(loopbackAddress("del", before));
        QElapsedTimer clock;
        clock.start();
        AdvertisedPhone second(u"second.txt"_s, {u"--bind"_s, after});
        QVERIFY2(second.advertised(), qPrintable(second.output()));
        QVERIFY2(program.statusBecomes(kConnected, kReconnectMs), qPrintable(program.statusText()));
        reportSeconds("a phone back at a new address, to the connected state",
                      "moved_to_connected_ms", clock);
        QCOMPARE(program.peerAddress(), u"%1:%2"_s.arg(after).arg(second.process->port()));
        QVERIFY2(program.listingBecomes({u"second.txt"_s}),
                 qPrintable(program.phoneFiles().join(u',')));
    }

    // A phone the user chose to ignore is never dialled again, though it stays advertised and
    // the search restarts; another phone still is.
    void anIgnoredPhoneIsNotConnectedAgain() {
        // An id of its own: the daemon may still hold the address an earlier case's phone moved to
        // under the usual one.
        AdvertisedPhone refusing(u"first.txt"_s, {u"--deny"_s, u"--close-on-deny"_s},
                                 u"NS-IGNORED-03"_s);
        QVERIFY2(refusing.advertised(), qPrintable(refusing.output()));
        SearchingProgram program;
        QVERIFY(program.started);
        QVERIFY(QTest::qWaitFor(
            [&] { return program.sheets().currentTitle() == u"Connection Refused"_s; },
            kLongWaitMs));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Ignore));
        QCOMPARE(program->status().phonesToIgnore(), QStringList{refusing.address()});
        // The window no longer waits on the phone, so the refused connection may still be closing.
        QTRY_VERIFY_WITH_TIMEOUT(!program->status().connectedOrConnecting(), kLongWaitMs);
        QVERIFY(!QTest::qWaitFor(
            [&] {
                return program->status().connectedOrConnecting() || program.sheets().sheetOpen();
            },
            kQuietMs));
        QVERIFY(program.withoutPhone());

        AdvertisedPhone other(u"other.txt"_s, {}, u"NS-OTHER-02"_s);
        QVERIFY2(other.advertised(), qPrintable(other.output()));
        QVERIFY(program.statusBecomes(kConnected, kReconnectMs));
        QCOMPARE(program.peerAddress(), other.address());
    }
};

int main(int argc, char** argv) {
    return runAppSuite<NetnsReconnectTest>(argc, argv, PhoneSearch::System);
}

#include "netns_reconnect.moc"
