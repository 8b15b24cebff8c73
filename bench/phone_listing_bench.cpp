// The phone pane at 10,000 files: the program's controller (offscreen) lists vantle-phone's store
// on loopback. Each run starts with an empty node cache, as after a new connection; it times the
// listing from the request to the rows in the table (listing_10k_s, the median of the runs), then
// until every row has its icon and size (icons_10k_s). A 5 ms main-thread timer runs throughout;
// max_stall_ms is the longest it had to wait. Prints each run, then:
// RESULT listing_10k_s=... icons_10k_s=... max_stall_ms=...
#include "BenchPhone.h"
#include "app/AppController.h"
#include "app/PhoneDataSource.h"
#include "app/phone/PhonePane.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/harness/StallMeter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vantle;
using vantle::bench::BenchPhone;
using vantle::bench::StallMeter;

namespace {

constexpr int kFiles = 10'000;
constexpr int kRuns = 5;
constexpr int kLimitMs = 120'000;
constexpr double kNsPerSecond = 1e9;

bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < kLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, StallMeter::kTickMs);
    return done();
}

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / kNsPerSecond;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir profile;
    qputenv("HOME", profile.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (profile.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (profile.path() + QStringLiteral("/data")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantle"));
    Defaults::setValue(QString(settings::kAutoConnect.key), false);
    Defaults::setValue(QString(settings::kDontWarnAboutManual.key), true);

    QTemporaryDir store;
    for (int i = 0; i < kFiles; ++i) {
        QFile file(store.filePath(QStringLiteral("file%1.txt").arg(i, 5, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(i)) < 0) return 1;
    }
    const BenchPhone phone({QStringLiteral("--quiet"), QStringLiteral("--store"), store.path()});
    if (phone.port() == 0) {
        std::fprintf(stderr, "phone_listing_bench: vantle-phone did not start\n");
        return 1;
    }
    AppController controller;
    if (!controller.awakeFromNib()) return 1;
    controller.connectToTypedAddress(QStringLiteral("127.0.0.1:%1").arg(phone.port()));
    PhoneDataSource& rows = *controller.phonePane().phoneDataSource();
    const auto complete = [&] {
        return rows.rowCount() == kFiles && rows.pathsWithoutIconsAndSizes().isEmpty();
    };
    if (!waitFor(complete)) {
        std::fprintf(stderr, "phone_listing_bench: the listing never came (%d rows)\n",
                     rows.rowCount());
        return 1;
    }

    StallMeter meter;
    std::vector<double> listings;
    std::vector<double> icons;
    for (int run = 0; run < kRuns; ++run) {
        // As after a new connection: the rows and their nodes gone, every icon asked for again.
        ClearNodeCache();
        rows.refreshListingFromDevice(std::nullopt);
        QElapsedTimer clock;
        clock.start();
        controller.phonePane().refreshPhoneListing();
        bool reset = false;
        const QMetaObject::Connection watch =
            QObject::connect(&rows, &QAbstractItemModel::modelReset, [&] { reset = true; });
        if (!waitFor([&] { return reset && rows.rowCount() == kFiles; })) return 1;
        listings.push_back(seconds(clock));
        if (!waitFor(complete)) return 1;
        icons.push_back(seconds(clock));
        QObject::disconnect(watch);
        std::printf("run %d: listing %.3f s, icons and sizes %.3f s\n", run + 1, listings.back(),
                    icons.back());
    }
    std::sort(listings.begin(), listings.end());
    std::sort(icons.begin(), icons.end());
    std::printf("RESULT listing_10k_s=%.3f icons_10k_s=%.3f max_stall_ms=%.1f\n",
                listings[kRuns / 2], icons[kRuns / 2], meter.longestMs());
    return 0;
}
