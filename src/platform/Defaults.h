#pragma once

#include <QString>
#include <QVariant>

namespace vantle {

// The per-user defaults store: QSettings under organisation and application "Vantle".
class Defaults {
public:
    // A stored string is true exactly when it is "1"; any other stored value counts by its own
    // boolean value; an absent key gives `defaultValue`.
    static bool boolForKey(const QString& key, bool defaultValue);
    // Booleans are stored as the numbers 1 and 0, which read back true and false under the rule
    // above whatever the settings backend turns them into.
    static void setBool(const QString& key, bool value);

    static bool contains(const QString& key);
    static QVariant value(const QString& key);
    static void setValue(const QString& key, const QVariant& value);
    static void remove(const QString& key);
    static void sync();

    // Interprets a stored value by the boolean rule above.
    static bool boolValue(const QVariant& stored);
};

} // namespace vantle
