#pragma once

#include <QProcess>
#include <QStringList>

namespace vantle::campaign {

// The real vantle program in a process of its own, on the profile of this process (its
// environment is inherited): started connected to a phone, handed files by a second start, and
// ended by SIGTERM as a session's logout ends it.
class RealProgram {
public:
    ~RealProgram();
    // Starts `vantle --connect ADDRESS`; true once it says the phone granted the connection.
    bool start(const QString& phoneAddress);
    // A second `vantle FILE...`: true once it has exited 0, when the files count as taken.
    bool handOver(const QStringList& paths);
    // Lets the program run for `ms` while its output is collected.
    void runFor(int ms);
    // Sends SIGTERM and waits at most `limitMs`; false when it had to be killed. The time it took
    // is in `tookMs`.
    bool terminate(int limitMs, qint64& tookMs);
    QString output() const { return mOutput; }

private:
    void collect();

    QProcess mProcess;
    QString mOutput;
};

} // namespace vantle::campaign
