#pragma once
// The scroll offsets of the active text set and the refresh tick that advances and shows them.

namespace lum {

/// Advances the scroll offset of each of the eight lines of the active set by one step of its
/// scroll mode (lines beyond LineCount too). A line that fits LineWidth gets offset 0; a longer
/// one indexes its scroll text (the expanded line followed by Separator) and wraps at its
/// length. An ActiveSet outside 1-4 changes nothing. An expansion failure ends the update; the
/// lines not yet handled keep their offsets.
void UpdateScrollOffsets();

/// One refresh tick: UpdateScrollOffsets, then WriteDisplayFrame.
void Timer5Timer();

} // namespace lum
