#pragma once

#include "phone/PhoneAction.h"
#include "phone/PhoneOptions.h"
#include "phone/PhoneStore.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QTcpServer;

namespace vantle::phone {

class PhoneSession;

// Listens for PCs and serves one at a time; a second PC is turned away while one is connected.
class PhoneServer : public QObject {
    Q_OBJECT

public:
    PhoneServer(PhoneStore& store, const PhoneOptions& options, std::vector<PhoneAction> script,
                QObject* parent = nullptr);

    // Prints "listening on ADDRESS:PORT"; false (with the reason printed) when it cannot listen.
    bool listen();
    // The port listened on, once listening.
    std::uint16_t port() const;
    // An action typed on standard input; runs in the connected PC's session.
    void typedAction(const PhoneAction& action);

private:
    void acceptPending();

    PhoneStore& mStore;
    PhoneOptions mOptions;
    std::vector<PhoneAction> mScript;
    QTcpServer* mServer;
    QPointer<PhoneSession> mSession;
};

} // namespace vantle::phone
