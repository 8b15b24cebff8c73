#include "phone/PhoneServer.h"

#include "phone/PhoneMessageLog.h"
#include "phone/PhoneSession.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>

namespace vantle::phone {

PhoneServer::PhoneServer(PhoneStore& store, const PhoneOptions& options,
                         std::vector<PhoneAction> script, QObject* parent)
    : QObject(parent), mStore(store), mOptions(options), mScript(std::move(script)),
      mServer(new QTcpServer(this)) {
    connect(mServer, &QTcpServer::newConnection, this, &PhoneServer::acceptPending);
}

bool PhoneServer::listen() {
    QHostAddress address;
    if (!address.setAddress(mOptions.bind)) {
        std::fprintf(stderr, "vantle-phone: %s is not an address to listen on\n",
                     qPrintable(mOptions.bind));
        return false;
    }
    if (!mServer->listen(address, mOptions.port)) {
        std::fprintf(stderr, "vantle-phone: cannot listen on %s:%u: %s\n",
                     qPrintable(mOptions.bind), static_cast<unsigned>(mOptions.port),
                     qPrintable(mServer->errorString()));
        return false;
    }
    printLine(QStringLiteral("listening on %1:%2")
                  .arg(mServer->serverAddress().toString())
                  .arg(mServer->serverPort()));
    return true;
}

std::uint16_t PhoneServer::port() const {
    return mServer->serverPort();
}

void PhoneServer::acceptPending() {
    while (QTcpSocket* socket = mServer->nextPendingConnection()) {
        if (mSession && mSession->isOpen()) {
            if (!mOptions.quiet) printLine(QStringLiteral("-- turning away a second PC"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        mSession = new PhoneSession(socket, mStore, mOptions, mScript, this);
        connect(mSession, &PhoneSession::finished, mSession, &QObject::deleteLater);
    }
}

void PhoneServer::typedAction(const PhoneAction& action) {
    if (!mSession) {
        printLine(QStringLiteral("-- no PC is connected"));
        return;
    }
    mSession->enqueueAction(action);
}

} // namespace vantle::phone
