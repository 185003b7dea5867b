#pragma once
// Drives the plug-in's windows as a user would, for tests and demos: lists the windows and
// their controls (found by the names they carry), and clicks, presses keys, types, ticks and
// chooses through the controls' own messages. Runs on the thread that owns the windows.

#include "tools/common/HostCommand.h"

#include <string>

namespace lum::host {

/// Writes one event line per window and control of this thread that carries a name:
///   window NAME class=CLASS caption="..." pos=L,T outer=WxH client=WxH visible=0|1 enabled=0|1
///   control FORM.NAME class=CLASS caption="..." rect=L,T,W,H visible=0|1 enabled=0|1
/// (a control's rectangle relative to its parent's client area).
void ListWindows();

/// Carries out a click, key, settext, check, select or page command; answers an explanation
/// when it could not (no such control, an unknown key), or an empty text.
[[nodiscard]] std::string DriveControl(const HostCommand& command);

} // namespace lum::host
