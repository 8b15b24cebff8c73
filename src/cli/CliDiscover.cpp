#include "cli/CliDiscover.h"

#include "cli/CliCommands.h"
#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "net/GamePeer.h"
#include "support/ParoxLogger.h"

#include <QEventLoop>
#include <QSet>
#include <QTimer>
#include <cstdio>

namespace vantle::cli {
namespace {

constexpr int kDefaultSeconds = 5;
constexpr int kLongestSeconds = 24 * 60 * 60;
constexpr int kMillisecondsPerSecond = 1000;

QString phoneLine(const GamePeer& peer) {
    return QStringLiteral("%1  %2  %3")
        .arg(peer.uniqueID().value_or(QStringLiteral("?")),
             peer.name().value_or(QStringLiteral("?")),
             peer.address().value_or(QStringLiteral("?")));
}

// Prints the difference between one listing of the online phones and the next.
class DiscoveryPrinter : public GameClientDelegate {
public:
    std::uint32_t implementedCallbacks() const override { return kDidUpdateOnlineServers; }
    void gameClientDidUpdateOnlineServers(GameClient* client) override {
        QSet<QString> now;
        for (const auto& peer :
             client->onlineServers().value_or(std::vector<GameClient::PeerPtr>{}))
            now.insert(phoneLine(*peer));
        for (const QString& line : now)
            if (!mShown.contains(line)) print('+', line);
        for (const QString& line : mShown)
            if (!now.contains(line)) print('-', line);
        mEverSeen.unite(now);
        mShown = now;
    }
    qsizetype phonesSeen() const { return mEverSeen.size(); }

private:
    static void print(char sign, const QString& line) {
        std::printf("%c %s\n", sign, qPrintable(line));
        std::fflush(stdout);
    }
    QSet<QString> mShown, mEverSeen;
};

struct DiscoverOptions {
    int seconds = kDefaultSeconds;
    bool verbose = false;
};

std::optional<DiscoverOptions> parseOptions(const QStringList& arguments) {
    DiscoverOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString value;
        if (argument == QLatin1String("--verbose")) {
            options.verbose = true;
            continue;
        }
        if (argument == QLatin1String("--seconds") && i + 1 < arguments.size())
            value = arguments[++i];
        else if (argument.startsWith(QLatin1String("--seconds=")))
            value = argument.section(QLatin1Char('='), 1);
        else
            return std::nullopt;
        bool ok = false;
        options.seconds = value.toInt(&ok);
        if (!ok || options.seconds <= 0 || options.seconds > kLongestSeconds) return std::nullopt;
    }
    return options;
}

} // namespace

int runDiscover(const QStringList& arguments) {
    const auto options = parseOptions(arguments);
    if (!options) {
        std::fprintf(stderr,
                     "Usage: vantle-cli discover [--seconds N] [--verbose]  (N from 1 to %d)\n",
                     kLongestSeconds);
        return kExitUsage;
    }
    // Every step of browsing and resolving, for "my phone isn't found".
    if (options->verbose) ParoxLogger::createDefaultLogger(false, true);
    const int seconds = options->seconds;
    if (!loadBonjourDLL()) {
        std::fprintf(stderr, "vantle-cli: cannot look for phones: %s\n",
                     qPrintable(dnsSdLoadError()));
        return kExitFailure;
    }
    DiscoveryPrinter printer;
    auto client = GameClient::create();
    client->setDelegate(&printer);
    if (!client->startDiscoveringServersWithIdentifier(QLatin1String(kVantleServiceIdentifier))) {
        std::fprintf(stderr, "vantle-cli: cannot look for phones: %s\n",
                     qPrintable(dnsSdErrorText(client->discoveryError())));
        client->setDelegate(nullptr);
        return kExitFailure;
    }
    std::printf("Looking for phones for %d s...\n", seconds);
    std::fflush(stdout);
    QEventLoop loop;
    QTimer::singleShot(seconds * kMillisecondsPerSecond, &loop, &QEventLoop::quit);
    loop.exec();
    client->setDelegate(nullptr);
    client->stopDiscoveringServers();
    const qsizetype found = printer.phonesSeen();
    if (found == 0) {
        std::printf("No phone found. Is the phone on the same network, with Vantle open?\n");
        return kExitFailure;
    }
    std::printf("%lld phone(s) found.\n", static_cast<long long>(found));
    return kExitSuccess;
}

} // namespace vantle::cli
