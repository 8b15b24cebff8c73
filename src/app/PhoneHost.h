#pragma once

#include <QString>

namespace vantle {

// What the phone's file table needs of the application controller. Every call comes on the main
// thread.
class PhoneHost {
public:
    virtual ~PhoneHost() = default;

    virtual bool connected() const = 0;
    // Asks for the file, or lets it wait its turn; true when it was requested right away.
    virtual bool requestFile(const QString& path) = 0;
    virtual void cancelDownload() = 0;
    // The file goes to the normal download place, not into a folder chosen earlier.
    virtual void forgetDropDestination(const QString& path) = 0;
};

} // namespace vantle
