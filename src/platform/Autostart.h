#pragma once

#include "platform/Result.h"

#include <QString>

namespace vantle {

// What the desktop starts at login: a desktop entry in the user's autostart folder. Its presence
// is the whole state; nothing else remembers it.
class Autostart {
public:
    struct Entry {
        // The desktop ID (the entry's file name without ".desktop"), also the icon's name.
        QString desktopId;
        QString name;
        // The Exec line: the program's installed name and its arguments.
        QString command;
    };

    // `configFolder`: where "autostart" lies, $XDG_CONFIG_HOME by default.
    explicit Autostart(Entry entry, QString configFolder = userConfigFolder());

    static QString userConfigFolder();
    QString entryPath() const;
    bool enabled() const;
    // Writes the entry whole (never half of it) or removes it.
    Result<void> setEnabled(bool on) const;

private:
    Result<void> write() const;
    Result<void> remove() const;

    Entry mEntry;
    QString mConfigFolder;
};

} // namespace vantle
