// The steps the responsiveness scenarios are made of: waiting, phones, connecting, letting go.
#include "Responsiveness.h"
#include "support/harness/Program.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace vantle::bench {
namespace {

// How often a wait looks at what it waits for.
constexpr int kLookEveryMs = 5;
// How long the window may take to let a stopped phone go.
constexpr int kLetGoMs = 30'000;
constexpr double kMsPerSecond = 1000.0;

} // namespace

bool waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= limitMs) return false;
        QEventLoop loop;
        QTimer::singleShot(kLookEveryMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

bool fillFolder(const QString& folder, int count) {
    if (!QDir().mkpath(folder)) return false;
    for (int i = 1; i <= count; ++i) {
        QFile file(folder + QStringLiteral("/file%1.txt").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(i) + '\n') < 0)
            return false;
    }
    return true;
}

std::unique_ptr<test::Phone> startPhone(const QStringList& arguments, int count) {
    auto phone = std::make_unique<test::Phone>(arguments);
    if (!phone->running() || !fillFolder(phone->store.path(), count)) return nullptr;
    return phone;
}

bool connectAndList(Bench& bench, const test::Phone& phone, int rows, int limitMs) {
    bench.program->connectToTypedAddress(phone.address());
    return waitFor(
        [&] {
            return bench.program.statusText() == test::kConnectedStatus &&
                   bench.program.phoneDataSource()->rowCount() == rows;
        },
        limitMs);
}

void letGo(Bench& bench, std::unique_ptr<test::Phone>& phone) {
    phone.reset();
    waitFor(
        [&] {
            // A sheet about the lost phone, or one a scenario left, is taken note of.
            if (bench.program.sheets().current() &&
                !bench.program.sheets().answer(SheetPresenter::Role::Accept))
                bench.program.sheets().answer(SheetPresenter::Role::Cancel);
            return bench.program.statusText() != test::kConnectedStatus &&
                   !bench.program.sending() && !bench.program.sheets().current();
        },
        kLetGoMs);
}

QString seconds(qint64 ms) {
    return QString::number(double(ms) / kMsPerSecond, 'f', 2) + QStringLiteral(" s");
}

Measurement::Measurement(StallMeter& meter) : mMeter(meter) {
    mMeter.restart();
    mClock.start();
}

double Measurement::longestStallMs() const {
    // A stall that just ended counts once the meter has ticked after it.
    constexpr int kTicksAfter = 3;
    waitFor([] { return false; }, kTicksAfter * kMeterTickMs);
    return mMeter.longestMs();
}

} // namespace vantle::bench
