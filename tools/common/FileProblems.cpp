#include "tools/common/FileProblems.h"

#include "settings/SettingsFile.h"
#include "tools/common/EscapedText.h"

#include <filesystem>
#include <fstream>

namespace lum::tools {
namespace {

namespace fs = std::filesystem;

std::string Escaped(const fs::path& path) {
    return EscapeText(path.string());
}

fs::path FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// What keeps the entry at `path` from being a settings file at all, if anything.
std::optional<std::string> EntryProblem(const std::string& path) {
    std::error_code error;
    const auto status = fs::status(path, error);
    if (!fs::exists(status)) {
        if (fs::is_symlink(fs::symlink_status(path, error))) {
            return std::string("a symbolic link to a missing file");
        }
        const fs::path folder = FolderOf(path);
        if (!fs::is_directory(folder, error)) {
            return "the folder " + Escaped(folder) + " does not exist";
        }
        return std::string("no such file");
    }
    if (fs::is_directory(status)) {
        return std::string("a folder, not a file");
    }
    if (!fs::is_regular_file(status)) {
        return std::string("not a plain file (a FIFO, a device or a socket)");
    }
    return std::nullopt;
}

bool IsWriteProtected(const std::string& path) {
    std::error_code error;
    const auto permissions = fs::status(path, error).permissions();
    constexpr auto kAnyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return !error && (permissions & kAnyWrite) == fs::perms::none;
}

bool CanOpenForReading(const std::string& path) {
    return std::ifstream(path, std::ios::binary).is_open();
}

std::string SizeText(std::uintmax_t bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

} // namespace

std::string LoadFailureCause(const std::string& path, const LumError& error) {
    std::error_code ignored;
    if (error.Format() == messages::kCannotOpenFile) {
        if (auto problem = EntryProblem(path)) {
            return *problem;
        }
        if (IsWriteProtected(path)) {
            return "write-protected, and the plug-in opens its settings for writing as well";
        }
        if (!CanOpenForReading(path)) {
            return "no permission to read it";
        }
        return "it cannot be opened for writing (no permission, or locked by another program), "
               "and the plug-in opens its settings for writing as well";
    }
    if (error.Format() == messages::kStreamReadError) {
        const auto size = fs::file_size(path, ignored);
        if (size > kMaxSettingsFileBytes) {
            return SizeText(size) + ", far more than any settings file holds";
        }
        return "the values run past its end at " + SizeText(size) +
               ": damaged, or not a settings file";
    }
    if (error.Format() == messages::kInvalidPropertyValue) {
        return "a value of the wrong type: damaged, or not a settings file";
    }
    return "unexpected failure";
}

std::string SaveFailureCause(const std::string& path, const LumError& error) {
    std::error_code ignored;
    const fs::path folder = FolderOf(path);
    if (error.Format() == messages::kStreamWriteError) {
        const auto space = fs::space(folder, ignored);
        if (!ignored && space.available < kMaxSettingsFileBytes) {
            return "writing failed with " + SizeText(space.available) +
                   " free on its disk: the disk is full";
        }
        return "writing failed: the disk may be failing";
    }
    if (fs::exists(fs::symlink_status(path, ignored))) {
        if (auto problem = EntryProblem(path)) {
            return *problem;
        }
        if (IsWriteProtected(path)) {
            return std::string("write-protected");
        }
        return "it cannot be opened for writing (no permission, or locked by another program)";
    }
    if (!fs::is_directory(folder, ignored)) {
        return "the folder " + Escaped(folder) + " does not exist";
    }
    return "no permission to create files in " + Escaped(folder);
}

std::string ReadFailureCause(const std::string& path) {
    if (auto problem = EntryProblem(path)) {
        return *problem;
    }
    if (!CanOpenForReading(path)) {
        return "no permission to read it";
    }
    return "it is locked by another program";
}

std::optional<std::vector<std::uint8_t>> ReadPlainFile(const std::string& path,
                                                       std::size_t maxBytes) {
    if (EntryProblem(path)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > maxBytes) {
            return std::nullopt;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace lum::tools
