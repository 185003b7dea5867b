#pragma once
// Text between the configuration file and the display. The file is UTF-8; the display's text is
// Windows-1252, converted once as the file is read ('?' for a character Windows-1252 lacks).
// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand in the file
// as the code points of the same number (U+0081, ...), so that every byte of the plug-in's file
// survives a conversion to the text file and back.

#include <string>
#include <string_view>

namespace lum::lumd {

/// The display's Windows-1252 text for the UTF-8 `text` of the file.
[[nodiscard]] std::string DisplayTextFromFile(std::string_view text);

/// A TOML basic string (in double quotes) holding the Windows-1252 `bytes`.
[[nodiscard]] std::string QuotedDisplayText(std::string_view bytes);

/// A TOML basic string (in double quotes) holding the UTF-8 `text`; bytes that are no part of a
/// well-formed UTF-8 sequence become U+FFFD.
[[nodiscard]] std::string QuotedText(std::string_view text);

} // namespace lum::lumd
