#pragma once
// The keys of lumd's configuration file (TOML), in the order the file and the manual show them.
// Reading, the defaults, the written file (lumctl export, the example) and the manual's list of
// keys all walk this one table; what a key maps to is a field of the plug-in's settings, named as
// lumctl and the plug-in's file name it, or one of lumd's own values.
//
//   [source]    the player lumd follows           [rotation]  the text sets taking turns
//   [display]   the display, its line and frames  [rest]      the display resting while idle
//   [[set]]     text sets 1-4 with their lines
//   [plugin]    values only the Windows plug-in uses, kept when lumctl converts its file

#include "apps/lumd/config/LumdConfig.h"

#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

namespace lum::lumd {

/// How a key's value is written in the file and stored.
enum class KeyKind {
    Integer,     ///< a whole number in its settings field's range
    Boolean,     ///< true or false
    SwitchedOn,  ///< true or false, stored inverted (the plug-in's DisplayOff)
    DisplayText, ///< a text, stored in the display's Windows-1252
    OwnText,     ///< a text of lumd's own (a path, a name), kept as written
    Word,        ///< one of a list of words, kept as written
    Baud,        ///< one of the baud rates, stored as the index of its dialog entry
    InitByte,    ///< a byte 0-255 or "" for none, stored as decimal text
    Protocol,    ///< a protocol's name: the plug-in's kinds as its flags, others lumd's own
    CrWithBa63,  ///< the plug-in's CR box ticked together with BA63 mode
    Lines,       ///< the lines of a text set: texts, or tables with a text and a scroll mode
    Charset,     ///< the display's character set, by name
    Brightness,  ///< a brightness step 1-4
    Banner,      ///< "off", "plugin", or the texts of a banner's lines
    Minutes,     ///< minutes, a fraction allowed, stored as milliseconds
    RestLines,   ///< the texts of the resting screen's lines
};

/// A section of the file; `set` is an array of tables, one a text set.
struct ConfigSection {
    std::string_view Name;
    bool IsArray;
    std::string_view Meaning;
};

/// One key: its place, how it is written and stored, what it maps to, and what it means.
struct ConfigKey {
    std::string_view Section;
    std::string_view Name;
    KeyKind Kind;
    std::string_view Field;        ///< the settings field (lumctl's name); empty: lumd's own
    std::string OwnSettings::*Own; ///< lumd's own value; nullptr: a settings field
    std::span<const std::string_view> Words; ///< the words a Word key takes
    std::string_view Meaning;
    std::uint32_t DisplayOptions::*Minutes = nullptr; ///< a Minutes key's rule

