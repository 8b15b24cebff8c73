#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <cstdint>
#include <optional>

// The answers to each request type. `encode` gives the answer's own fields (the envelope adds
// "MessageType" and "ResponseNum"); `decode` never fails: a field that is missing or of the wrong
// type reads as missing (false, 0, or none), and inside arrays and nested dictionaries an element
// of the wrong type is left out or read as missing in the same way.
namespace vantle {

struct VersionCheckResponse {
    std::optional<std::int32_t> clientVersion;
    bool good = false; // only its presence counts
    std::optional<QString> clientAppName;
    std::optional<bool> allowUpload; // missing means yes

    // "ClientVersion" when present, else kGoodOnlyVersion when the answer says "Good", else -1.
    std::int32_t version() const;
    bool uploadsAllowed() const { return allowUpload.value_or(true); }

    static VersionCheckResponse decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const VersionCheckResponse&) const = default;
};

struct ListingEntry {
    bool isFolder = false;
    bool operator==(const ListingEntry&) const = default;
};

struct DirectoryListResponse {
    // None when the answer lacks them: "Listing" is missing when the path is no listable folder.
    std::optional<QStringList> listing;
    std::optional<QMap<QString, ListingEntry>> listingPlus;

    static DirectoryListResponse decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const DirectoryListResponse&) const = default;
};

struct IconAndSize {
    std::optional<QByteArray> icon; // an image file
    qint64 size = 0;
    bool operator==(const IconAndSize&) const = default;
};

struct GetIconsAndSizesResponse {
    // Keyed by the path as it was asked.
    std::optional<QMap<QString, IconAndSize>> iconsAndSizes;

    static GetIconsAndSizesResponse decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const GetIconsAndSizesResponse&) const = default;
};

struct FileExistsResponse {
    bool exists = false;
    bool isDirectory = false;

    static FileExistsResponse decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const FileExistsResponse&) const = default;
};

// The answer of the requests that only succeed or fail. "ErrorCode" says why a piece was not
// stored; the others leave it out.
struct SuccessResponse {
    bool success = false;
    std::optional<std::int32_t> errorCode;

    static SuccessResponse decode(const QVariantMap& message);
    QVariantMap encode() const;
    bool operator==(const SuccessResponse&) const = default;
};
using RequestFileResponse = SuccessResponse;
using RemoveFileResponse = SuccessResponse;
using CreateDirectoryResponse = SuccessResponse;
using SendChunkResponse = SuccessResponse;
using NotifyResponse = SuccessResponse;

// The answer to a request nobody handles: {"Good": "Nuthin"}.
QVariantMap unhandledRequestResponse();

} // namespace vantle
