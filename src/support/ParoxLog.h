#pragma once

#include "support/ParoxLogger.h"
#include "support/StringFormat.h"

namespace vantle {

// Ordinary messages: nothing at all until a default logger exists.
template <class... Args> void ParoxLog(const char* format, const Args&... args) {
    if (auto logger = ParoxLogger::defaultLogger()) logger->log(stringWithFormat(format, args...));
}

// Errors: always reach the platform's log, and the default logger when there is one.
template <class... Args> void ParoxErrorLog(const char* format, const Args&... args) {
    const QString message = stringWithFormat(format, args...);
    platformLog(ParoxLogger::getAppName() + QStringLiteral(": ") + message);
    if (auto logger = ParoxLogger::defaultLogger()) logger->log(message);
}

} // namespace vantle
