#include "platform/WindowActivation.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace vantle {
namespace {

const char kWaylandToken[] = "XDG_ACTIVATION_TOKEN";
const char kStartupId[] = "DESKTOP_STARTUP_ID";

} // namespace

std::optional<QString> startupActivationToken() {
    for (const char* name : {kWaylandToken, kStartupId})
        if (const QString token = qEnvironmentVariable(name); !token.isEmpty()) return token;
    return std::nullopt;
}

bool useActivationToken(const QString& token) {
    if (token.isEmpty() || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    qputenv(kWaylandToken, token.toUtf8());
    return true;
}

} // namespace vantle
