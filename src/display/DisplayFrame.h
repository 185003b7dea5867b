#pragma once
// Display frames: the shown lines of the active set, each cut to LineWidth at its scroll offset
// and padded, sent in one write; and the clear text.

#include <string_view>

namespace lum {

/// Line 1 of the welcome banner shown during the banner period.
inline constexpr std::string_view kBannerLine1 = " Winamp  Lum Plugin";
/// Line 2 of the welcome banner: the maker's credit.
inline constexpr std::string_view kBannerLine2 = " Code: the Lum team";
static_assert(kBannerLine1.size() == 19 && kBannerLine2.size() == 19 && kBannerLine2[0] == ' ');

/// Builds the frame of lines 1 to LineCount of the active set (blank lines when ActiveSet names
/// no set; the banner during the banner period) and sends it in one write, unless the previous
/// write is still pending. An expansion failure passes to the caller; nothing is sent then.
void WriteDisplayFrame();

/// Sends a frame of blanks (the fixed 48-byte clear text in BA63 mode), whether or not a write
/// is pending.
void ClearDisplay();

} // namespace lum
