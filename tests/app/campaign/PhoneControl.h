#pragma once

#include "app/campaign/Tree.h"
#include "support/harness/Program.h"

#include <QStringList>
#include <random>

namespace vantle::campaign {

// The faults the simulated phone is started with.
enum class PhoneFault {
    None,
    Slow,        // --delay-ms
    Drop,        // --drop-after-chunks
    FailPiece,   // --fail-chunk N=CODE
    NoUpload,    // --no-upload
    Deny,        // --deny
    DenyFirst,   // --deny-first
    StopMidItem, // --stop-after-pieces N: an item sent to the PC stops half way
};

// The run's vantle-phone: one store and one identity through every restart, whatever faults it
// is started with.
class PhoneControl {
public:
    PhoneControl();
    // Stops the phone by its process id and starts it again, on a new port, with `fault`.
    bool restart(PhoneFault fault, std::mt19937& random);
    void stop() { mPhone.stop(); }
    bool running() const { return mPhone.running(); }
    qint64 processId() const { return mPhone.process ? mPhone.process->processId() : 0; }
    QString address() const { return mPhone.address(); }
    QString store() const { return mPhone.store.path(); }
    PhoneFault fault() const { return mFault; }
    // The options of the last start, as a replay shows them.
    QString options() const { return mOptions.join(QLatin1Char(' ')); }

    // Puts a file in the store before the run; its bytes.
    QByteArray putFile(const QString& name, const QByteArray& bytes);
    // What the store holds under `name` (a file or a folder's files).
    Tree treeOf(const QString& name) const;
    // The names at the top of the store.
    QStringList topNames() const;

private:
    test::Phone mPhone;
    PhoneFault mFault = PhoneFault::None;
    QStringList mOptions;
};

} // namespace vantle::campaign
