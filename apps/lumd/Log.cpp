#include "apps/lumd/Log.h"

#include "common/LumError.h"
#include "common/Utf8.h"
#include "common/Windows1252.h"
#include "tools/common/EscapedText.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::lumd {
namespace {

struct LevelRow {
    LogLevel Level;
    std::string_view Name;
    std::string_view Priority; ///< the syslog priority's prefix (sd-daemon.h)
};

// clang-format off
constexpr LevelRow kLevels[] = {
    // Level            Name        Priority
    {LogLevel::Error,   "error",    "<3>"},
    {LogLevel::Warning, "warning",  "<4>"},
    {LogLevel::Info,    "info",     "<6>"},
    {LogLevel::Debug,   "debug",    "<7>"},
};
// clang-format on
static_assert(std::size(kLevels) == 4);

const LevelRow& RowOf(LogLevel level) {
    return *std::find_if(std::begin(kLevels), std::end(kLevels),
                         [level](const LevelRow& row) { return row.Level == level; });
}

bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

// `text` with its control characters and the bytes of no well-formed UTF-8 sequence escaped.
std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto character = DecodeUtf8At(text, at);
        const std::size_t length = character ? character->Length : 1;
        if (character && !IsControl(character->CodePoint)) {
            out.append(text, at, length);
        } else {
            out += tools::EscapeText(text.substr(at, length));
        }
        at += length;
    }
    return out;
}

// Writes `line` to standard error as far as it goes: a write that fails (the reader gone, a full
// disk) drops the rest of this line only, and the next line is tried afresh.
void WriteToStandardError(std::string_view line) {
    while (!line.empty()) {
        const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        line.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

std::string_view LogLevelName(LogLevel level) {
    return RowOf(level).Name;
}

bool StandardErrorIsJournal() {
    const char* stream = std::getenv("JOURNAL_STREAM");
    struct stat status {};
    if (stream == nullptr || ::fstat(STDERR_FILENO, &status) != 0) {
        return false;
    }
    return stream == std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

Log::Log(LogLevel threshold, Sink sink) : threshold_(threshold), sink_(std::move(sink)) {
    if (sink_) {
        return;
    }
    if (StandardErrorIsJournal()) {
        sink_ = [](LogLevel level, std::string_view text) {
            std::string line(RowOf(level).Priority);
            line.append(text).append("\n");
            WriteToStandardError(line);
        };
        return;
    }
    sink_ = [](LogLevel level, std::string_view text) {
        std::string line = "lumd: ";
        line.append(LogLevelName(level)).append(": ").append(text).append("\n");
        WriteToStandardError(line);
    };
}

void Log::Write(LogLevel level, std::string_view text) {
    if (level > threshold_) {
        return;
    }
    const std::string printable = PrintableText(text);
    const std::lock_guard lock(mutex_);
    sink_(level, printable);
}

std::string PluginErrorText(std::string_view message) {
    std::string blanked = ErrorMessageText(message);
    for (char& c : blanked) {
        c = static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return Windows1252ToUtf8(blanked);
}

} // namespace lum::lumd
