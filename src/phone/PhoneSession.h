#pragma once

#include "net/FrameReader.h"
#include "phone/PhoneAction.h"
#include "phone/PhoneApproval.h"
#include "phone/PhoneFaults.h"
#include "phone/PhoneItemSender.h"
#include "phone/PhoneOptions.h"
#include "phone/PhoneReadThrottle.h"
#include "phone/PhoneRecorder.h"
#include "phone/PhoneStore.h"

#include <QMap>
#include <QObject>
#include <QVariantMap>
#include <deque>
#include <functional>
#include <optional>

class QTcpSocket;

namespace vantle::phone {

// What the sessions of one phone share.
struct PhoneShared {
    PhoneStore& store;
    PhoneApproval& approval;
    PhoneRecorder& recorder;
};

// One PC's connection, seen from the phone: the handshake, approval, answers to the PC's
// requests (in arrival order, each after the configured delay), the phone's own requests, and
// the injected faults. Items go to the PC one at a time.
class PhoneSession : public QObject {
    Q_OBJECT

public:
    // `connection` numbers the PC's connection in the record, from 1.
    PhoneSession(QTcpSocket* socket, PhoneShared shared, const PhoneOptions& options,
                 std::vector<PhoneAction> script, int connection, QObject* parent = nullptr);

    // Runs after the approval, in order with the script's actions.
    void enqueueAction(const PhoneAction& action);
    // False once the connection has ended, from either side.
    bool isOpen() const { return mStage != Stage::Closed; }

signals:
    void finished();

private:
    enum class Stage { AwaitingHandshake, AwaitingApproval, Approved, Closed };
    using Reply = std::function<void(const QVariantMap&)>;

    void readIncoming();
    void holdReading();
    void handlePayload(const QByteArray& payload);
    void handleHandshake(const QVariantMap& dictionary, const QByteArray& payload);
    void handleMessage(const QVariantMap& message);
    void answerNext();
    void answer(const QVariantMap& request);
    void deliver(QVariantMap response, const QVariant& requestNum, const QString& type);
    void sendPayload(const QByteArray& payload);
    void sendMessage(const QVariantMap& message);
    void sendRequest(QVariantMap request, Reply onAnswer);
    void sendVerdict(PhoneApproval::Verdict verdict);
    void approved(PhoneApproval::Verdict verdict);
    void record(PhoneRecorder::Direction direction, PhoneRecorder::Kind kind,
                const QVariantMap& dictionary);
    void sendGarbage();
    void runNextAction();
    void push(const QString& phonePath, std::function<void()> done);
    void startNextPush();
    void pushNext(std::shared_ptr<PhoneItemSender> sender);
    void pushEnded();
    void close(const QString& why);
    void log(const QString& line) const;

    struct PendingPush {
        QString phonePath;
        std::function<void()> done;
    };

    QTcpSocket* mSocket;
    PhoneStore& mStore;
    PhoneApproval& mApproval;
    PhoneRecorder& mRecorder;
    PhoneOptions mOptions;
    int mConnection;
    FrameReader mReader;
    PhoneReadThrottle mThrottle;
    enum class Reading { Open, Stopped };
    Reading mReading = Reading::Open;
    bool mReadRetryArmed = false;
    Stage mStage = Stage::AwaitingHandshake;
    qint64 mRequestNum = 0;
    QMap<qint64, Reply> mAwaiting;
    std::deque<QVariantMap> mIncoming;
    bool mAnswering = false;
    int mPiecesReceived = 0;
    int mPiecesPushed = 0; // of the push under way, for --stop-after-pieces
    PhoneFaults mFaults;
    std::optional<QVariantMap> mLateAnswer; // goes out just before the next answer
    std::deque<PhoneAction> mActions;
    bool mActionRunning = false;
    std::deque<PendingPush> mPushes; // the first one is being sent while mPushing
    bool mPushing = false;
    std::deque<QString> mPushAs; // wire names still to give, one per push
};

} // namespace vantle::phone
