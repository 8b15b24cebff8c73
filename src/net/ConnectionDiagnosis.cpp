#include "net/ConnectionDiagnosis.h"

#include "net/ConnectionChecks.h"
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "net/LocalSubnets.h"
#include "net/NSNetServicesWrapper.h"
#include "net/NetworkThread.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace vantle {
namespace {

using diagnosis::SeenPhone;

// How often the discovery window looks for a request to stop early.
constexpr int kInterruptionPollMs = 100;

bool interrupted() {
    return QThread::currentThread()->isInterruptionRequested();
}

// Lets the calling thread's events run for `ms`, or until an interruption is requested.
void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer window;
    window.setSingleShot(true);
    QObject::connect(&window, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop] {
        if (interrupted()) loop.quit();
    });
    window.start(ms);
    poll.start(kInterruptionPollMs);
    loop.exec();
}

std::vector<SeenPhone> phonesOnline(const GameClient& client) {
    std::vector<SeenPhone> seen;
    for (const auto& peer : client.onlineServers().value_or(std::vector<GameClient::PeerPtr>{}))
        seen.push_back(SeenPhone{.uniqueID = peer->uniqueID().value_or(QString()),
                                 .name = peer->name().value_or(QString()),
                                 .address = peer->socketAddress()});
    return seen;
}

} // namespace

ConnectionReport
runConnectionDiagnosis(const DiagnosisSettings& settings,
                       const std::function<void(const DiagnosticCheck&)>& onCheck) {
    ConnectionReport report;
    const auto add = [&](DiagnosticCheck check) {
        if (onCheck) onCheck(check);
        report.checks.push_back(std::move(check));
    };
    startNetworkThread();

    const bool loaded = loadBonjourDLL();
    add(diagnosis::libraryCheck(loaded, dnsSdLoadError()));

    std::shared_ptr<GameClient> client;
    std::optional<dnssd::DNSServiceErrorType> browseError;
    if (loaded) {
        client = GameClient::create();
        const bool browsing =
            client->startDiscoveringServersWithIdentifier(QLatin1String(kVantleServiceIdentifier));
        browseError = client->discoveryError();
        // A browser that could not even be made is no daemon answering either.
        if (!browsing && *browseError == dnssd::kDNSServiceErr_NoError)
            browseError = dnssd::kDNSServiceErr_Unknown;
        if (!browsing) client.reset();
    }
    add(diagnosis::daemonCheck(browseError));

    // The interfaces are read while the browser is already listening.
    const std::vector<LocalAddress> addresses = localIPv4Addresses();
    add(diagnosis::interfacesCheck(addresses));

    std::optional<std::vector<SeenPhone>> seen;
    if (client) {
        runEventsFor(settings.discoveryWindowMs);
        if (interrupted()) return report;
        seen = phonesOnline(*client);
        client->stopDiscoveringServers();
        client.reset();
    }
    add(diagnosis::phonesCheck(seen, settings.discoveryWindowMs, addresses,
                               settings.address.has_value()));

    if (settings.address) {
        const auto target = addressToDial(*settings.address);
        if (!target) {
            add(diagnosis::unknownAddressCheck(*settings.address, target.error()));
            return report;
        }
        const ProbeResult result = probePhone(*target, settings.limits);
        report.phoneAnswered = result.answered();
        add(diagnosis::connectionCheck(*settings.address, result, settings.limits));
        return report;
    }
    if (!seen || seen->empty()) {
        add(diagnosis::nothingToConnectCheck());
        return report;
    }
    const std::size_t dialled = std::min(seen->size(), DiagnosisSettings::kMostPhonesDialled);
    for (std::size_t i = 0; i < dialled && !interrupted(); ++i) {
        const ProbeResult result = probePhone((*seen)[i].address, settings.limits);
        report.phoneAnswered = report.phoneAnswered || result.answered();
        add(diagnosis::connectionCheck(diagnosis::phoneLabel((*seen)[i]), result, settings.limits));
    }
    if (dialled < seen->size()) add(diagnosis::notDialledCheck(seen->size() - dialled));
    return report;
}

} // namespace vantle
