#pragma once
// Reading a whole file in chunks up to a size limit; both file layers read with it, so a wrong
// path that names a huge file cannot fill the memory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lum::platform {

/// Bytes read at a time.
inline constexpr std::size_t kReadChunkBytes = 4096;

/// How a bounded read ended.
enum class BoundedReadEnd {
    Ok,         ///< the whole file is in the bytes
    ReadFailed, ///< a read failed; the bytes are emptied
    TooLong,    ///< the file is longer than the limit; the bytes are emptied
};

/// Reads with `readChunk(buffer, size)` (answers the bytes read, 0 at the end, below 0 when the
/// read failed) and appends to `bytes` until the end. No more than `maxBytes` + 1 bytes are
/// ever asked for.
template <typename ReadChunk>
[[nodiscard]] BoundedReadEnd ReadAllBounded(ReadChunk readChunk, std::size_t maxBytes,
                                            std::vector<std::uint8_t>& bytes) {
    std::uint8_t chunk[kReadChunkBytes];
    for (;;) {
        const std::size_t wanted = std::min(sizeof chunk, maxBytes + 1 - bytes.size());
        const long long got = readChunk(chunk, wanted);
        if (got <= 0) {
            if (got < 0) {
                bytes.clear();
            }
            return got < 0 ? BoundedReadEnd::ReadFailed : BoundedReadEnd::Ok;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > maxBytes) {
            bytes.clear();
            return BoundedReadEnd::TooLong;
        }
    }
}

} // namespace lum::platform
