#include "transfer/RequestDispatcher.h"

#include "transfer/ProtocolKeys.h"

namespace vantle {

std::optional<QVariantMap> responseTo(const QVariantMap& request, QVariantMap body) {
    const auto number = request.constFind(keys::kRequestNum);
    if (number == request.constEnd()) return std::nullopt;
    body.insert(keys::kMessageType, QString(messageTypes::kResponse));
    body.insert(keys::kResponseNum, *number);
    return body;
}

std::optional<QVariantMap> UnhandledRequestDispatcher::dispatchRequest(const QVariantMap& request) {
    return responseTo(request, {{keys::kGood, QString(kUnhandledAnswer)}});
}

} // namespace vantle
