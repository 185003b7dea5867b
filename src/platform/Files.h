#pragma once
// Files as the plug-in needs them: an existence test, a whole-file read that opens the file the
// way the settings loader must, and an atomic replace for the settings writer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lum::platform {

/// Outcome of a file operation.
enum class FileResult {
    Ok,
    OpenFailed,  ///< the file could not be opened or created (missing, locked, write-protected)
    ReadFailed,  ///< reading an open file failed
    WriteFailed, ///< writing failed (disk full, I/O error)
};

/// True when `path` names an existing file system entry that is not a directory.
[[nodiscard]] bool IsExistingFile(const std::string& path);

/// The bytes of a file, read after opening it for reading and writing with sharing allowed to
/// all others. A write-protected or locked file is OpenFailed even though only reading follows,
/// and so is anything that is not a plain file (a FIFO or a device would block or never end).
/// A file longer than `maxBytes` is ReadFailed, with no more than that held in memory.
struct SharedReadResult {
    FileResult Result = FileResult::Ok;
    std::vector<std::uint8_t> Bytes;
};
[[nodiscard]] SharedReadResult ReadFileOpenedForReadWrite(const std::string& path,
                                                          std::size_t maxBytes);

/// Replaces the file at `path` by `bytes` so that it holds either the old or the new content:
/// the bytes go to a temporary file in the same folder, which is flushed and renamed over the
/// target. When `path` is a symbolic link, the file it points to is replaced and the link kept.
/// OpenFailed: the target or the temporary file cannot be created (missing folder, no access,
/// write-protected or locked target, or a target that is not a plain file, such as a device).
/// WriteFailed: a write or flush failed. On any failure the old file is untouched and no temporary
/// file is left behind.
[[nodiscard]] FileResult ReplaceFileAtomically(const std::string& path,
                                               std::span<const std::uint8_t> bytes);

/// The separator between folder names in this platform's paths.
[[nodiscard]] char PathSeparator();

/// The folder of the host program, with its trailing separator. Windows: the folder of the
/// host's executable. Elsewhere there is no host program: the folder set by SetHostDirectory
/// (the current folder until then).
[[nodiscard]] std::string HostDirectory();

/// Sets the folder HostDirectory answers on platforms without a host program; ignored on Windows.
void SetHostDirectory(std::string directory);

} // namespace lum::platform
