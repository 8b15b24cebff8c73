#pragma once

#include <QString>

namespace vantle {

// What the phone's file table needs of the application controller. Every call comes on the main
// thread.
class PhoneHost {
public:
    virtual ~PhoneHost() = default;

    virtual bool connected() const = 0;
    // Asks for the file, or lets it wait its turn; true when it was asked for right away (the
    // phone answers later). False, and not asked for, while it is being removed.
    virtual bool requestFile(const QString& path) = 0;
    virtual void cancelDownload() = 0;
    // The file goes to the normal download place, not into a folder chosen earlier.
    virtual void forgetDropDestination(const QString& path) = 0;
};

} // namespace vantle
