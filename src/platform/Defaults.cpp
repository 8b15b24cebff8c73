#include "platform/Defaults.h"

#include <QSettings>

namespace vantle {
namespace {
const QLatin1StringView kOrganisation("Vantle");
const QLatin1StringView kApplication("Vantle");

QSettings& store() {
    thread_local QSettings settings(kOrganisation, kApplication);
    return settings;
}
} // namespace

bool Defaults::boolValue(const QVariant& stored) {
    if (stored.typeId() == QMetaType::QString) return stored.toString() == QLatin1String("1");
    return stored.toBool();
}

bool Defaults::boolForKey(const QString& key, bool defaultValue) {
    const QVariant stored = store().value(key);
    if (!stored.isValid()) return defaultValue;
    return boolValue(stored);
}

void Defaults::setBool(const QString& key, bool value) {
    store().setValue(key, value ? 1 : 0);
}

bool Defaults::contains(const QString& key) {
    return store().contains(key);
}

QVariant Defaults::value(const QString& key) {
    return store().value(key);
}

void Defaults::setValue(const QString& key, const QVariant& value) {
    store().setValue(key, value);
}

void Defaults::remove(const QString& key) {
    store().remove(key);
}

void Defaults::sync() {
    store().sync();
}

} // namespace vantle
