#pragma once
// lumctl's steps on the plug-in's settings file, each failure with the file, the plug-in's own
// message and its cause.

#include "common/LumError.h"
#include "settings/Settings.h"

#include <string>

namespace lum::tools {

/// Which of the plug-in's file operations failed, for the cause beside its message.
enum class FileStep { Load, Save, Read };

/// A file step that failed with one of the plug-in's errors.
struct FileFailure {
    std::string Path;
    FileStep Step;
    LumError Error;
};

/// "FILE: the plug-in's message (cause)".
[[nodiscard]] std::string Describe(const FileFailure& failure);

/// Runs a file step of the plug-in's code, turning its error into a FileFailure for `path`.
template <typename Action> auto Step(const std::string& path, FileStep step, Action action) {
    try {
        return action();
    } catch (const LumError& error) {
        throw FileFailure{path, step, error};
    }
}

/// The settings of the file at `path` as the plug-in loads them. Raises FileFailure.
[[nodiscard]] Settings LoadAsPluginDoes(const std::string& path);

/// The settings as the plug-in loads them, also from a file the plug-in cannot open because it
/// opens its settings for writing as well (a note on standard error says so). Raises
/// FileFailure.
[[nodiscard]] Settings LoadForReading(const std::string& path);

/// Writes `settings` to `path`, replacing the file atomically. Raises FileFailure.
void Save(const std::string& path, const Settings& settings);

} // namespace lum::tools
