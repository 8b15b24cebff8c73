#pragma once

#include <QLatin1StringView>
#include <QString>

namespace vantle {

// The operations a request may name in "RequestType".
enum class RequestType {
    VersionCheck,
    DirectoryList,
    GetIconsAndSizes,
    FileExists,
    RequestFile,
    RemoveFile,
    CreateDirectory,
    SendChunk,
    Notify,
    Unknown, // missing, not a string, or a name nobody handles
};

RequestType requestTypeFromName(const QString& name);
// Empty for Unknown.
QLatin1StringView requestTypeName(RequestType type);

} // namespace vantle
