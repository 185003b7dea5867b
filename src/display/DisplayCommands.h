#pragma once
// The short commands other parts of the plug-in send to the display, through the engine's port.
// Like the clear text they do not wait for a pending write: the port drops them then.

namespace lum {

/// Sends the initialisation byte for InitCommand; nothing when it is empty. Raises
/// "'%s' ist kein gültiger Integerwert" when it is no decimal integer.
void SendInitCommand();

/// Sends the start line feed (CR, LF).
void SendStartLineFeed();

/// Sends what the configuration dialog's "OK" sends before it switches the display: the BA63
/// clear text in BA63 mode, the start line feed (CR, LF) otherwise.
void SendDialogOkText();

/// Sends the byte of brightness step `step`, 1 ("Hell 1", brightest) to 4 ("Hell 4").
void SendBrightness(int step);

} // namespace lum
