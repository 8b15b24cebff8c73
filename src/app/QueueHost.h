#pragma once

#include <QString>
#include <functional>

namespace vantle {

// Told whether the queue file holds files handed in: true once they are written there.
using WhenSaved = std::function<void(bool saved)>;

// What the upload queue needs of the application controller. Every call comes on the main thread.
class QueueHost {
public:
    virtual ~QueueHost() = default;

    // The queue's contents changed: the hint over the empty queue follows.
    virtual void queueTableChanged() = 0;
    // The item being uploaded left the queue: cancel its upload.
    virtual void stopButton() = 0;
    // An item left the queue: when it was a hand-off kept in the temporary queue folder, delete it.
    virtual void removeIfInTempQueue(const QString& path) = 0;
};

} // namespace vantle
