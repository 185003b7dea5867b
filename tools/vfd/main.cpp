// vfd: a virtual vacuum fluorescent display. It reads the byte stream a display would receive
// and shows what the display would show: live in the terminal, as a PNG picture, as text.
//
//   vfd --pty [--link PATH] | --device PATH [--baud N] | --file PATH
//       [--width W] [--lines N] [--snapshot FILE.png] [--log FILE] [--dump] [--quiet]
//       [--seconds S] [--charset NAME]
//
// --pty creates a pty and names its slave on standard error ("vfd: display on /dev/pts/N");
// --link also makes PATH a symbolic link to it (replacing only a symbolic link, removed at the
// end if it still points to the pty). A file is read to its end, a FIFO until its writer closes
// it; a pty or device until SIGINT or SIGTERM; any of them at most --seconds. SIGUSR1 writes the
// snapshot at once. At the end the snapshot is written and --dump prints the cells as text.
// --log writes every chunk of bytes with its time: "<ms> <hex bytes>". --charset names the
// display's character set (cp1252 unless given): the terminal, the dump (in UTF-8) and the
// snapshot show each byte as that set has it. --help prints the usage.
// Exit codes: 0 done, 1 a source or file failed, 2 usage.

#include "common/Windows1252.h"
#include "tools/common/CommandLine.h"
#include "tools/vfd/ByteSource.h"
#include "tools/vfd/CharacterDisplay.h"
#include "tools/vfd/Options.h"
#include "tools/vfd/PngFile.h"
#include "tools/vfd/PtyLink.h"
#include "tools/vfd/TerminalView.h"
#include "ui/dotmatrix/Renderer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <poll.h>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace lum;

constexpr int kExitFailure = 1;
/// How long the loop waits at most, so that a signal is never missed for long.
constexpr int kPollMilliseconds = 100;

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t snapshotRequested = 0;

void OnStop(int /*signal*/) {
    stopRequested = 1;
}

void OnSnapshot(int /*signal*/) {
    snapshotRequested = 1;
}

/// Appends " XX" for each byte to `text`.
void AppendHex(std::string& text, std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (const std::uint8_t byte : bytes) {
        text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
}

/// A line of the display in the font's Windows-1252: each cell as the character `set` shows for
/// it; one the font cannot have as a byte without a glyph (drawn as a block).
std::string FontText(std::string_view cells, const DisplayCharset& set) {
    constexpr char kNoGlyph = '\x81';
    std::string text;
    for (const char cell : cells) {
        const auto codePoint = set.CodePointOf(static_cast<std::uint8_t>(cell));
        char shown = kNoGlyph;
        for (int byte = 0x20; codePoint && byte <= 0xFF; ++byte) {
            if (Windows1252CodePoint(static_cast<std::uint8_t>(byte)) == codePoint) {
                shown = static_cast<char>(byte);
                break;
            }
        }
        text += shown;
    }
    return text;
}

std::string WriteSnapshot(const vfd::CharacterDisplay& display, const DisplayCharset& set,
                          const std::string& path) {
    const dotmatrix::DotStyle style;
    std::vector<std::string> lines;
    for (const std::string& line : display.Text()) {
        lines.push_back(FontText(line, set));
    }
    dotmatrix::Image image =
        dotmatrix::BlankImage(dotmatrix::DisplayWidth(display.Columns(), style),
                              dotmatrix::DisplayHeight(display.Lines(), style), 0);
    dotmatrix::DrawDisplay(image, 0, 0, lines, display.Columns(), style, display.Brightness());
    return vfd::WritePng(image, path);
}

} // namespace

