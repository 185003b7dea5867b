#pragma once
// The plug-in's error: an exception carrying the system's own message text.
//
// Messages are single-byte Windows-1252 text, shown to the user as they stand. A message may be
// built from a format with one "%s", which is kept beside the argument so that tools can render
// the format for their own console without touching the argument's bytes.

#include <stdexcept>
#include <string>
#include <string_view>

namespace lum {

/// The system's messages and message formats, in Windows-1252.
namespace messages {
inline constexpr std::string_view kCannotCreateFile = "Datei %s kann nicht erstellt werden";
inline constexpr std::string_view kCannotOpenFile = "Datei %s kann nicht ge\xF6"
                                                    "ffnet werden";
inline constexpr std::string_view kStreamReadError = "Stream-Read-Fehler";
inline constexpr std::string_view kStreamWriteError = "Stream-Write-Fehler";
inline constexpr std::string_view kInvalidPropertyValue = "Ung\xFCltiger Wert der Eigenschaft";
inline constexpr std::string_view kNotAnInteger = "'%s' ist kein g\xFCltiger Integerwert";
inline constexpr std::string_view kCannotOpenId3Tag = "unable to open file to read ID3 tag";
inline constexpr std::string_view kFirstRun = "Sie starten das Plugin zum ersten mal.\r\n"
                                              "Das Konfigurationsfenster wird automatisch ge\xF6"
                                              "ffnet!";
inline constexpr std::string_view kFontMissing =
    "Eine f\xFCr das Plugin notwendige Schriftart ist nicht auf dem System vorhanden.\r\n"
    "Bitte kopieren sie \"Digital Readout Upright\" (DIGIRU__.TTF) in das Windows "
    "Schriftartenverzeichnis!";
inline constexpr std::string_view kUnknownError =
    "Unbekannter Fehler"; ///< an exception of no known kind
} // namespace messages

/// An error raised by the plug-in's own code; `what()` is the complete message.
class LumError : public std::runtime_error {
public:
    /// An error whose message is `format` with its "%s" (if any) replaced by `argument`.
    explicit LumError(std::string_view format, std::string_view argument = {});

    /// The format the message was built from.
    [[nodiscard]] const std::string& Format() const { return format_; }
    /// The text that replaced "%s" in the format.
    [[nodiscard]] const std::string& Argument() const { return argument_; }

private:
    std::string format_;
    std::string argument_;
};

/// Replaces the first "%s" of `format` by `argument`.
[[nodiscard]] std::string FormatMessageText(std::string_view format, std::string_view argument);

/// The text an error message shows for an exception's message: with a full stop appended when
/// it does not end with one.
[[nodiscard]] std::string ErrorMessageText(std::string_view message);

} // namespace lum
