#include "transfer/RequestType.h"

#include "transfer/ProtocolKeys.h"

#include <array>
#include <utility>

namespace vantle {

namespace {

constexpr std::array<std::pair<RequestType, QLatin1StringView>, 9> kRequestNames{{
    {RequestType::VersionCheck, requests::kVersionCheck},
    {RequestType::DirectoryList, requests::kDirectoryList},
    {RequestType::GetIconsAndSizes, requests::kGetIconsAndSizes},
    {RequestType::FileExists, requests::kFileExists},
    {RequestType::RequestFile, requests::kRequestFile},
    {RequestType::RemoveFile, requests::kRemoveFile},
    {RequestType::CreateDirectory, requests::kCreateDirectory},
    {RequestType::SendChunk, requests::kSendChunk},
    {RequestType::Notify, requests::kNotify},
}};

} // namespace

RequestType requestTypeFromName(const QString& name) {
    for (const auto& [type, text] : kRequestNames)
        if (name == text) return type;
    return RequestType::Unknown;
}

QLatin1StringView requestTypeName(RequestType type) {
    for (const auto& [known, text] : kRequestNames)
        if (known == type) return text;
    return {};
}

} // namespace vantle
