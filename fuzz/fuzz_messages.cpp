// Any payload goes through the envelope and every request and response decoder. Whatever a
// decoder accepts, its encoder writes and the decoder reads back unchanged.

#include "platform/PlistValue.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/Requests.h"
#include "transfer/Responses.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace {

template <typename Message> void sameAfterEncoding(const Message& decoded) {
    const QVariantMap encoded = decoded.encode();
    const auto again = Message::decode(encoded);
    if constexpr (std::is_same_v<decltype(again), const Message>) {
        if (!vantle::plist::sameValue(again.encode(), encoded)) __builtin_trap();
    } else {
        if (!again.ok()) __builtin_trap();
        if (!vantle::plist::sameValue(again->encode(), encoded)) __builtin_trap();
    }
}

template <typename Request> void tryRequest(const QVariantMap& message) {
    const vantle::Result<Request> decoded = Request::decode(message);
    if (decoded.ok())
        sameAfterEncoding(*decoded);
    else if (decoded.error().isEmpty())
        __builtin_trap(); // a refusal always says why
}

template <typename Response> void tryResponse(const QVariantMap& message) {
    sameAfterEncoding(Response::decode(message));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantle;
    const QByteArray payload(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QVariantMap> message = decodeMessage(payload);
    if (!message) return 0;
    const Envelope envelope = Envelope::decode(*message);
    if (envelope.requestType != requestTypeFromName(envelope.requestTypeName)) __builtin_trap();

    tryRequest<VersionCheckRequest>(*message);
    tryRequest<DirectoryListRequest>(*message);
    tryRequest<FileExistsRequest>(*message);
    tryRequest<RequestFileRequest>(*message);
    tryRequest<RemoveFileRequest>(*message);
    tryRequest<GetIconsAndSizesRequest>(*message);
    tryRequest<CreateDirectoryRequest>(*message);
    tryRequest<SendChunkRequest>(*message);
    tryRequest<NotifyRequest>(*message);

    tryResponse<VersionCheckResponse>(*message);
    tryResponse<DirectoryListResponse>(*message);
    tryResponse<GetIconsAndSizesResponse>(*message);
    tryResponse<FileExistsResponse>(*message);
    tryResponse<SuccessResponse>(*message);
    return 0;
}
