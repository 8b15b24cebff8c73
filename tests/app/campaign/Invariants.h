#pragma once

#include "app/campaign/PhoneControl.h"
#include "app/campaign/UserModel.h"

#include <QList>
#include <QStringList>

namespace vantle::campaign {

struct Violation {
    QString invariant; // "I1" ... "I5", "D1" ... "D4"
    QString text;
};

// What the program shows at the end of a run.
struct Outcome {
    QStringList queuedPaths; // the queue's rows, oldest first
    QString said;            // every sheet's and alert's text, and the program's log
};

// `name` and the free names made of it ("stem-N.ext") among `entries`.
QStringList namesFor(const QString& name, const QStringList& entries);

// I1 (every item arrived byte for byte, is queued, or was taken back; a vanished one is not on
// the phone damaged) and I4 (no partial copy the program said nothing about).
QList<Violation> checkItems(const UserModel& model, const PhoneControl& phone,
                            const Outcome& outcome);
// I2: the phone's own files are as they were, unless the user let them be replaced.
QList<Violation> checkPhoneFiles(const UserModel& model, const PhoneControl& phone);
// I3: after a quit, the queue file holds each of `expected` that has not arrived on the phone.
QList<Violation> checkQueueFile(const UserModel& model, const PhoneControl& phone,
                                const QStringList& expected, const QString& queueFile,
                                const QString& when);
// The queue's rows: one per path.
QList<Violation> checkRows(const QStringList& rows);

// The paths a queue file lists; empty when there is none or it cannot be read.
QStringList queueFilePaths(const QString& queueFile);

} // namespace vantle::campaign
