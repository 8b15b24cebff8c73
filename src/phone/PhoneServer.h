#pragma once

#include "phone/PhoneAction.h"
#include "phone/PhoneApproval.h"
#include "phone/PhoneOptions.h"
#include "phone/PhoneRecorder.h"
#include "phone/PhoneStore.h"

#include <QObject>
#include <QPointer>
#include <deque>
#include <vector>

class QTcpServer;
class QTcpSocket;

namespace vantle::phone {

class PhoneSession;

// Listens for PCs and serves one at a time. A PC that connects while another is connected waits:
// it is served as soon as that connection has ended (a PC reconnecting may be seen before its
// old connection's end), and turned away when the other stays past a grace period.
class PhoneServer : public QObject {
    Q_OBJECT

public:
    // `recorder` is shared by every PC's session; it records nothing unless opened.
    PhoneServer(PhoneStore& store, PhoneRecorder& recorder, const PhoneOptions& options,
                std::vector<PhoneAction> script, QObject* parent = nullptr);

    // Prints "listening on ADDRESS:PORT"; false (with the reason printed) when it cannot listen.
    bool listen();
    // The port listened on, once listening.
    std::uint16_t port() const;
    // An action typed on standard input; runs in the connected PC's session.
    void typedAction(const PhoneAction& action);

private:
    void acceptPending();
    void serveWaiting();
    void turnAway(QTcpSocket* socket);

    PhoneStore& mStore;
    PhoneRecorder& mRecorder;
    PhoneApproval mApproval;
    PhoneOptions mOptions;
    std::vector<PhoneAction> mScript;
    QTcpServer* mServer;
    QPointer<PhoneSession> mSession;
    std::deque<QTcpSocket*> mWaiting; // owned by mServer until served or turned away
    int mConnections = 0;
};

} // namespace vantle::phone
