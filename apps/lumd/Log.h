#pragma once
// lumd's messages: each has a level, and those at or above the chosen level go to a sink (standard
// error unless set otherwise). Writing is thread-safe: the player sources log from their threads.
// A message carries texts of the players and servers, so the log makes every one printable: no
// byte of a message can move the cursor, retitle or clear a terminal, or start a line of its own.
// When standard error is the journal's stream (JOURNAL_STREAM names its device and inode, as
// systemd sets it for a service), each line carries its syslog priority instead of the program's
// name and the level word: "<3>" error, "<4>" warning, "<6>" info, "<7>" debug.

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace lum::lumd {

/// How much a message matters, the most important first.
enum class LogLevel { Error, Warning, Info, Debug };

/// The message's level as a word ("error", "warning", "info", "debug").
[[nodiscard]] std::string_view LogLevelName(LogLevel level);

/// Whether standard error is the journal's stream: JOURNAL_STREAM holds its "device:inode".
[[nodiscard]] bool StandardErrorIsJournal();

/// A filter by level in front of one sink.
class Log {
public:
    /// Receives each message that passes the filter, one call at a time.
    using Sink = std::function<void(LogLevel, std::string_view)>;

    /// Passes messages up to `threshold` to `sink`; without a sink, to standard error as
    /// "lumd: LEVEL: text", or as "<PRIORITY>text" when standard error is the journal.
    explicit Log(LogLevel threshold = LogLevel::Info, Sink sink = {});

    /// Passes `text` on when `level` is at or above the threshold, with each control character
    /// (C0, DEL, the C1 range U+0080-U+009F) and each byte that is no part of a well-formed UTF-8
    /// sequence in the escaped form \xHH, as lumd repeats input; other characters as they are.
    void Write(LogLevel level, std::string_view text);
    void Error(std::string_view text) { Write(LogLevel::Error, text); }
    void Warning(std::string_view text) { Write(LogLevel::Warning, text); }
    void Info(std::string_view text) { Write(LogLevel::Info, text); }
    void Debug(std::string_view text) { Write(LogLevel::Debug, text); }

private:
    LogLevel threshold_;
    Sink sink_;
    std::mutex mutex_;
};

/// A message of the plug-in's code as its error message box shows it (ending in a full stop),
/// for the log: Windows-1252 turned into UTF-8, line breaks into blanks.
[[nodiscard]] std::string PluginErrorText(std::string_view message);

} // namespace lum::lumd
