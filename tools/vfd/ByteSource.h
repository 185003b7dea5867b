#pragma once
// Where the virtual display's bytes come from: a pty it creates (the plug-in's side is the
// slave), a serial device set to 8N1 at a rate, or a recorded file. Each is opened non-blocking,
// so that nothing waits longer than the reader's poll.

#include <optional>
#include <string>

namespace lum::vfd {

/// An open source of bytes.
struct ByteSource {
    int Fd = -1;       ///< read from this
    int KeepOpen = -1; ///< the pty's slave, held open so the line never hangs up
    std::string Name;  ///< the pty slave's path, the device or the file
    bool EndsAtEof = false;
};

/// A new pty; Name is the slave's path.
[[nodiscard]] std::optional<ByteSource> OpenPty(std::string& error);
/// A serial device in raw mode, 8N1 at `baud`.
[[nodiscard]] std::optional<ByteSource> OpenDevice(const std::string& path, unsigned baud,
                                                   std::string& error);
/// A recorded file, read to its end; or a FIFO, read until its writer closes it.
[[nodiscard]] std::optional<ByteSource> OpenFile(const std::string& path, std::string& error);

/// Closes what the source holds open.
void Close(ByteSource& source);

} // namespace lum::vfd
