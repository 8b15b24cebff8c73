#include "phone/PhoneServer.h"

#include "phone/PhoneMessageLog.h"
#include "phone/PhoneSession.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace vantle::phone {
namespace {

// How long a PC that connects during another's connection waits for it to end.
constexpr int kWaitForPreviousMs = 2000;

} // namespace

PhoneServer::PhoneServer(PhoneStore& store, PhoneRecorder& recorder, const PhoneOptions& options,
                         std::vector<PhoneAction> script, QObject* parent)
    : QObject(parent), mStore(store), mRecorder(recorder), mApproval(options.approval),
      mOptions(options), mScript(std::move(script)), mServer(new QTcpServer(this)) {
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
        mWaiting.push_back(socket);
        QTimer::singleShot(kWaitForPreviousMs, socket, [this, socket] { turnAway(socket); });
    }
    serveWaiting();
}

void PhoneServer::serveWaiting() {
    while (!mWaiting.empty() && !(mSession && mSession->isOpen())) {
        QTcpSocket* socket = mWaiting.front();
        mWaiting.pop_front();
        if (socket->state() != QAbstractSocket::ConnectedState) {
            socket->deleteLater(); // it left while waiting
            continue;
        }
        mSession = new PhoneSession(socket, {mStore, mApproval, mRecorder}, mOptions, mScript,
                                    ++mConnections, this);
        connect(mSession, &PhoneSession::finished, mSession, &QObject::deleteLater);
        // Queued: the ended session is out of its own code before the next one starts.
        connect(mSession, &PhoneSession::finished, this, &PhoneServer::serveWaiting,
                Qt::QueuedConnection);
    }
}

void PhoneServer::turnAway(QTcpSocket* socket) {
    const auto found = std::find(mWaiting.begin(), mWaiting.end(), socket);
    if (found == mWaiting.end()) return; // served meanwhile
    mWaiting.erase(found);
    if (!mOptions.quiet) printLine(QStringLiteral("-- turning away a second PC"));
    socket->abort();
    socket->deleteLater();
}

void PhoneServer::typedAction(const PhoneAction& action) {
    if (!mSession) {
        printLine(QStringLiteral("-- no PC is connected"));
        return;
    }
    mSession->enqueueAction(action);
}

} // namespace vantle::phone
