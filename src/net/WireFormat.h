#pragma once

#include <QLatin1StringView>
#include <cstddef>
#include <cstdint>

// The bytes both ends agree on below the application messages: the frame around every payload and
// the identity handshake carried in the first frames.
namespace vantle::wire {

// Frame header: magic, then payload length, both big-endian.
inline constexpr std::uint32_t kFrameMagic = 0x1234ABCD;
inline constexpr std::size_t kFrameHeaderSize = 8;
// Largest payload accepted from the wire. Ordinary frames are upload pieces of about 131 KB;
// listings and icon answers for big folders reach a few megabytes.
inline constexpr std::uint32_t kMaxFramePayload = 64u * 1024u * 1024u;

// Most values one message may decode to, counting every key and every shared reference: a
// 64 MiB frame could otherwise build billions of them. A listing of 10,000 entries has about
// 30,000.
inline constexpr std::uint64_t kMaxValuesPerMessage = 1'000'000;

// Payload magic of handshake and ping dictionaries.
inline constexpr std::uint32_t kHandshakeMagic = 0xABCD1234;
inline constexpr std::size_t kPayloadMagicSize = 4;

// Keys of the handshake dictionary, the same in both directions.
inline constexpr QLatin1StringView kHandshakeID{"id"};
inline constexpr QLatin1StringView kHandshakeName{"name"};
inline constexpr QLatin1StringView kHandshakeInfo{"info"};

// The port a phone listens on for typed addresses.
inline constexpr std::uint16_t kDefaultPhonePort = 34345;

} // namespace vantle::wire
