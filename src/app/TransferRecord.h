#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace vantle {

enum class TransferDirection { Sent, Received };
enum class TransferResult { Done, Failed, Cancelled };

// How one item's transfer ended, as the room that decided it tells it: what the desktop
// notifications and the transfer history both take their word from.
struct TransferRecord {
    // When it ended, in UTC.
    QDateTime time;
    TransferDirection direction = TransferDirection::Sent;
    TransferResult result = TransferResult::Done;
    // The item's name, as the user knows it.
    QString name;
    // Bytes sent or received; none when the item was never measured.
    std::optional<quint64> size;
    // The phone's name as it gave it; empty when it gave none.
    QString phoneName;
    // The local file: the source of an upload, the file a download became (none when it did
    // not arrive).
    QString localPath;
    // Why it failed, in the user's words; empty otherwise.
    QString reason;

    bool operator==(const TransferRecord&) const = default;
};

// A transfer that ended because the phone went away.
inline QString connectionLostReason() {
    return QCoreApplication::translate("vantle::TransferRecord", "The connection was lost.");
}

} // namespace vantle

Q_DECLARE_METATYPE(vantle::TransferRecord)
