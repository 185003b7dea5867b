#pragma once
// Opening a tty unshared, as Windows opens a COM port: without waiting, without making it the
// controlling terminal, in raw mode, with its lock held (which keeps out every other opener that
// takes it, a privileged one too) and in the tty's exclusive mode (which refuses every further
// unprivileged open).

#include <string>

namespace lum::platform::posix {

/// Opens `path` unshared; 0 with `fd` set, or the errno value of the failure: what opening the
/// path gave (EBUSY when another opener has it exclusively), EWOULDBLOCK when another opener
/// holds its lock, ENOTTY for a device that is no terminal.
[[nodiscard]] int OpenUnsharedTty(const std::string& path, int& fd);

/// Gives the exclusive mode up (it belongs to the tty, not to this open: while anyone else keeps
/// the tty, such as a pty's master side, it would outlive the close) and closes `fd`, which lets
/// go of the lock.
void CloseUnsharedTty(int fd);

} // namespace lum::platform::posix
