#pragma once
// Closes every message box that opens on the calling thread with OK, after logging its text as a
// "messagebox <text>" event (text in the escaped form, so line breaks stay on one line).

namespace lum::host {

/// Starts watching the calling thread's message boxes; stays active for the process's life.
void DismissMessageBoxesOfThisThread();

} // namespace lum::host
