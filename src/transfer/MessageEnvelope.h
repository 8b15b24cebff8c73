#pragma once

#include "transfer/RequestType.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <optional>

namespace vantle {

enum class MessageType {
    Request,
    Response,
    Unknown, // missing, not a string, or neither word
};

// The keys every message carries around its own fields.
struct Envelope {
    MessageType messageType = MessageType::Unknown;
    // "RequestType" as received (empty when missing or not a string), for log lines.
    QString requestTypeName;
    RequestType requestType = RequestType::Unknown;
    // None when missing or not a 32-bit integer: such a request cannot be answered.
    std::optional<std::int32_t> requestNum;
    // A response without a usable "ResponseNum" counts as number 0.
    std::int32_t responseNum = 0;

    static Envelope decode(const QVariantMap& message);
};

// Add "MessageType" and the number to a request (whose fields already name its "RequestType") or
// to a response.
void addRequestEnvelope(QVariantMap& request, std::int32_t requestNum);
void addResponseEnvelope(QVariantMap& response, std::int32_t responseNum);

// The payload of an application message: the message magic, then the dictionary as a binary
// property list. Empty (and logged) when the dictionary holds a value a property list cannot
// carry.
QByteArray encodeMessage(const QVariantMap& message);
// None when the payload is not an application message (too short, another magic, not a
// dictionary); `error` receives the parser's complaint when there is one.
std::optional<QVariantMap> decodeMessage(const QByteArray& payload, QString* error = nullptr);

} // namespace vantle
