#pragma once
// Reading a plain file whole without ever blocking on what only looks like one: the entry is
// checked before and after a non-blocking open, so a FIFO, a device or a folder is refused
// without being read (a FIFO would wait for a writer, a device might never end). Shared by the
// settings reader and the tools' readers of user files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lum::platform::posix {

/// How reading a plain file ended.
enum class PlainFileStatus {
    Ok,
    OpenFailed,   ///< the entry is missing or cannot be opened (Error says why)
    NotPlainFile, ///< a FIFO, a device, a socket or a folder: not opened, or closed unread
    ReadFailed,   ///< reading the open file failed (Error says why)
    TooLong,      ///< longer than the limit; Bytes is empty
};

/// What reading a plain file gave.
struct PlainFileRead {
    PlainFileStatus Status = PlainFileStatus::Ok;
    int Error = 0; ///< the errno value of OpenFailed and ReadFailed
    std::vector<std::uint8_t> Bytes;
};

/// The bytes of the plain file at `path` (symbolic links followed), opened with `accessMode`
/// (O_RDONLY or O_RDWR), without blocking and without becoming a controlling terminal; no more
/// than `maxBytes` + 1 bytes are ever read.
[[nodiscard]] PlainFileRead ReadPlainFile(const std::string& path, int accessMode,
                                          std::size_t maxBytes);

} // namespace lum::platform::posix
