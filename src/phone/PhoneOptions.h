#pragma once

#include "net/WireFormat.h"
#include "phone/PhoneFaults.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace vantle::phone {

// How the phone answers a PC that has shaken hands.
enum class Approval {
    Allow,     // "ConnectionAllowed"
    Deny,      // "ConnectionDenied", every time
    DenyFirst, // "ConnectionDenied" to the first PC, "ConnectionAllowed" to those after it
    Silent,    // no verdict at all
};

// The shape of the answer to "VersionCheck".
enum class VersionAnswer {
    Full,          // "ClientVersion", "ClientAppName" and "AllowUpload"
    GoodOnly,      // only "Good", as phones before version numbers answered
    NoAllowUpload, // without "AllowUpload"
    NoAppName,     // without "ClientAppName"
};

struct PhoneOptions {
    QString bind = QStringLiteral("127.0.0.1");
    std::uint16_t port = wire::kDefaultPhonePort;
    QString id = QStringLiteral("5A-1E-0C-0F-FE-E0");
    QString name = QStringLiteral("Simulated iPhone");
    QString appName = QStringLiteral("Vantle");
    QString store;  // empty: a fresh temporary folder with sample files
    QString script; // actions to run once the PC is approved
    bool interactive = false;
    Approval approval = Approval::Allow;
    int approveAfterMs = 0;        // wait before the verdict
    bool closeOnDeny = false;      // close the connection once the PC has answered a refusal
    qint64 stopReadingAfter = -1;  // bytes; negative: never stop
    qint64 readBytesPerSecond = 0; // 0: as fast as they come
    QString record;                // JSON-lines file of every message; empty: none
    bool noUpload = false;
    int maxName = 255;
    int delayMs = 0;
    int dropAfterChunks = 0;   // 0: never
    QMap<int, int> failChunk;  // piece number (from 1 in a session) -> "ErrorCode"
    QStringList pushAs;        // wire names for the pushes of a connection, in order
    int restartAfterPiece = 0; // 0: never; else a file of more pieces starts again after these
    AnswerFaults answerFaults; // withheld, misnumbered and repeated answers
    VersionAnswer versionAnswer = VersionAnswer::Full;
    bool garbage = false;
    bool strict = false;     // send only what the PC relies on, nothing optional
    int stopAfterPieces = 0; // 0: never; else each push goes silent after this many pieces
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
