#pragma once

#include <QString>
#include <QtGlobal>
#include <mutex>
#include <optional>
#include <vector>

namespace vantle {

// What an upload may have left on a phone that it could not take away again (the connection went,
// or the program ended mid-item): the name it wrote, the phone's unique ID and the most bytes it
// can have sent. Kept in the settings, so that it survives a restart; written before the pieces go
// and forgotten once the item has arrived or its remains are gone. Any thread.
class UploadPartials {
public:
    struct Partial {
        QString localPath;
        QString phoneName;
        QString phoneID;
        // No more than this many bytes of the item can be on the phone.
        quint64 bytesAtMost = 0;
        bool operator==(const Partial&) const = default;
    };

    // The record of `localPath` on the phone `phoneID`, if any.
    std::optional<Partial> find(const QString& localPath, const QString& phoneID) const;
    // Every record of the phone `phoneID`.
    std::vector<Partial> onPhone(const QString& phoneID) const;
    // Adds or replaces the record of the same local path and phone.
    void remember(const Partial& partial);
    void forget(const QString& localPath, const QString& phoneID);

private:
    std::vector<Partial> read() const;
    void write(const std::vector<Partial>& all) const;

    mutable std::mutex mLock;
};

} // namespace vantle
