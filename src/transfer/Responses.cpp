#include "transfer/Responses.h"

#include "transfer/MessageFields.h"
#include "transfer/ProtocolKeys.h"

namespace vantle {

namespace {

// What a version answer that cannot be read at all reports.
constexpr std::int32_t kUnknownVersion = -1;

// A nested dictionary of the wrong type reads like an empty one: all its fields missing.
QVariantMap nestedDictionary(const QVariant& value) {
    return fields::toDictionary(value).value_or(QVariantMap());
}

} // namespace

std::int32_t VersionCheckResponse::version() const {
    if (clientVersion) return *clientVersion;
    return good ? protocol::kGoodOnlyVersion : kUnknownVersion;
}

VersionCheckResponse VersionCheckResponse::decode(const QVariantMap& message) {
    VersionCheckResponse response;
    response.clientVersion = fields::responseField<std::int32_t>(message, keys::kClientVersion);
    response.good = message.contains(keys::kGood);
    response.clientAppName = fields::responseField<QString>(message, keys::kClientAppName);
    response.allowUpload = fields::responseField<bool>(message, keys::kAllowUpload);
    return response;
}

QVariantMap VersionCheckResponse::encode() const {
    QVariantMap message;
    if (clientVersion) message.insert(keys::kClientVersion, *clientVersion);
    if (good) message.insert(keys::kGood, true);
    if (clientAppName) message.insert(keys::kClientAppName, *clientAppName);
    if (allowUpload) message.insert(keys::kAllowUpload, *allowUpload);
    return message;
}

DirectoryListResponse DirectoryListResponse::decode(const QVariantMap& message) {
    DirectoryListResponse response;
    const auto listing = message.constFind(keys::kListing);
    if (listing != message.constEnd()) {
        if (listing->typeId() == QMetaType::QVariantList) {
            QStringList names;
            for (const QVariant& name : listing->toList())
                if (const auto text = fields::toString(name)) names.append(*text);
            response.listing = names;
        } else {
            fields::logWrongResponseField(keys::kListing, "an array");
        }
    }
    if (const auto plus = fields::responseField<QVariantMap>(message, keys::kListingPlus)) {
        QMap<QString, ListingEntry> entries;
        for (auto entry = plus->constBegin(); entry != plus->constEnd(); ++entry)
            entries.insert(entry.key(), ListingEntry{fields::responseValue<bool>(
                                            nestedDictionary(entry.value()), keys::kIsFolder)});
        response.listingPlus = entries;
    }
    return response;
}

QVariantMap DirectoryListResponse::encode() const {
    QVariantMap message;
    if (listing) {
        QVariantList names;
        names.reserve(listing->size());
        for (const QString& name : *listing)
            names.append(name);
        message.insert(keys::kListing, names);
    }
    if (listingPlus) {
        QVariantMap entries;
        for (auto entry = listingPlus->constBegin(); entry != listingPlus->constEnd(); ++entry)
            entries.insert(entry.key(), QVariantMap{{keys::kIsFolder, entry->isFolder}});
        message.insert(keys::kListingPlus, entries);
    }
    return message;
}

GetIconsAndSizesResponse GetIconsAndSizesResponse::decode(const QVariantMap& message) {
    GetIconsAndSizesResponse response;
    const auto all = fields::responseField<QVariantMap>(message, keys::kIconsAndSizes);
    if (!all) return response;
    QMap<QString, IconAndSize> entries;
    for (auto entry = all->constBegin(); entry != all->constEnd(); ++entry) {
        const QVariantMap item = nestedDictionary(entry.value());
        entries.insert(entry.key(),
                       IconAndSize{fields::responseField<QByteArray>(item, keys::kIcon),
                                   fields::responseValue<qint64>(item, keys::kSize)});
    }
    response.iconsAndSizes = entries;
    return response;
}

QVariantMap GetIconsAndSizesResponse::encode() const {
    QVariantMap message;
    if (!iconsAndSizes) return message;
    QVariantMap entries;
    for (auto entry = iconsAndSizes->constBegin(); entry != iconsAndSizes->constEnd(); ++entry) {
        QVariantMap item{{keys::kSize, entry->size}};
        if (entry->icon) item.insert(keys::kIcon, *entry->icon);
        entries.insert(entry.key(), item);
    }
    message.insert(keys::kIconsAndSizes, entries);
    return message;
}

FileExistsResponse FileExistsResponse::decode(const QVariantMap& message) {
    return FileExistsResponse{fields::responseValue<bool>(message, keys::kExists),
                              fields::responseValue<bool>(message, keys::kIsDirectory)};
}

QVariantMap FileExistsResponse::encode() const {
    return QVariantMap{{keys::kExists, exists}, {keys::kIsDirectory, isDirectory}};
}

SuccessResponse SuccessResponse::decode(const QVariantMap& message) {
    return SuccessResponse{fields::responseValue<bool>(message, keys::kSuccess),
                           fields::responseField<std::int32_t>(message, keys::kErrorCode)};
}

QVariantMap SuccessResponse::encode() const {
    QVariantMap message{{keys::kSuccess, success}};
    if (errorCode) message.insert(keys::kErrorCode, *errorCode);
    return message;
}

QVariantMap unhandledRequestResponse() {
    return QVariantMap{{keys::kGood, kUnhandledAnswer}};
}

} // namespace vantle
