#pragma once

#include "app/TransferRecord.h"
#include "app/notify/DesktopNotifier.h"

#include <QString>

// The ends of transfers as the rooms report them, handed to the notifier the way the wiring does.
namespace vantle::test {

// A download has arrived at `path`.
inline void notifyArrived(DesktopNotifier& notifier, const QString& path) {
    TransferRecord record;
    record.direction = TransferDirection::Received;
    record.localPath = path;
    notifier.notifyTransferEnded(record);
}

// The upload of the item called `name` failed; `reason` may be empty.
inline void notifyUploadFailed(DesktopNotifier& notifier, const QString& name,
                               const QString& reason) {
    TransferRecord record;
    record.result = TransferResult::Failed;
    record.name = name;
    record.reason = reason;
    notifier.notifyTransferEnded(record);
}

} // namespace vantle::test
