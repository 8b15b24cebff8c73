#pragma once

#include "net/WireFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vantle {

// Cuts a byte stream into frame payloads, knowing nothing of sockets. The caller reads straight
// into `buffer()` and reports the count with `advance()`: the header is completed across as many
// reads as it takes, and the payload is allocated once, at its full length, and filled in place;
// the buffer of a payload that its taker has let go of is filled again by the next frame.
class FrameReader {
public:
    enum class Status {
        NeedMore,   // nothing complete yet
        FrameReady, // takeFrame() holds a whole payload
        BadMagic,   // the stream is not ours; stop reading
        TooLarge,   // the header announced more than the limit; nothing was allocated
    };

    explicit FrameReader(std::uint32_t maxPayload = wire::kMaxFramePayload);

    // Where the next incoming bytes go; never empty while the reader is usable.
    std::span<char> buffer();
    Status advance(std::size_t count);
    QByteArray takeFrame();

    // Convenience for tests and the fuzzer: copies `bytes` through buffer()/advance() and appends
    // every completed payload to `frames`; stops at the first error.
    Status feed(QByteArrayView bytes, std::vector<QByteArray>& frames);

    // Some bytes of a frame have arrived but not the whole frame.
    bool midFrame() const { return mHeaderFilled > 0 || mState == State::Payload; }
    Status status() const { return mStatus; }
    // Progress within the current frame, for log lines about a stream cut short.
    std::size_t headerBytes() const { return mHeaderFilled; }
    std::size_t payloadRemaining() const {
        return mState == State::Payload ? static_cast<std::size_t>(mPayload.size()) - mPayloadFilled
                                        : 0;
    }
    // The payload length the last complete header announced.
    std::uint32_t announcedLength() const { return mAnnounced; }
    // The first word of the last complete header.
    std::uint32_t announcedMagic() const { return mMagic; }

private:
    enum class State { Header, Payload, Failed };

    Status headerComplete();

    std::uint32_t mMaxPayload;
    State mState = State::Header;
    Status mStatus = Status::NeedMore;
    std::array<char, wire::kFrameHeaderSize> mHeader{};
    std::size_t mHeaderFilled = 0;
    std::uint32_t mMagic = 0;
    std::uint32_t mAnnounced = 0;
    QByteArray mPayload;
    std::size_t mPayloadFilled = 0;
    QByteArray mReady;
    // The last payload handed out, shared with whoever took it; reused when they let go.
    QByteArray mSpare;
};

// The 8 header bytes for a payload of `length` bytes.
std::array<char, wire::kFrameHeaderSize> frameHeader(std::uint32_t length);

} // namespace vantle
