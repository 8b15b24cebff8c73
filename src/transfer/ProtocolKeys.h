#pragma once

#include <QLatin1StringView>
#include <cstdint>

// Every name the PC and the phone exchange in application messages: the envelope, the request
// types and their keys, the notification names, and the numbers both ends agree on. Nothing else
// spells these strings.
namespace vantle {

namespace protocol {

// Payload magic of an application message (the dictionary follows as a binary property list).
inline constexpr std::uint32_t kMessageMagic = 0xBCDA7373;
// Version both ends announce in "VersionCheck"; 256 stands for an answer that only says "Good".
inline constexpr std::int32_t kProtocolVersion = 259;
inline constexpr std::int32_t kGoodOnlyVersion = 256;
// Largest "ChunkData" of one "SendChunk".
inline constexpr std::int64_t kChunkSize = 131072;
// Answers to a PC request: 10 s from the main thread, 120 s from any other.
inline constexpr int kMainThreadResponseTimeoutMs = 10'000;
inline constexpr int kWorkerResponseTimeoutMs = 120'000;

// Result codes of transfers; 0 is success.
enum ErrorCode : std::int32_t {
    kNoError = 0,
    kNameExists = -2,
    kCannotOpenFile = -4,
    // The PC's own: the item was gone before it could be sent; nothing of it reached the phone.
    kItemVanished = -43,
    // The PC's own: no free name was found for an item to be stored under a name of its own.
    kNoFreeName = -48,
    kCancelled = -144,
    kCannotCreateFolder = -232,
    kPieceFailedWithoutCode = 334,
    kDownloadCancelled = -441,
    kNameTooLong = -555,
    kCannotSend = -996,
    kFailedWithoutCode = -997,
    kNoAnswer = -998,
};

} // namespace protocol

// Envelope and request keys.
namespace keys {

inline constexpr QLatin1StringView kMessageType{"MessageType"};
inline constexpr QLatin1StringView kRequestType{"RequestType"};
inline constexpr QLatin1StringView kRequestNum{"RequestNum"};
inline constexpr QLatin1StringView kResponseNum{"ResponseNum"};
inline constexpr QLatin1StringView kSuccess{"Success"};
inline constexpr QLatin1StringView kErrorCode{"ErrorCode"};

// "VersionCheck"
inline constexpr QLatin1StringView kServerVersion{"ServerVersion"};
inline constexpr QLatin1StringView kClientVersion{"ClientVersion"};
inline constexpr QLatin1StringView kGood{"Good"};
inline constexpr QLatin1StringView kClientAppName{"ClientAppName"};
inline constexpr QLatin1StringView kAllowUpload{"AllowUpload"};

// Paths: "DirectoryList", "FileExists", "RequestFile", "RemoveFile", "CreateDirectory",
// "SendChunk", "GetIconsAndSizes"
inline constexpr QLatin1StringView kPath{"Path"};
inline constexpr QLatin1StringView kPaths{"Paths"};

// "DirectoryList"
inline constexpr QLatin1StringView kListing{"Listing"};
inline constexpr QLatin1StringView kListingPlus{"ListingPlus"};
inline constexpr QLatin1StringView kIsFolder{"IsFolder"};

// "GetIconsAndSizes"
inline constexpr QLatin1StringView kIconsAndSizes{"IconsAndSizes"};
inline constexpr QLatin1StringView kIcon{"Icon"};
inline constexpr QLatin1StringView kSize{"Size"};

// "FileExists"
inline constexpr QLatin1StringView kExists{"Exists"};
inline constexpr QLatin1StringView kIsDirectory{"IsDirectory"};

// "CreateDirectory", "SendChunk"
inline constexpr QLatin1StringView kPreviewTIFF{"PreviewTIFF"};
inline constexpr QLatin1StringView kHTMLSubstitute{"HTMLSubstitute"};
inline constexpr QLatin1StringView kChunkData{"ChunkData"};
inline constexpr QLatin1StringView kChunkNum{"ChunkNum"};
inline constexpr QLatin1StringView kLastChunk{"LastChunk"};
inline constexpr QLatin1StringView kTotalBytes{"TotalBytes"};
inline constexpr QLatin1StringView kCurrentBytes{"CurrentBytes"};
inline constexpr QLatin1StringView kBaseFileName{"BaseFileName"};

// "Notify"
inline constexpr QLatin1StringView kNotification{"Notification"};
inline constexpr QLatin1StringView kUserInfo{"UserInfo"};

// User info the PC builds for a phone's "Notify".
inline constexpr QLatin1StringView kDeviceName{"DeviceName"};
inline constexpr QLatin1StringView kPhoneIP{"PhoneIP"};
inline constexpr QLatin1StringView kNoteInfo{"NoteInfo"};

// Metadata written beside a received item.
inline constexpr QLatin1StringView kTIFFThumbnail{"TIFFThumbnail"};
inline constexpr QLatin1StringView kHTMLPreview{"HTMLPreview"};
inline constexpr QLatin1StringView kIWorkZIP{"iWorkZIP"};

} // namespace keys

// Values of "MessageType", and the answer to a request nobody handles: {"Good": "Nuthin"}.
namespace messageTypes {
inline constexpr QLatin1StringView kRequest{"Request"};
inline constexpr QLatin1StringView kResponse{"Response"};
} // namespace messageTypes
inline constexpr QLatin1StringView kUnhandledAnswer{"Nuthin"};

// Values of "RequestType".
namespace requests {
inline constexpr QLatin1StringView kVersionCheck{"VersionCheck"};
inline constexpr QLatin1StringView kDirectoryList{"DirectoryList"};
inline constexpr QLatin1StringView kGetIconsAndSizes{"GetIconsAndSizes"};
inline constexpr QLatin1StringView kFileExists{"FileExists"};
inline constexpr QLatin1StringView kRequestFile{"RequestFile"};
inline constexpr QLatin1StringView kRemoveFile{"RemoveFile"};
inline constexpr QLatin1StringView kCreateDirectory{"CreateDirectory"};
inline constexpr QLatin1StringView kSendChunk{"SendChunk"};
inline constexpr QLatin1StringView kNotify{"Notify"};
} // namespace requests

// Notification names: those that travel in "Notify", and those the transfer code posts locally.
namespace notes {
inline constexpr QLatin1StringView kConnectionAllowed{"ConnectionAllowed"};
inline constexpr QLatin1StringView kConnectionDenied{"ConnectionDenied"};
inline constexpr QLatin1StringView kServerListingChanged{"ServerListingChanged"};
inline constexpr QLatin1StringView kTransferFinished{"TransferFinished"};
inline constexpr QLatin1StringView kDownloadProgress{"DownloadProgress"};
inline constexpr QLatin1StringView kUploadProgress{"UploadProgress"};
inline constexpr QLatin1StringView kUploadFinished{"UploadFinished"};
inline constexpr QLatin1StringView kListingChanged{"ListingChanged"};
inline constexpr QLatin1StringView kSendFile{"SendFile"};
// The PC's own: a download ended without its item; the user info is the reason (a sentence).
inline constexpr QLatin1StringView kDownloadFailed{"DownloadFailed"};
} // namespace notes

// Folders of companion files that listings leave out.
namespace storeNames {
inline constexpr QLatin1StringView kMetadataFolder{"vantleMetadata"};
inline constexpr QLatin1StringView kThumbsFolder{"vantleThumbs"};
} // namespace storeNames

} // namespace vantle
