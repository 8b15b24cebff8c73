// A byte stream in, frames or a clean refusal out. The first byte chooses how the stream is cut
// into reads, so headers and payloads are completed across reads of every size.
#include "net/FrameReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Small enough that the fuzzer reaches the limit without allocating much.
constexpr std::uint32_t kFuzzMaxPayload = 1u << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t step = 1 + data[0] % 16;
    const char* next = reinterpret_cast<const char*>(data + 1);
    std::size_t left = size - 1;
    const std::size_t total = left;

    vantle::FrameReader reader(kFuzzMaxPayload);
    std::size_t delivered = 0;
    std::size_t frames = 0;
    for (;;) {
        const std::span<char> room = reader.buffer();
        const std::size_t count = std::min({left, room.size(), step});
        if (count > 0) std::memcpy(room.data(), next, count);
        next += count;
        left -= count;
        const auto status = reader.advance(count);
        if (status == vantle::FrameReader::Status::FrameReady) {
            const QByteArray payload = reader.takeFrame();
            if (payload.size() > static_cast<qsizetype>(kFuzzMaxPayload)) std::abort();
            delivered += static_cast<std::size_t>(payload.size()) + vantle::wire::kFrameHeaderSize;
            ++frames;
            continue;
        }
        if (status == vantle::FrameReader::Status::BadMagic ||
            status == vantle::FrameReader::Status::TooLarge) {
            if (!reader.buffer().empty()) std::abort(); // a refused stream takes no more bytes
            break;
        }
        if (left == 0) break;
    }
    // Every delivered byte came from the input, headers included.
    if (delivered > total) std::abort();
    return 0;
}