    /// "section.name".
    [[nodiscard]] std::string FullName() const;
};

/// The words of source.player.
inline constexpr std::string_view kPlayerWords[] = {"mpd", "mpris", "playlist"};
/// The words of display.lcdproc-idle: LCDd's screen priorities below foreground.
inline constexpr std::string_view kLcdprocIdleWords[] = {"background", "info", "hidden"};

// clang-format off
inline constexpr ConfigSection kConfigSections[] = {
    // Name       IsArray  Meaning
    {"source",   false,   "The player lumd follows."},
    {"display",  false,   "The display: its device and line, or LCDproc's server, its size, its protocol and what its lines show."},
    {"rotation", false,   "The text sets taking turns on the display."},
    {"rest",     false,   "The display resting while the player is stopped or paused: the resting screen at the lowest brightness, later a blank display; any change of the player wakes it."},
    {"set",      true,    "The text sets 1-4 in order, each a [[set]] table with the templates of its lines 1-8. "
                          "Without any, set 1 shows the title above the state and the position; with some, the "
                          "sets and lines not given are empty."},
    {"plugin",   false,   "Values only the Windows plug-in uses: lumctl import and export keep them; lumd does not read them."},
};
static_assert(std::size(kConfigSections) == 6);

inline constexpr ConfigKey kConfigKeys[] = {
    // Section   Name               Kind                  Field                 Own                              Words          Meaning
    {"source",   "player",          KeyKind::Word,        "",                   &OwnSettings::Player,            kPlayerWords,  "The player: mpd, an MPRIS player on the session bus, or a playlist in a simulated player."},
    {"source",   "address",         KeyKind::OwnText,     "",                   &OwnSettings::Address,           {},            "mpd: [PASSWORD@]HOST[:PORT], a socket path or @abstract socket (empty: MPD_HOST and MPD_PORT, else localhost:6600); mpris: a part of the player's bus name (empty: the first player); playlist: the extended M3U file."},
    {"source",   "music-dir",       KeyKind::OwnText,     "",                   &OwnSettings::MusicDirectory,    {},            "mpd: MPD's music folder on this machine, for the files' ID3v1 tags (empty: asked from MPD on a local socket)."},
    {"display",  "port",            KeyKind::OwnText,     "",                   &OwnSettings::Port,              {},            "The display's tty, such as /dev/ttyUSB0; needed here or with --port, unless the display is LCDd's (lcdproc)."},
    {"display",  "lcdproc",         KeyKind::OwnText,     "",                   &OwnSettings::Lcdproc,           {},            "LCDproc's server LCDd as the display, in place of port: HOST[:PORT] (port 13666 unless given), such as \"localhost\"; lumd is its client, and shows on whatever display LCDd drives. LCDd's display gives the width and the lines; baud, protocol and init do not apply, and the charset is latin1 unless given."},
    {"display",  "lcdproc-idle",    KeyKind::Word,        "",                   &OwnSettings::LcdprocIdle,       kLcdprocIdleWords, "With lcdproc: the priority of lumd's screen on LCDd while the player is stopped or paused (while it plays: foreground). A background screen shows only when no other screen is there, LCDd's own server screen included; an info screen takes turns with the other info screens (the server screen among them unless LCDd.conf says ServerScreen=no); a hidden one never shows."},
    {"display",  "baud",            KeyKind::Baud,        "BaudRateIndex",      nullptr,                         {},            "The line's speed in baud, 8 data bits, no parity, 1 stop bit (left out: 9600)."},
    {"display",  "protocol",        KeyKind::Protocol,    "SendCarriageReturn, Ba63Mode", &OwnSettings::Protocol,          {},            "The commands the display understands (the displays each suits: DISPLAYS in lumd.conf(5)); plain, cr and ba63 are the plug-in's three kinds."},
    {"display",  "width",           KeyKind::Integer,     "LineWidth",          nullptr,                         {},            "Characters per line."},
    {"display",  "lines",           KeyKind::Integer,     "LineCount",          nullptr,                         {},            "Lines of the display."},
    {"display",  "init",            KeyKind::InitByte,    "InitCommand",        nullptr,                         {},            "The byte sent 1 s after the port opens, before the first frame (plain, cr and ba63)."},
    {"display",  "refresh",         KeyKind::Integer,     "UpdateInterval",     nullptr,                         {},            "Milliseconds between frames, and between scroll steps."},
    {"display",  "separator",       KeyKind::DisplayText, "Separator",          nullptr,                         {},            "Put between the end and the start of a scrolling line."},
    {"display",  "replace-umlauts", KeyKind::Boolean,     "ReplaceUmlauts",     nullptr,                         {},            "Write ae, oe, ue, ss and their capitals for the German umlauts and sharp s."},
    {"display",  "switched-on",     KeyKind::SwitchedOn,  "DisplayOff",         nullptr,                         {},            "Whether the display shows anything; off, it is cleared once and left dark."},
    {"display",  "charset",         KeyKind::Charset,     "",                   nullptr,                         {},            "The display's character set: what the display shows for each byte (a display set to another country or code page: the set it shows). Characters it lacks are folded: quotes to ' and \", dashes to -, accented letters to their base letter."},
    {"display",  "brightness",      KeyKind::Brightness,  "",                   nullptr,                         {},            "The brightness sent after every start and on waking from the rest: 1, the dimmest, to 4, the brightest."},
    {"display",  "banner",          KeyKind::Banner,      "",                   nullptr,                         {},            "What every start shows for 4 seconds: \"plugin\" (the Windows plug-in's banner), \"off\", or the templates of lines of one's own."},
    {"rotation", "seconds",         KeyKind::Integer,     "SetChangeSeconds",   nullptr,                         {},            "Seconds each text set is shown; 0: set 1 alone."},
    {"rotation", "sets",            KeyKind::Integer,     "SetCount",           nullptr,                         {},            "How many sets, from set 1, take turns."},
    {"rest",     "after",           KeyKind::Minutes,     "",                   nullptr,                         {},            "Minutes stopped or paused before the resting screen shows; 0: never.", &DisplayOptions::RestAfterMs},
    {"rest",     "blank-after",     KeyKind::Minutes,     "",                   nullptr,                         {},            "Minutes of resting screen before the display goes blank; 0: never.", &DisplayOptions::BlankAfterMs},
    {"rest",     "lines",           KeyKind::RestLines,   "",                   nullptr,                         {},            "The templates of the resting screen's lines."},
    {"set",      "lines",           KeyKind::Lines,       "Set<k>.Line<i>.Template, Set<k>.Line<i>.ScrollMode",
                                                                                nullptr,                         {},            "The templates of lines 1-8 (their placeholders: lumd.conf(5)); a line longer than the display scrolls when its scroll is \"left\" or \"right\"."},
    {"plugin",   "com-port",        KeyKind::Integer,     "ComPort",            nullptr,                         {},            "The plug-in's COM port (lumd uses display.port)."},
    {"plugin",   "main-window",     KeyKind::Boolean,     "ShowMainWindow",     nullptr,                         {},            "Whether the plug-in shows its main window."},
    {"plugin",   "main-window-minimized", KeyKind::Boolean, "MainWindowMinimized", nullptr,                      {},            "Whether the plug-in's main window starts minimised."},
    {"plugin",   "cr-with-ba63",    KeyKind::CrWithBa63,  "SendCarriageReturn", nullptr,                         {},            "The dialog's CR box ticked with BA63 mode, which sends no CR either way."},
};
// clang-format on
static_assert(std::size(kConfigKeys) == 28);

/// The section named `name`; nullptr when there is none.
[[nodiscard]] const ConfigSection* FindSection(std::string_view name);

/// The key `name` of `section`; nullptr when there is none.
[[nodiscard]] const ConfigKey* FindKey(std::string_view section, std::string_view name);

} // namespace lum::lumd
