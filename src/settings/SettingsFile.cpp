#include "settings/SettingsFile.h"

#include "common/LumError.h"
#include "platform/Files.h"
#include "settings/SettingsFields.h"
#include "settings/ValueStream.h"

#include <cassert>
#include <type_traits>
#include <variant>

namespace lum {

std::string SettingsFilePath(const std::string& hostDirectory) {
    return hostDirectory + "plugins" + platform::PathSeparator() + "gen_lum.ini";
}

void WriteStoredValue(ValueWriter& writer, const SettingsField& field) {
    std::visit(
        [&writer](auto* value) {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::int32_t>) {
                writer.WriteInteger(*value);
            } else if constexpr (std::is_same_v<T, std::string>) {
                writer.WriteString(*value);
            } else {
                writer.WriteBoolean(*value);
            }
        },
        field.Value);
}

std::vector<std::uint8_t> EncodeSettings(const Settings& settings) {
    Settings source = settings;
    ValueWriter writer;
    for (const auto& field : StoredFields(source)) {
        WriteStoredValue(writer, field);
    }
    return writer.Bytes();
}

Settings DecodeSettings(std::span<const std::uint8_t> bytes) {
    Settings values;
    ValueReader reader(bytes);
    for (const auto& field : StoredFields(values)) {
        std::visit(
            [&reader](auto* value) {
                using T = std::remove_pointer_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::int32_t>) {
                    *value = reader.ReadInteger();
                } else if constexpr (std::is_same_v<T, std::string>) {
                    *value = reader.ReadString();
                } else {
                    *value = reader.ReadBoolean();
                }
            },
            field.Value);
    }
    return values;
}

void StoreLoadedSettings(const Settings& asRead, Settings& target) {
    Settings source = asRead;
    const auto from = StoredFields(source);
    const auto to = StoredFields(target);
    assert(from.size() == to.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        std::visit(
            [&](auto* destination) {
                using T = std::remove_pointer_t<decltype(destination)>;
                const T& value = *std::get<T*>(from[i].Value);
                if constexpr (std::is_same_v<T, std::int32_t>) {
                    *destination = MapLoadedInteger(to[i], value);
                } else {
                    *destination = value;
                }
            },
            to[i].Value);
    }
}

void SaveSettingsFile(const std::string& path, const Settings& settings) {
    const auto bytes = EncodeSettings(settings);
    switch (platform::ReplaceFileAtomically(path, bytes)) {
    case platform::FileResult::Ok:
        return;
    case platform::FileResult::WriteFailed:
        throw LumError(messages::kStreamWriteError);
    default:
        throw LumError(messages::kCannotCreateFile, path);
    }
}

std::optional<Settings> LoadSettingsFile(const std::string& path) {
    if (!platform::IsExistingFile(path)) {
        return std::nullopt;
    }
    const auto file = platform::ReadFileOpenedForReadWrite(path, kMaxSettingsFileBytes);
    switch (file.Result) {
    case platform::FileResult::Ok:
        return DecodeSettings(file.Bytes);
    case platform::FileResult::ReadFailed:
        throw LumError(messages::kStreamReadError);
    default:
        throw LumError(messages::kCannotOpenFile, path);
    }
}

void SaveSettings(const Settings& settings) {
    SaveSettingsFile(SettingsFilePath(platform::HostDirectory()), settings);
}

std::optional<Settings> LoadSettings() {
    return LoadSettingsFile(SettingsFilePath(platform::HostDirectory()));
}

} // namespace lum
