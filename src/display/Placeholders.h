#pragma once
// Placeholder expansion: a line template's %-variables replaced by the date and time, the host
// player's state, title, times and playlist position, and the playing file's ID3v1 tag.

#include <string>

namespace lum {

/// The text a display line shows for `lineTemplate`. First re-reads the tag when the playing
/// file has changed (raising "unable to open file to read ID3 tag" when it cannot be opened),
/// then replaces the 19 variables in their fixed order and, when ReplaceUmlauts is set, the
/// umlauts. Texts from outside (title, tag fields) arrive with control bytes as blanks.
[[nodiscard]] std::string ExpandPlaceholders(const std::string& lineTemplate);

} // namespace lum
