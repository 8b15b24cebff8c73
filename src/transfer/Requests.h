#pragma once

#include "platform/Result.h"
#include "transfer/RequestType.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <cstdint>
#include <optional>

// The requests either side sends, one struct per "RequestType". `encode` gives the request's own
// fields with its "RequestType" (the envelope adds "MessageType" and "RequestNum"); `decode` reads
// them back and fails with a reason when a field has the wrong type or a string, data, array or
// dictionary the request needs is missing. A missing boolean is false, a missing number 0.
namespace vantle {

struct VersionCheckRequest {
    static constexpr RequestType kType = RequestType::VersionCheck;
    std::int32_t serverVersion = 0;

    static Result<VersionCheckRequest> decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const VersionCheckRequest&) const = default;
};

// "DirectoryList", "FileExists", "RequestFile" and "RemoveFile" name one path and nothing else.
template <RequestType Type> struct PathRequest {
    static constexpr RequestType kType = Type;
    QString path;

    static Result<PathRequest> decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const PathRequest&) const = default;
};
using DirectoryListRequest = PathRequest<RequestType::DirectoryList>;
using FileExistsRequest = PathRequest<RequestType::FileExists>;
using RequestFileRequest = PathRequest<RequestType::RequestFile>;
using RemoveFileRequest = PathRequest<RequestType::RemoveFile>;
extern template struct PathRequest<RequestType::DirectoryList>;
extern template struct PathRequest<RequestType::FileExists>;
extern template struct PathRequest<RequestType::RequestFile>;
extern template struct PathRequest<RequestType::RemoveFile>;

struct GetIconsAndSizesRequest {
    static constexpr RequestType kType = RequestType::GetIconsAndSizes;
    QStringList paths;

    static Result<GetIconsAndSizesRequest> decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const GetIconsAndSizesRequest&) const = default;
};

struct CreateDirectoryRequest {
    static constexpr RequestType kType = RequestType::CreateDirectory;
    QString path;
    std::optional<QByteArray> previewTIFF;
    std::optional<QByteArray> htmlSubstitute;

    static Result<CreateDirectoryRequest> decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const CreateDirectoryRequest&) const = default;
};

struct SendChunkRequest {
    static constexpr RequestType kType = RequestType::SendChunk;
    QString path;
    QByteArray chunkData;
    std::int32_t chunkNum = 0;
    bool lastChunk = false;
    std::optional<QByteArray> previewTIFF;    // the last piece only
    std::optional<QByteArray> htmlSubstitute; // the last piece only
    // Progress of the whole item; a receiver reports progress only when all three are present.
    std::optional<qint64> totalBytes;
    std::optional<qint64> currentBytes;
    std::optional<QString> baseFileName;

    static Result<SendChunkRequest> decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const SendChunkRequest&) const = default;
};

struct NotifyRequest {
    static constexpr RequestType kType = RequestType::Notify;
    QString notification;
    // Sent as an empty dictionary when there is nothing to tell; a received request may lack it.
    std::optional<QVariantMap> userInfo = QVariantMap{};

    static Result<NotifyRequest> decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const NotifyRequest&) const = default;
};

} // namespace vantle
