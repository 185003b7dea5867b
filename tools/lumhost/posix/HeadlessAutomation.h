#pragma once
// Drives the plug-in's headless windows as a user would, for the native lumhost: lists the
// windows and their controls, and clicks, presses keys, types, ticks and chooses through the
// headless windowing layer's automation calls. Runs on the user-interface thread.

#include "platform/headless/HeadlessUi.h"
#include "tools/common/HostCommand.h"

#include <string>

namespace lum::host {

/// Writes one event line per window and control:
///   window NAME caption="..." pos=L,T client=WxH visible=0|1
///   control FORM.NAME caption="..." rect=L,T,W,H enabled=0|1
/// (the fields the headless layer knows; a control's rectangle relative to its parent).
void ListHeadlessWindows(const platform::headless::HeadlessUi& ui);

/// Carries out a click, key, settext, check, select or page command; answers an explanation
/// when it could not (no such control, an unknown key), or an empty text. Keys the headless
/// windows cannot take are named on standard error as not available natively.
[[nodiscard]] std::string DriveHeadlessControl(platform::headless::HeadlessUi& ui,
                                               const HostCommand& command);

} // namespace lum::host
