#pragma once
// Reading a whole file in chunks up to a size limit; both file layers read the settings file
// this way, so a wrong path that names a huge file cannot fill the memory.

#include "platform/Files.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lum::platform {

/// Bytes read at a time.
inline constexpr std::size_t kReadChunkBytes = 4096;

/// Reads with `readChunk(buffer, size)` (answers the bytes read, 0 at the end, below 0 when the
/// read failed) and appends to `bytes` until the end. ReadFailed when a read fails or the bytes
/// pass `maxBytes`; `bytes` is then emptied.
template <typename ReadChunk>
[[nodiscard]] FileResult ReadAllBounded(ReadChunk readChunk, std::size_t maxBytes,
                                        std::vector<std::uint8_t>& bytes) {
    std::uint8_t chunk[kReadChunkBytes];
    for (;;) {
        const long long got = readChunk(chunk, sizeof chunk);
        if (got < 0) {
            bytes.clear();
            return FileResult::ReadFailed;
        }
        if (got == 0) {
            return FileResult::Ok;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > maxBytes) {
            bytes.clear();
            return FileResult::ReadFailed;
        }
    }
}

} // namespace lum::platform
