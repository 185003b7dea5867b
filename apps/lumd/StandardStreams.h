#pragma once
// lumd's standard streams made safe before anything else runs. A descriptor 0-2 that the caller
// left closed would be taken by the next file lumd opens (the display's tty, the MPD socket), and
// the log would be written there. A reader of standard error that goes away must not end lumd,
// nor may the terminal of a job in the background stop it on a read or a write.

namespace lum::lumd {

/// Opens /dev/null on each of the descriptors 0-2 that is closed; call first in main.
void OpenClosedStandardStreams();

/// Ignores SIGPIPE, SIGTTIN and SIGTTOU for the process: a write to a pipe or socket without a
/// reader fails with EPIPE, a read or write on a terminal lumd is in the background of fails or
/// goes through, and none of them ends or stops lumd. Call before any thread starts.
void IgnoreStreamSignals();

/// Whether standard input can be read without the terminal stopping lumd: it is no controlling
/// terminal of lumd's, or lumd's process group is that terminal's foreground group.
[[nodiscard]] bool MayReadStandardInput();

} // namespace lum::lumd
