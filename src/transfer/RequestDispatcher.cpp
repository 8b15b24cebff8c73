#include "transfer/RequestDispatcher.h"

#include "transfer/MessageEnvelope.h"
#include "transfer/Responses.h"

namespace vantle {

std::optional<QVariantMap> UnhandledRequestDispatcher::dispatchRequest(const QVariantMap& request) {
    const std::optional<std::int32_t> number = Envelope::decode(request).requestNum;
    if (!number) return std::nullopt;
    QVariantMap response = unhandledRequestResponse();
    addResponseEnvelope(response, *number);
    return response;
}

} // namespace vantle
