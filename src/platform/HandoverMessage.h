#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace vantle {

// Whether a start brings the window to the front, or leaves the program in the background (a
// start at login).
enum class WindowRequest { Show, Background };

// What a second start of the program hands to the one already running: the files it was opened
// with, the address it was told to connect to, and whether the window comes forward for them. On
// the wire a JSON document, {"files": ["/abs/path", ...], "connect": "HOST[:PORT]",
// "background": true}; "background" only when it is.
struct HandoverMessage {
    QStringList files;
    std::optional<QString> connect;
    WindowRequest window = WindowRequest::Show;

    friend bool operator==(const HandoverMessage&, const HandoverMessage&) = default;
};

// Larger documents are refused before they are read.
inline constexpr qsizetype kMaxHandoverBytes = 1024 * 1024;
// Longer than any host name with a port.
inline constexpr qsizetype kMaxHandoverConnectLength = 1024;

QByteArray encodeHandoverMessage(const HandoverMessage& message);

// Takes bytes from another process as untrusted: a JSON object of at most kMaxHandoverBytes whose
// "files" are absolute paths (returned cleaned) and whose "connect", when present, is a non-empty
// text of at most kMaxHandoverConnectLength characters, and whose "background", when present, is
// true or false. Other keys are ignored.
Result<HandoverMessage> decodeHandoverMessage(const QByteArray& document);

} // namespace vantle

// Carried by signals and QVariant.
Q_DECLARE_METATYPE(vantle::HandoverMessage)
