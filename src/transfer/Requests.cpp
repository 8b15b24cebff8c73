#include "transfer/Requests.h"

#include "transfer/MessageFields.h"
#include "transfer/ProtocolKeys.h"

namespace vantle {

namespace {

QVariantMap requestOf(RequestType type) {
    return QVariantMap{{keys::kRequestType, requestTypeName(type)}};
}

void insertIfPresent(QVariantMap& message, QLatin1StringView key,
                     const std::optional<QByteArray>& value) {
    if (value) message.insert(key, *value);
}

QVariantList stringArray(const QStringList& strings) {
    QVariantList array;
    array.reserve(strings.size());
    for (const QString& text : strings)
        array.append(text);
    return array;
}

} // namespace

Result<VersionCheckRequest> VersionCheckRequest::decode(const QVariantMap& message) {
    fields::RequestFields read(message);
    VersionCheckRequest request;
    request.serverVersion = read.required<std::int32_t>(keys::kServerVersion);
    return read.result(request);
}

QVariantMap VersionCheckRequest::encode() const {
    QVariantMap message = requestOf(kType);
    message.insert(keys::kServerVersion, serverVersion);
    return message;
}

template <RequestType Type>
Result<PathRequest<Type>> PathRequest<Type>::decode(const QVariantMap& message) {
    fields::RequestFields read(message);
    PathRequest request;
    request.path = read.required<QString>(keys::kPath);
    return read.result(request);
}

template <RequestType Type> QVariantMap PathRequest<Type>::encode() const {
    QVariantMap message = requestOf(kType);
    message.insert(keys::kPath, path);
    return message;
}

template struct PathRequest<RequestType::DirectoryList>;
template struct PathRequest<RequestType::FileExists>;
template struct PathRequest<RequestType::RequestFile>;
template struct PathRequest<RequestType::RemoveFile>;

Result<GetIconsAndSizesRequest> GetIconsAndSizesRequest::decode(const QVariantMap& message) {
    fields::RequestFields read(message);
    GetIconsAndSizesRequest request;
    request.paths = read.required<QStringList>(keys::kPaths);
    return read.result(request);
}

QVariantMap GetIconsAndSizesRequest::encode() const {
    QVariantMap message = requestOf(kType);
    message.insert(keys::kPaths, stringArray(paths));
    return message;
}

Result<CreateDirectoryRequest> CreateDirectoryRequest::decode(const QVariantMap& message) {
    fields::RequestFields read(message);
    CreateDirectoryRequest request;
    request.path = read.required<QString>(keys::kPath);
    request.previewTIFF = read.optional<QByteArray>(keys::kPreviewTIFF);
    request.htmlSubstitute = read.optional<QByteArray>(keys::kHTMLSubstitute);
    return read.result(request);
}

QVariantMap CreateDirectoryRequest::encode() const {
    QVariantMap message = requestOf(kType);
    message.insert(keys::kPath, path);
    insertIfPresent(message, keys::kPreviewTIFF, previewTIFF);
    insertIfPresent(message, keys::kHTMLSubstitute, htmlSubstitute);
    return message;
}

Result<SendChunkRequest> SendChunkRequest::decode(const QVariantMap& message) {
    fields::RequestFields read(message);
    SendChunkRequest request;
    request.path = read.required<QString>(keys::kPath);
    request.chunkData = read.required<QByteArray>(keys::kChunkData);
    request.chunkNum = read.required<std::int32_t>(keys::kChunkNum);
    request.lastChunk = read.required<bool>(keys::kLastChunk);
    request.previewTIFF = read.optional<QByteArray>(keys::kPreviewTIFF);
    request.htmlSubstitute = read.optional<QByteArray>(keys::kHTMLSubstitute);
    request.totalBytes = read.optional<qint64>(keys::kTotalBytes);
    request.currentBytes = read.optional<qint64>(keys::kCurrentBytes);
    request.baseFileName = read.optional<QString>(keys::kBaseFileName);
    return read.result(std::move(request));
}

QVariantMap SendChunkRequest::encode() const {
    QVariantMap message = requestOf(kType);
    message.insert(keys::kPath, path);
    message.insert(keys::kChunkData, chunkData);
    message.insert(keys::kChunkNum, chunkNum);
    message.insert(keys::kLastChunk, lastChunk);
    insertIfPresent(message, keys::kPreviewTIFF, previewTIFF);
    insertIfPresent(message, keys::kHTMLSubstitute, htmlSubstitute);
    if (totalBytes) message.insert(keys::kTotalBytes, *totalBytes);
    if (currentBytes) message.insert(keys::kCurrentBytes, *currentBytes);
    if (baseFileName) message.insert(keys::kBaseFileName, *baseFileName);
    return message;
}

Result<NotifyRequest> NotifyRequest::decode(const QVariantMap& message) {
    fields::RequestFields read(message);
    NotifyRequest request;
    request.notification = read.required<QString>(keys::kNotification);
    request.userInfo = read.optional<QVariantMap>(keys::kUserInfo);
    return read.result(std::move(request));
}

QVariantMap NotifyRequest::encode() const {
    QVariantMap message = requestOf(kType);
    message.insert(keys::kNotification, notification);
    if (userInfo) message.insert(keys::kUserInfo, *userInfo);
    return message;
}

} // namespace vantle
