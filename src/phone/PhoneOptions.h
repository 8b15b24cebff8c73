#pragma once

#include "net/WireFormat.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace vantle::phone {

struct PhoneOptions {
    QString bind = QStringLiteral("127.0.0.1");
    std::uint16_t port = wire::kDefaultPhonePort;
    QString id = QStringLiteral("5A-1E-0C-0F-FE-E0");
    QString name = QStringLiteral("Simulated iPhone");
    QString appName = QStringLiteral("Vantle");
    QString store;  // empty: a fresh temporary folder with sample files
    QString script; // actions to run once the PC is approved
    bool interactive = false;
    bool deny = false;
    bool noUpload = false;
    int maxName = 255;
    int delayMs = 0;
    int dropAfterChunks = 0;  // 0: never
    QMap<int, int> failChunk; // piece number (from 1 in a session) -> "ErrorCode"
    bool lateResponse = false;
    bool garbage = false;
    bool quiet = false;
    bool advertise = false;
    bool help = false;
};

struct ParsedOptions {
    PhoneOptions options;
    QString error; // empty when the arguments were understood
};

// Arguments without the program name; "--name value" and "--name=value" both work.
ParsedOptions parsePhoneOptions(const QStringList& arguments);
QString phoneHelpText();

} // namespace vantle::phone
