#pragma once

#include <QProcess>
#include <QStringList>
#include <cstdint>

namespace vantle::bench {

// vantle-phone from the benchmark's own folder, listening on a loopback port of its choice;
// killed by its process id when this goes.
class BenchPhone {
public:
    explicit BenchPhone(const QStringList& arguments = {});
    ~BenchPhone();
    BenchPhone(const BenchPhone&) = delete;
    BenchPhone& operator=(const BenchPhone&) = delete;

    // 0 when the phone did not start.
    std::uint16_t port() const { return mPort; }
    // VmHWM of the running phone, in kB; 0 when unknown.
    long peakKiB() const;

private:
    QProcess mProcess;
    std::uint16_t mPort = 0;
};

} // namespace vantle::bench
