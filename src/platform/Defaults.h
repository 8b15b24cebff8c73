#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QVariant>
#include <optional>

namespace vantle {

// A preference read as true or false; an absent key reads as `fallback`.
struct BoolSetting {
    QLatin1StringView key;
    bool fallback;
};

// A preference that counts by being stored at all, whatever its value.
struct PresenceSetting {
    QLatin1StringView key;
};

// A preference that has no value until one is stored.
template <class T> struct ValueSetting { QLatin1StringView key; };

// The per-user defaults store: QSettings under organisation and application "Vantle". Every
// setting is declared, with its key and default, in platform/Settings.h.
class Defaults {
public:
    static bool get(const BoolSetting& setting) {
        return boolForKey(QString(setting.key), setting.fallback);
    }
    static void set(const BoolSetting& setting, bool value) {
        setBool(QString(setting.key), value);
    }

    static bool get(const PresenceSetting& setting) { return contains(QString(setting.key)); }
    // Stored as true, which is what older versions wrote.
    static void set(const PresenceSetting& setting) { setBool(QString(setting.key), true); }

    template <class T> static std::optional<T> get(const ValueSetting<T>& setting) {
        const QVariant stored = value(QString(setting.key));
        if (!stored.isValid() || stored.isNull()) return std::nullopt;
        return stored.value<T>();
    }
    template <class T> static void set(const ValueSetting<T>& setting, const T& value) {
        setValue(QString(setting.key), QVariant::fromValue(value));
    }

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
