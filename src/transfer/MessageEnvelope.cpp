#include "transfer/MessageEnvelope.h"

#include "net/DictionaryCodec.h"
#include "transfer/MessageFields.h"
#include "transfer/ProtocolKeys.h"

namespace vantle {

Envelope Envelope::decode(const QVariantMap& message) {
    Envelope envelope;
    const std::optional<QString> type = fields::responseField<QString>(message, keys::kMessageType);
    if (type == messageTypes::kRequest)
        envelope.messageType = MessageType::Request;
    else if (type == messageTypes::kResponse)
        envelope.messageType = MessageType::Response;
    envelope.requestTypeName =
        fields::responseField<QString>(message, keys::kRequestType).value_or(QString());
    envelope.requestType = requestTypeFromName(envelope.requestTypeName);
    envelope.requestNum = fields::responseField<std::int32_t>(message, keys::kRequestNum);
    envelope.responseNum = fields::responseValue<std::int32_t>(message, keys::kResponseNum);
    return envelope;
}

void addRequestEnvelope(QVariantMap& request, std::int32_t requestNum) {
    request.insert(keys::kMessageType, messageTypes::kRequest);
    request.insert(keys::kRequestNum, requestNum);
}

void addResponseEnvelope(QVariantMap& response, std::int32_t responseNum) {
    response.insert(keys::kMessageType, messageTypes::kResponse);
    response.insert(keys::kResponseNum, responseNum);
}

QByteArray encodeMessage(const QVariantMap& message) {
    return encodeDictionary(protocol::kMessageMagic, message);
}

std::optional<QVariantMap> decodeMessage(const QByteArray& payload, QString* error) {
    return decodeDictionary(protocol::kMessageMagic, payload, error);
}

} // namespace vantle
