#pragma once
// The signals that quit the native host: Ctrl-C (SIGINT), SIGTERM and the hang-up of its
// terminal (SIGHUP). They are blocked in every thread and taken by a thread of their own from
// the very start, so that none waits unseen while the host sets up. Until the host installs its
// quit (before that nothing is loaded, so there is no display to clear) a signal ends the
// process as it would without that thread.

#include <functional>

namespace lum::host {

/// Blocks the quit signals and starts the thread that takes them. Call it first in main, before
/// any other thread starts, so that every thread inherits the blocked signals.
void TakeQuitSignals();

/// From now on each quit signal runs `quit`, on the signal thread.
void OnQuitSignal(std::function<void()> quit);

} // namespace lum::host
