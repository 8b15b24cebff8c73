#include "net/FrameReader.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace vantle {
namespace {

// A payload buffer up to this size is kept for the next frame (a download's pieces); larger ones
// go back to the system at once.
constexpr qsizetype kMaxReusedPayload = 1024 * 1024;

} // namespace

FrameReader::FrameReader(std::uint32_t maxPayload) : mMaxPayload(maxPayload) {}

std::span<char> FrameReader::buffer() {
    switch (mState) {
    case State::Header:
        return {mHeader.data() + mHeaderFilled, mHeader.size() - mHeaderFilled};
    case State::Payload:
        return {mPayload.data() + mPayloadFilled,
                static_cast<std::size_t>(mPayload.size()) - mPayloadFilled};
    case State::Failed:
        break;
    }
    return {};
}

FrameReader::Status FrameReader::advance(std::size_t count) {
    if (mState == State::Failed) return mStatus;
    mStatus = Status::NeedMore;
    if (count == 0) return mStatus;
    if (mState == State::Header) {
        mHeaderFilled += std::min(count, mHeader.size() - mHeaderFilled);
        if (mHeaderFilled < mHeader.size()) return mStatus;
        return headerComplete();
    }
    mPayloadFilled += std::min(count, static_cast<std::size_t>(mPayload.size()) - mPayloadFilled);
    if (mPayloadFilled < static_cast<std::size_t>(mPayload.size())) return mStatus;
    mReady = std::move(mPayload);
    mPayload = QByteArray();
    if (mReady.size() <= kMaxReusedPayload) mSpare = mReady;
    mPayloadFilled = 0;
    mState = State::Header;
    mStatus = Status::FrameReady;
    return mStatus;
}

FrameReader::Status FrameReader::headerComplete() {
    mHeaderFilled = 0;
    mMagic = qFromBigEndian<std::uint32_t>(mHeader.data());
    mAnnounced = qFromBigEndian<std::uint32_t>(mHeader.data() + 4);
    if (mMagic != wire::kFrameMagic) {
        mState = State::Failed;
        mStatus = Status::BadMagic;
        return mStatus;
    }
    if (mAnnounced > mMaxPayload) {
        mState = State::Failed;
        mStatus = Status::TooLarge;
        return mStatus;
    }
    if (mAnnounced == 0) {
        mReady = QByteArray(); // an empty payload, but a frame nonetheless
        mStatus = Status::FrameReady;
        return mStatus;
    }
    // The last payload's buffer serves again once nobody else holds it: fresh pages for every
    // piece of a download cost more than the piece's copy.
    const auto length = static_cast<qsizetype>(mAnnounced);
    if (mSpare.isDetached() && mSpare.capacity() >= length) {
        mPayload = std::exchange(mSpare, QByteArray());
        mPayload.resize(length);
    } else {
        mSpare = QByteArray();
        mPayload = QByteArray(length, Qt::Uninitialized);
    }
    mPayloadFilled = 0;
    mState = State::Payload;
    return mStatus;
}

QByteArray FrameReader::takeFrame() {
    if (mStatus == Status::FrameReady) mStatus = Status::NeedMore;
    return std::exchange(mReady, QByteArray());
}

FrameReader::Status FrameReader::feed(QByteArrayView bytes, std::vector<QByteArray>& frames) {
    const char* next = bytes.data();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    while (mState != State::Failed) {
        const std::span<char> room = buffer();
        const std::size_t count = std::min(left, room.size());
        if (count > 0) std::memcpy(room.data(), next, count);
        next += count;
        left -= count;
        const Status status = advance(count);
        if (status == Status::FrameReady) {
            frames.push_back(takeFrame());
            continue;
        }
        if (status != Status::NeedMore || left == 0) break;
    }
    return mStatus;
}

std::array<char, wire::kFrameHeaderSize> frameHeader(std::uint32_t length) {
    std::array<char, wire::kFrameHeaderSize> header{};
    qToBigEndian<std::uint32_t>(wire::kFrameMagic, header.data());
    qToBigEndian<std::uint32_t>(length, header.data() + 4);
    return header;
}

} // namespace vantle
