#include "BenchPhone.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace vantle::bench {
namespace {

constexpr int kStartMs = 10'000;

} // namespace

BenchPhone::BenchPhone(const QStringList& arguments) {
    mProcess.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vantle-phone"),
                   QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    static const QRegularExpression listening(QStringLiteral("listening on [0-9.]+:(\\d+)"));
    QString output;
    QElapsedTimer started;
    started.start();
    while (mPort == 0 && started.elapsed() < kStartMs && mProcess.waitForReadyRead(kStartMs)) {
        output += QString::fromLocal8Bit(mProcess.readAllStandardOutput());
        if (const auto match = listening.match(output); match.hasMatch())
            mPort = static_cast<std::uint16_t>(match.captured(1).toUInt());
    }
}

BenchPhone::~BenchPhone() {
    if (mProcess.state() == QProcess::NotRunning) return;
    mProcess.kill();
    mProcess.waitForFinished(kStartMs);
}

long BenchPhone::peakKiB() const {
    QFile status(QStringLiteral("/proc/%1/status").arg(mProcess.processId()));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

} // namespace vantle::bench
