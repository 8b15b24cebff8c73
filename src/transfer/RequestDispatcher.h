#pragma once

#include <QVariantMap>
#include <optional>

namespace vantle {

// Answers the phone's requests, on the network thread.
class RequestDispatcher {
public:
    virtual ~RequestDispatcher() = default;
    // The whole response, with "MessageType" and "ResponseNum"; none when the request has no
    // "RequestNum" (it then gets no answer).
    virtual std::optional<QVariantMap> dispatchRequest(const QVariantMap& request) = 0;
};

// Answers every request as one nobody handles: {"Good": "Nuthin"}.
class UnhandledRequestDispatcher : public RequestDispatcher {
public:
    std::optional<QVariantMap> dispatchRequest(const QVariantMap& request) override;
};

} // namespace vantle
