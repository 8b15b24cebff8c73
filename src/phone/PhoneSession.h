#pragma once

#include "net/FrameReader.h"
#include "phone/PhoneAction.h"
#include "phone/PhoneItemSender.h"
#include "phone/PhoneOptions.h"
#include "phone/PhoneStore.h"

#include <QMap>
#include <QObject>
#include <QVariantMap>
#include <deque>
#include <functional>
#include <optional>

class QTcpSocket;

namespace vantle::phone {

// One PC's connection, seen from the phone: the handshake, approval, answers to the PC's
// requests (in arrival order, each after the configured delay), the phone's own requests, and
// the injected faults.
class PhoneSession : public QObject {
    Q_OBJECT

public:
    PhoneSession(QTcpSocket* socket, PhoneStore& store, const PhoneOptions& options,
                 std::vector<PhoneAction> script, QObject* parent = nullptr);

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
    void handlePayload(const QByteArray& payload);
    void handleHandshake(const QVariantMap& dictionary, const QByteArray& payload);
    void handleMessage(const QVariantMap& message);
    void answerNext();
    void answer(const QVariantMap& request);
    void sendPayload(const QByteArray& payload);
    void sendMessage(const QVariantMap& message);
    void sendRequest(QVariantMap request, Reply onAnswer);
    void approved(bool allowed);
    void sendGarbage();
    void runNextAction();
    void push(const QString& phonePath, std::function<void()> done);
    void pushNext(std::shared_ptr<PhoneItemSender> sender, std::function<void()> done);
    void close(const QString& why);
    void log(const QString& line) const;

    QTcpSocket* mSocket;
    PhoneStore& mStore;
    PhoneOptions mOptions;
    FrameReader mReader;
    Stage mStage = Stage::AwaitingHandshake;
    qint64 mRequestNum = 0;
    QMap<qint64, Reply> mAwaiting;
    std::deque<QVariantMap> mIncoming;
    bool mAnswering = false;
    int mPiecesReceived = 0;
    bool mLateArmed = false;
    std::optional<QVariantMap> mLateAnswer;
    std::deque<PhoneAction> mActions;
    bool mActionRunning = false;
};

} // namespace vantle::phone