int main(int argc, char** argv) {
    vfd::Options options;
    try {
        options =
            vfd::ParseOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    } catch (const tools::CommandLineError& error) {
        return tools::RefuseCommandLine("vfd", error, vfd::kVfdUsage);
    }
    if (options.Help) {
        std::cout << (options.Version ? tools::VersionLine("vfd") : std::string(vfd::kVfdUsage));
        return 0;
    }
    std::string problem;
    std::optional<vfd::ByteSource> source;
    if (options.Pty) {
        source = vfd::OpenPty(problem);
    } else if (!options.Device.empty()) {
        source = vfd::OpenDevice(options.Device, options.Baud, problem);
    } else {
        source = vfd::OpenFile(options.File, problem);
    }
    if (!source) {
        std::cerr << "vfd: " << problem << "\n";
        return kExitFailure;
    }
    vfd::PtyLink link;
    if (options.Pty) {
        if (!options.Link.empty()) {
            if (const std::string failed = link.Make(options.Link, source->Name); !failed.empty()) {
                std::cerr << "vfd: " << failed << "\n";
                vfd::Close(*source);
                return kExitFailure;
            }
        }
        std::cerr << "vfd: display on " << source->Name << std::endl;
    }
    std::ofstream log;
    if (!options.Log.empty()) {
        log.open(options.Log, std::ios::trunc);
        if (!log) {
            std::cerr << "vfd: cannot create " << options.Log << "\n";
            vfd::Close(*source);
            return kExitFailure;
        }
    }
    struct sigaction stop {};
    stop.sa_handler = &OnStop;
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    struct sigaction snapshot {};
    snapshot.sa_handler = &OnSnapshot;
    sigaction(SIGUSR1, &snapshot, nullptr);

    vfd::CharacterDisplay display(options.Width, options.Lines);
    const bool live = !options.Quiet && !options.Dump && isatty(STDOUT_FILENO) != 0;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::uint64_t received = 0;
    bool drawn = false;
    const auto draw = [&] {
        const std::string status = source->Name + "  " + std::to_string(received) +
                                   " bytes  brightness " +
                                   std::to_string(4 - display.Brightness()) + "/4";
        std::cout << vfd::TerminalDrawing(display, *options.Charset, status, drawn) << std::flush;
        drawn = true;
    };
    if (live) {
        draw();
    }
    // Bounded whatever the source's size: one chunk and one log line at a time.
    std::vector<std::uint8_t> buffer(4096);
    std::string logLine;
    int exitCode = 0;
    while (stopRequested == 0 && (options.Seconds <= 0 || elapsed() < options.Seconds)) {
        if (snapshotRequested != 0 && !options.Snapshot.empty()) {
            snapshotRequested = 0;
            if (const std::string failed =
                    WriteSnapshot(display, *options.Charset, options.Snapshot);
                !failed.empty()) {
                std::cerr << "vfd: " << failed << "\n";
            }
        }
        pollfd ready{source->Fd, POLLIN, 0};
        if (::poll(&ready, 1, kPollMilliseconds) <= 0) {
            continue;
        }
        const ssize_t count = ::read(source->Fd, buffer.data(), buffer.size());
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (count <= 0) {
            if (count < 0) {
                std::cerr << "vfd: reading " << source->Name << ": " << std::strerror(errno)
                          << "\n";
                exitCode = kExitFailure;
            }
            if (source->EndsAtEof || count < 0) {
                break;
            }
            continue;
        }
        const std::span chunk(buffer.data(), static_cast<std::size_t>(count));
        display.Feed(chunk);
        received += static_cast<std::uint64_t>(count);
        if (log.is_open()) {
            logLine.clear(); // keeps its capacity
            logLine += std::to_string(static_cast<long>(elapsed() * 1000));
            AppendHex(logLine, chunk);
            logLine += '\n';
            log << logLine << std::flush;
        }
        if (live) {
            draw();
        }
    }
    vfd::Close(*source);
    if (!options.Snapshot.empty()) {
        if (const std::string failed = WriteSnapshot(display, *options.Charset, options.Snapshot);
            !failed.empty()) {
            std::cerr << "vfd: " << failed << "\n";
            exitCode = kExitFailure;
        }
    }
    if (options.Dump) {
        std::cout << vfd::PlainText(display, *options.Charset);
    }
    return exitCode;
}
