#include "TransferTestSupport.h"
#include "net/DictionaryCodec.h"
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "net/NSNetServicesWrapper.h"
#include "net/NetworkThread.h"
#include "platform/NotificationCenter.h"
#include "transfer/MRTransferController.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/Requests.h"

#include <QPoint>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <atomic>
#include <chrono>
#include <thread>

using namespace vantle;
using namespace vantle::test;
using Clock = std::chrono::steady_clock;

namespace {

TransferTimeouts shortTimeouts() {
    return shortenedTimeouts(5s, 3s, 5s);
}

QVariantMap requestOfType(const QString& type) {
    return {{keys::kRequestType, type}};
}

// sendRequest on a thread of its own.
struct WorkerRequest : WorkerCall {
    WorkerRequest(ClientServerController& controller, const QVariantMap& request)
        : WorkerCall([&controller, request] { return controller.sendRequest(request); }) {}
};

QByteArray payloadWithMagic(std::uint32_t magic, const QByteArray& rest = {}) {
    QByteArray bytes(4, Qt::Uninitialized);
    qToBigEndian<std::uint32_t>(magic, bytes.data());
    return bytes + rest;
}

// The phone's requests answered by a transfer controller, as in the program.
struct AnsweringRig {
    AnsweringRig() : rig(shortTimeouts()) {
        transfer.setClientServerController(&rig.controller);
        rig.controller.setRequestDispatcher(&transfer);
        [&] {
            QVERIFY(transfer.setStoreRootDir(store.path()).ok());
            QVERIFY(transfer.setTemporaryDir(temp.path()).ok());
        }();
    }
    ~AnsweringRig() {
        rig.controller.setRequestDispatcher(nullptr);
        transfer.setClientServerController(nullptr);
    }
    // `phone` is asked for `path` from a worker and answers that it will send it.
    bool askDownload(ScriptedPhone& phone, const QString& path) {
        WorkerCall ask([this, path] {
            return transfer.requestRemoteFile(path) ? std::optional(QVariantMap()) : std::nullopt;
        });
        const auto request = phone.receiveMessage();
        return request && phone.answer(*request, {{keys::kSuccess, true}}) && ask.finish() &&
               ask.result;
    }
    // The phone's request, numbered, and the PC's answer to it.
    std::optional<QVariantMap> phoneAsks(ScriptedPhone& phone, QVariantMap request) {
        addRequestEnvelope(request, ++phoneRequests);
        if (!phone.sendMessage(request)) return std::nullopt;
        return phone.receiveMessage();
    }

    QTemporaryDir store, temp;
    ControllerRig rig;
    MRTransferController transfer;
    std::int32_t phoneRequests = 0;
};

// The notifications of some names that reach the window, up to a marker posted after them.
struct SeenNotes {
    explicit SeenNotes(const QStringList& names) {
        for (const QString& name : names + QStringList{kMarker})
            NotificationCenter::defaultCenter().addObserver(
                name, &context, [this](const Notification& note) { seen << note.name; });
    }
    // What arrived before everything handed to the main thread so far has run.
    QStringList settled(ClientServerController& controller) {
        controller.postNotificationNameAfterDelay(kMarker);
        if (!QTest::qWaitFor([&] { return seen.contains(kMarker); }, kWaitMs))
            return {QStringLiteral("no marker")};
        QStringList before = seen;
        before.removeAll(kMarker);
        seen.clear();
        return before;
    }
    static inline const QString kMarker = QStringLiteral("Marker");
    QObject context;
    QStringList seen;
};

QVariantMap transferFinished(const QString& item) {
    return NotifyRequest{QString(notes::kTransferFinished), QVariantMap{{keys::kPath, item}}}
        .encode();
}

QVariantMap pieceOf(const QString& item) {
    SendChunkRequest piece;
    piece.path = item;
    piece.chunkData = "x";
    piece.totalBytes = 1;
    piece.currentBytes = 0;
    piece.baseFileName = item;
    return piece.encode();
}

} // namespace

class ClientServerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startNetworkThread()); }

    void requestsAreNumberedFromOneAcrossConnections() {
        ControllerRig rig(shortTimeouts());
        QVERIFY(!rig.controller.sendRequest(requestOfType(QStringLiteral("DirectoryList"))));
        {
            ScriptedPhone phone;
            QVERIFY(connectTo(rig, phone));
            WorkerRequest first(rig.controller,
                                {{keys::kRequestType, QStringLiteral("DirectoryList")},
                                 {keys::kPath, QStringLiteral("/")}});
            const auto request = phone.receiveMessage();
            QVERIFY(request);
            QCOMPARE(request->value(keys::kMessageType).toString(), QStringLiteral("Request"));
            QCOMPARE(requestNumber(*request), qint64(1));
            QCOMPARE(request->value(keys::kRequestType).toString(),
                     QStringLiteral("DirectoryList"));
            QCOMPARE(request->value(keys::kPath).toString(), QStringLiteral("/"));
            QVERIFY(phone.answer(*request, {{keys::kSuccess, true}}));
            QVERIFY(first.finish());
            QVERIFY(first.result);
            QCOMPARE(first.result->value(keys::kSuccess).toBool(), true);
            const int statusBefore = rig.host.statusChanges();
            phone.close();
            QTRY_VERIFY_WITH_TIMEOUT(!rig.controller.peer(), kWaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(rig.host.statusChanges() > statusBefore, kWaitMs);
        }
        ScriptedPhone again;
        QVERIFY(connectTo(rig, again));
        WorkerRequest next(rig.controller, requestOfType(QStringLiteral("FileExists")));
        const auto request = again.receiveMessage();
        QVERIFY(request);
        QCOMPARE(requestNumber(*request), qint64(2));
        QVERIFY(again.answer(*request, {}));
        QVERIFY(next.finish());
        QVERIFY(next.result);
        QVERIFY(!rig.host.calledOffMainThread);
    }

    void aHigherResponseNumberFailsAndDisconnects() {
        ControllerRig rig(shortTimeouts());
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        WorkerRequest request(rig.controller, requestOfType(QStringLiteral("FileExists")));
        const auto sent = phone.receiveMessage();
        QVERIFY(sent);
        QVERIFY(phone.sendMessage({{keys::kMessageType, QStringLiteral("Response")},
                                   {keys::kResponseNum, requestNumber(*sent) + 1}}));
        QVERIFY(request.finish());
        QVERIFY(!request.result);
        QVERIFY(phone.sawClose());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.controller.peer(), kWaitMs);
    }

    // The short limit holds on the main thread, and for a request that asks for it anywhere.
    void theShortLimitGivesUpAndDisconnects_data() {
        QTest::addColumn<bool>("onWorker");
        QTest::newRow("main thread") << false;
        QTest::newRow("worker asking for it") << true;
    }
    void theShortLimitGivesUpAndDisconnects() {
        QFETCH(bool, onWorker);
        TransferTimeouts timeouts = shortTimeouts();
        timeouts.mainThreadResponse = 300ms;
        timeouts.workerResponse = 60s;
        ControllerRig rig(timeouts);
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        const QVariantMap request = requestOfType(QStringLiteral("VersionCheck"));
        const auto start = Clock::now();
        if (onWorker) {
            WorkerCall call(
                [&] { return rig.controller.sendRequest(request, ResponseLimit::Short); });
            QVERIFY(call.finish());
            QVERIFY(!call.result);
        } else {
            QVERIFY(!rig.controller.sendRequest(request));
        }
        const auto took = milliseconds(Clock::now() - start);
        QVERIFY2(took >= 300 && took < 5000, qPrintable(QString::number(took)));
        QVERIFY(phone.receiveMessage());
        QVERIFY(phone.sawClose());
    }

    void aLostConnectionEndsTheWaitAtOnce() {
        TransferTimeouts timeouts = shortTimeouts();
        timeouts.workerResponse = 60s;
        ControllerRig rig(timeouts);
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        WorkerRequest request(rig.controller, requestOfType(QStringLiteral("DirectoryList")));
        QVERIFY(phone.receiveMessage());
        const auto lost = Clock::now();
        phone.close();
        QVERIFY(request.finish());
        const auto woke = milliseconds(Clock::now() - lost);
        qInfo("RESULT request_lost_connection_ms=%lld", woke);
        QVERIFY(!request.result);
        QVERIFY2(woke < 2000, qPrintable(QString::number(woke)));
        QVERIFY(!rig.controller.makingRequest());
    }

    // The wait ends with the connection the request went on, even while another phone is
    // connected: it would otherwise hold every later request for the whole worker limit.
    void aLostConnectionEndsTheWaitWhileAnotherIsUp() {
        TransferTimeouts timeouts = shortTimeouts();
        timeouts.workerResponse = 60s;
        ControllerRig rig(timeouts);
        ScriptedPhone first;
        ScriptedPhone second;
        QVERIFY(connectTo(rig, first));
        WorkerRequest request(rig.controller, requestOfType(QStringLiteral("DirectoryList")));
        QVERIFY(first.receiveMessage());
        // The session dials one phone at a time; the client itself takes a second.
        auto wrapper = NSNetServicesWrapper::wrapperWithIP(second.typedAddress());
        QVERIFY(wrapper);
        QVERIFY(rig.controller.client()->connectToServer(GamePeer::createWithService(*wrapper)));
        QVERIFY(second.acceptAndHandshake());
        first.close();
        QVERIFY(request.finish());
        QVERIFY(!request.result);
        QVERIFY2(milliseconds(request.elapsed) < 5000,
                 qPrintable(QString::number(milliseconds(request.elapsed))));
    }

    // A worker sending request after request must not keep a main-thread request out: the
    // waiting request gets the very next turn.
    void aWaitingRequestGetsTheNextTurn() {
        ControllerRig rig(shortTimeouts());
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        constexpr int kWorkerRequests = 8;
        constexpr int kHeldRequest = 3;
        std::atomic<int> workerSent{0};
        std::thread worker([&] {
            for (int i = 0; i < kWorkerRequests; ++i) {
                rig.controller.sendRequest(requestOfType(QStringLiteral("SendChunk")));
                ++workerSent;
            }
        });
        QStringList order;
        std::atomic<bool> mainDone{false};
        std::thread phoneSide([&] {
            for (int i = 0; i < kWorkerRequests + 1; ++i) {
                const auto request = phone.receiveMessage();
                if (!request) return;
                order << request->value(keys::kRequestType).toString();
                if (order.size() == kHeldRequest) {
                    // Hold this answer until the main thread's request waits for its turn.
                    const auto deadline = Clock::now() + std::chrono::milliseconds(kWaitMs);
                    while (rig.controller.requestsWaitingForTurn() == 0 && Clock::now() < deadline)
                        std::this_thread::sleep_for(1ms);
                }
                phone.answer(*request, {{keys::kSuccess, true}});
            }
        });
        QVERIFY(QTest::qWaitFor([&] { return workerSent.load() >= kHeldRequest - 1; }, kWaitMs));
        const auto answer = rig.controller.sendRequest(requestOfType(QStringLiteral("RemoveFile")));
        mainDone = true;
        worker.join();
        phoneSide.join();
        QVERIFY(answer);
        QCOMPARE(order.size(), kWorkerRequests + 1);
        QCOMPARE(order.indexOf(QStringLiteral("RemoveFile")), kHeldRequest);
    }

    void aRequestStillInFlightAfterTheTurnLimitIsGivenUp() {
        TransferTimeouts timeouts = shortTimeouts();
        timeouts.turn = 300ms;
        timeouts.workerResponse = 60s;
        ControllerRig rig(timeouts);
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        WorkerRequest first(rig.controller, requestOfType(QStringLiteral("DirectoryList")));
        QVERIFY(phone.receiveMessage());
        const auto start = Clock::now();
        const auto second = rig.controller.sendRequest(requestOfType(QStringLiteral("RemoveFile")));
        QVERIFY(milliseconds(Clock::now() - start) >= 300);
        QVERIFY(second);
        QVERIFY(second->isEmpty());
        QVERIFY(phone.sawClose());
        QVERIFY(first.finish());
        QVERIFY(!first.result);
        QCOMPARE(rig.controller.requestsWaitingForTurn(), std::size_t(0));
    }

    void aRequestThatCannotBeSentFailsWithItsCode() {
        ControllerRig rig(shortTimeouts());
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        QVariantMap unsendable = requestOfType(QStringLiteral("Notify"));
        unsendable.insert(keys::kUserInfo, QVariant::fromValue(QPoint(1, 2)));
        const auto failed = rig.controller.sendRequest(unsendable);
        QVERIFY(failed);
        QCOMPARE(failed->value(keys::kErrorCode).toInt(), int(protocol::kCannotSend));
        QCOMPARE(failed->value(keys::kSuccess).toBool(), false);
        QVERIFY(!rig.controller.makingRequest());
        // The number was used all the same; the lock was given back.
        WorkerRequest next(rig.controller, requestOfType(QStringLiteral("FileExists")));
        const auto request = phone.receiveMessage();
        QVERIFY(request);
        QCOMPARE(requestNumber(*request), qint64(2));
        QVERIFY(phone.answer(*request, {}));
        QVERIFY(next.finish());
        QVERIFY(next.result);
    }

    // Posted during a request: of one name only the latest, after the others posted before it.
    void notificationsWaitForTheResponse() {
        ControllerRig rig(shortTimeouts());
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        QObject observer;
        QStringList seen;
        for (const QString& name : {QString(notes::kDownloadProgress), QStringLiteral("Other")})
            NotificationCenter::defaultCenter().addObserver(
                name, &observer, [&](const Notification& note) {
                    seen << note.name + QLatin1Char('=') + note.userInfo.toString();
                });

        rig.controller.postNotificationNameAfterDelay(QStringLiteral("Other"), {},
                                                      QStringLiteral("before"));
        QTRY_COMPARE_WITH_TIMEOUT(seen, QStringList{QStringLiteral("Other=before")}, kWaitMs);
        seen.clear();

        WorkerRequest request(rig.controller, requestOfType(QStringLiteral("DirectoryList")));
        const auto sent = phone.receiveMessage();
        QVERIFY(sent);
        QVERIFY(rig.controller.makingRequest());
        std::thread poster([&] {
            rig.controller.postNotificationNameAfterDelay(QString(notes::kDownloadProgress), {},
                                                          QStringLiteral("1"));
            rig.controller.postNotificationNameAfterDelay(QStringLiteral("Other"), {},
                                                          QStringLiteral("between"));
            rig.controller.postNotificationNameAfterDelay(QString(notes::kDownloadProgress), {},
                                                          QStringLiteral("2"));
        });
        poster.join();
        QVERIFY(phone.answer(*sent, {}));
        QVERIFY(request.finish());
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), qsizetype(2), kWaitMs);
        QCOMPARE(seen, (QStringList{QStringLiteral("Other=between"),
                                    QStringLiteral("DownloadProgress=2")}));
    }

    // Held back during a request whose connection then drops: never delivered, also not after
    // the next connection's first successful request.
    void heldNotificationsDieWithTheirConnection_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("approval") << QString(notes::kConnectionAllowed);
        QTest::newRow("end of the download") << QString(notes::kTransferFinished);
    }
    void heldNotificationsDieWithTheirConnection() {
        QFETCH(QString, name);
        AnsweringRig r;
        SeenNotes window({name});
        ScriptedPhone first;
        QVERIFY(connectTo(r.rig, first));
        QVERIFY(r.askDownload(first, QStringLiteral("/X")));
        WorkerRequest pending(r.rig.controller, requestOfType(QStringLiteral("DirectoryList")));
        QVERIFY(first.receiveMessage());
        const auto answer = r.phoneAsks(
            first, NotifyRequest{name, QVariantMap{{keys::kPath, QStringLiteral("X")}}}.encode());
        QVERIFY(answer);
        QCOMPARE(answer->value(keys::kSuccess).toBool(), true);
        first.close();
        QVERIFY(pending.finish());
        QVERIFY(!pending.result);

        ScriptedPhone second;
        QVERIFY(connectTo(r.rig, second));
        QVERIFY(r.askDownload(second, QStringLiteral("/X")));
        QCOMPARE(window.settled(r.rig.controller), QStringList());
    }

    // A download's notes count only on the connection that asked for it and only for its item;
    // the download asked for on the current connection still ends as it should.
    void downloadNotesCountOnlyForTheDownloadUnderWay_data() {
        QTest::addColumn<bool>("fromAnotherConnection");
        QTest::newRow("another item") << false;
        QTest::newRow("another connection") << true;
    }
    void downloadNotesCountOnlyForTheDownloadUnderWay() {
        QFETCH(bool, fromAnotherConnection);
        AnsweringRig r;
        SeenNotes window({QString(notes::kTransferFinished), QString(notes::kDownloadProgress)});
        auto first = std::make_unique<ScriptedPhone>();
        QVERIFY(connectTo(r.rig, *first));
        QVERIFY(r.askDownload(*first, QStringLiteral("/X")));
        std::unique_ptr<ScriptedPhone> second;
        ScriptedPhone* sender = first.get();
        QString item = QStringLiteral("X");
        if (fromAnotherConnection) {
            first->close();
            QTRY_VERIFY_WITH_TIMEOUT(!r.rig.controller.peer(), kWaitMs);
            second = std::make_unique<ScriptedPhone>();
            QVERIFY(connectTo(r.rig, *second));
            sender = second.get();
        } else {
            item = QStringLiteral("Y");
        }
        QVERIFY(r.phoneAsks(*sender, pieceOf(item)));
        QVERIFY(r.phoneAsks(*sender, transferFinished(item)));
        QCOMPARE(window.settled(r.rig.controller), QStringList());

        QVERIFY(r.askDownload(*sender, QStringLiteral("/Z")));
        QVERIFY(r.phoneAsks(*sender, pieceOf(QStringLiteral("Z"))));
        QVERIFY(r.phoneAsks(*sender, transferFinished(QStringLiteral("Z"))));
        QCOMPARE(
            window.settled(r.rig.controller),
            (QStringList{QString(notes::kDownloadProgress), QString(notes::kTransferFinished)}));
    }

    void whatIsNotAMessageIsDroppedWithoutAnswer() {
        ControllerRig rig(shortTimeouts());
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        QVERIFY(phone.sendPayload(payloadWithMagic(protocol::kMessageMagic)));
        QVERIFY(phone.sendPayload(payloadWithMagic(0x01020304, "bplist00")));
        QVERIFY(phone.sendPayload(payloadWithMagic(protocol::kMessageMagic, "not a plist")));
        QVERIFY(phone.sendMessage(
            {{keys::kMessageType, QStringLiteral("Banana")}, {keys::kRequestNum, 5}}));
        QVERIFY(phone.sendMessage({{keys::kMessageType, 42}, {keys::kRequestNum, 6}}));
        QVERIFY(phone.sendMessage({{keys::kMessageType, QStringLiteral("Request")},
                                   {keys::kRequestType, QString(requests::kNotify)}}));
        QVERIFY(phone.sendMessage({{keys::kMessageType, QStringLiteral("Request")},
                                   {keys::kRequestType, QStringLiteral("Unknown")},
                                   {keys::kRequestNum, 7}}));
        // The only answer is the last request's.
        const auto answer = phone.receiveMessage();
        QVERIFY(answer);
        QCOMPARE(*answer, (QVariantMap{{keys::kMessageType, QStringLiteral("Response")},
                                       {keys::kResponseNum, qint64(7)},
                                       {keys::kGood, QStringLiteral("Nuthin")}}));
        QVERIFY(rig.controller.connected());
    }

    void thePhonesRequestIsAnsweredWhileThePCWaits() {
        ControllerRig rig(shortTimeouts());
        ScriptedPhone phone;
        QVERIFY(connectTo(rig, phone));
        WorkerRequest request(rig.controller, requestOfType(QStringLiteral("DirectoryList")));
        const auto ours = phone.receiveMessage();
        QVERIFY(ours);
        QVERIFY(phone.sendMessage({{keys::kMessageType, QStringLiteral("Request")},
                                   {keys::kRequestType, QString(requests::kVersionCheck)},
                                   {keys::kRequestNum, 1}}));
        const auto answer = phone.receiveMessage();
        QVERIFY(answer);
        QCOMPARE(answer->value(keys::kResponseNum).toLongLong(), qint64(1));
        QVERIFY(!request.done);
        QVERIFY(phone.answer(*ours, {{keys::kSuccess, true}}));
        QVERIFY(request.finish());
        QVERIFY(request.result);
    }

    // The simulated phone answers its first request twice, the second time just before the
    // next answer: the late copy is dropped and each request gets its own answer.
    void againstThePhoneWithALateDuplicate() {
        PhoneProcess phone({QStringLiteral("--late-response")});
        QVERIFY(phone.started());
        ControllerRig rig(shortTimeouts());
        QCOMPARE(rig.controller.addServer(QStringLiteral("127.0.0.1:%1").arg(phone.port())),
                 AddServerResult::Connecting);
        QTRY_VERIFY_WITH_TIMEOUT(rig.controller.peer() && rig.controller.connected(), kWaitMs);
        for (const QString& type :
             {QString(requests::kVersionCheck), QString(requests::kFileExists)}) {
            QVariantMap request = requestOfType(type);
            request.insert(keys::kPath, QStringLiteral("/nothing here"));
            request.insert(keys::kServerVersion, protocol::kProtocolVersion);
            WorkerRequest sent(rig.controller, request);
            QVERIFY(sent.finish());
            QVERIFY2(sent.result, qPrintable(phone.output()));
            if (type == requests::kVersionCheck)
                QVERIFY(sent.result->contains(keys::kClientVersion));
            else
                QCOMPARE(sent.result->value(keys::kExists).toBool(), false);
        }
        QVERIFY(phone.output().contains(QStringLiteral("late")));
    }
};

QTEST_GUILESS_MAIN(ClientServerTest)
#include "tst_clientserver.moc"
