#pragma once
// The settings file: the 79 stored values of the Settings as a value stream (see ValueStream.h),
// in the order of StoredFields. Written only by the configuration dialog's "OK", read once at
// start-up.

#include "settings/Settings.h"
#include "settings/SettingsFields.h"
#include "settings/ValueStream.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lum {

/// The settings file below a host folder (which ends with its separator): "plugins\gen_lum.ini"
/// with the platform's separator.
[[nodiscard]] std::string SettingsFilePath(const std::string& hostDirectory);

/// Appends the value `field` points to, in its smallest encoding.
void WriteStoredValue(ValueWriter& writer, const SettingsField& field);

/// The file's bytes for `settings`.
[[nodiscard]] std::vector<std::uint8_t> EncodeSettings(const Settings& settings);

/// The 79 values of a file's bytes, as read: integers neither clamped nor mapped; the fields that
/// are not stored keep their start values. Raises the settings file's read errors.
[[nodiscard]] Settings DecodeSettings(std::span<const std::uint8_t> bytes);

/// Stores values as read into `target`: texts and booleans as they are, integers clamped into
/// their ranges, list indexes outside their list as -1. Fields that are not stored are untouched.
void StoreLoadedSettings(const Settings& asRead, Settings& target);

/// Writes `settings` to `path`, replacing the file atomically. Raises "Datei %s kann nicht
/// erstellt werden" or "Stream-Write-Fehler"; on failure the previous file is unchanged.
void SaveSettingsFile(const std::string& path, const Settings& settings);

/// The longest file the loader reads: far beyond any settings file, it keeps a wrong path (a huge
/// file) from filling the memory. A longer file is a "Stream-Read-Fehler".
inline constexpr std::size_t kMaxSettingsFileBytes = 16u * 1024 * 1024;

/// Reads the values of the file at `path`, as read; nothing when no such file exists. Raises
/// "Datei %s kann nicht geöffnet werden" (also for a FIFO or device), "Stream-Read-Fehler" or
/// "Ungültiger Wert der Eigenschaft".
[[nodiscard]] std::optional<Settings> LoadSettingsFile(const std::string& path);

/// Writes `settings` to the settings file below the host's folder.
void SaveSettings(const Settings& settings);

/// Reads the settings file below the host's folder, as read; nothing when it is absent.
[[nodiscard]] std::optional<Settings> LoadSettings();

} // namespace lum
