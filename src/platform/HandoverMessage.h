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
// with, the address it was told to connect to, whether the window comes forward for them, and
// the desktop's token that lets the running program bring its window forward. On the wire a JSON
// document, {"files": ["/abs/path", ...], "connect": "HOST[:PORT]", "background": true,
// "activationToken": "TOKEN"}; "background" only when it is; a start of an older version sends
// no token.
struct HandoverMessage {
    QStringList files;
    std::optional<QString> connect;
    WindowRequest window = WindowRequest::Show;
    std::optional<QString> activationToken = std::nullopt;

    friend bool operator==(const HandoverMessage&, const HandoverMessage&) = default;
};

// Larger documents are refused before they are read.
inline constexpr qsizetype kMaxHandoverBytes = 1024 * 1024;
// Longer than any host name with a port.
inline constexpr qsizetype kMaxHandoverConnectLength = 1024;
// Longer than the tokens desktops hand out (an X11 startup id holds a host name and a time).
inline constexpr qsizetype kMaxActivationTokenLength = 1024;

QByteArray encodeHandoverMessage(const HandoverMessage& message);

// Takes bytes from another process as untrusted: a JSON object of at most kMaxHandoverBytes whose
// "files" are absolute paths (returned cleaned) and whose "connect", when present, is a non-empty
// text of at most kMaxHandoverConnectLength characters, and whose "background", when present, is
// true or false. An "activationToken" is kept when it is a non-empty text of at most
// kMaxActivationTokenLength printable ASCII characters, and left out otherwise: the files matter
// more than the raise. Other keys are ignored.
Result<HandoverMessage> decodeHandoverMessage(const QByteArray& document);

} // namespace vantle

// Carried by signals and QVariant.
Q_DECLARE_METATYPE(vantle::HandoverMessage)
