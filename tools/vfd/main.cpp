// vfd: a virtual vacuum fluorescent display. It reads the byte stream a display would receive
// and shows what the display would show: live in the terminal, as a PNG picture, as text.
//
//   vfd --pty [--link PATH] | --device PATH [--baud N] | --file PATH
//       [--width W] [--lines N] [--snapshot FILE.png] [--log FILE] [--dump] [--quiet]
//       [--seconds S]
//
// --pty creates a pty and names its slave on standard error ("vfd: display on /dev/pts/N");
// --link also makes PATH a symbolic link to it. A file is read to its end; a pty or device until
// SIGINT or SIGTERM (or --seconds). SIGUSR1 writes the snapshot at once. At the end the
// snapshot is written and --dump prints the cells as text. --log writes every chunk of bytes
// with its time: "<ms> <hex bytes>". Exit codes: 0 done, 1 a source or file failed, 2 usage.

#include "tools/vfd/ByteSource.h"
#include "tools/vfd/CharacterDisplay.h"
#include "tools/vfd/PngFile.h"
#include "tools/vfd/TerminalView.h"
#include "ui/dotmatrix/Renderer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace lum;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
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

struct Options {
    bool Pty = false;
    std::string Link;
    std::string Device;
    unsigned Baud = 9600;
    std::string File;
    int Width = 20;
    int Lines = 2;
    std::string Snapshot;
    std::string Log;
    bool Dump = false;
    bool Quiet = false;
    double Seconds = 0;
};

int Usage(const std::string& problem) {
    if (!problem.empty()) {
        std::cerr << "vfd: " << problem << "\n";
    }
    std::cerr << "usage: vfd --pty [--link PATH] | --device PATH [--baud N] | --file PATH\n"
                 "           [--width W] [--lines N] [--snapshot FILE.png] [--log FILE]\n"
                 "           [--dump] [--quiet] [--seconds S]\n";
    return kExitUsage;
}

std::optional<Options> ParseOptions(int argc, char** argv, std::string& problem) {
    Options options;
    const auto number = [&problem](const std::string& text, long min, long max) -> long {
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || value < min || value > max) {
            problem = "bad number " + text;
        }
        return value;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        if (option == "--pty") {
            options.Pty = true;
            continue;
        }
        if (option == "--dump") {
            options.Dump = true;
            continue;
        }
        if (option == "--quiet") {
            options.Quiet = true;
            continue;
        }
        if (!hasValue) {
            problem = "unknown option or missing value: " + option;
            return std::nullopt;
        }
        ++i;
        if (option == "--link") {
            options.Link = value;
        } else if (option == "--device") {
            options.Device = value;
        } else if (option == "--baud") {
            options.Baud = static_cast<unsigned>(number(value, 50, 4'000'000));
        } else if (option == "--file") {
            options.File = value;
        } else if (option == "--width") {
            options.Width = static_cast<int>(number(value, vfd::kMinColumns, vfd::kMaxColumns));
        } else if (option == "--lines") {
            options.Lines = static_cast<int>(number(value, vfd::kMinLines, vfd::kMaxLines));
        } else if (option == "--snapshot") {
            options.Snapshot = value;
        } else if (option == "--log") {
            options.Log = value;
        } else if (option == "--seconds") {
            options.Seconds = static_cast<double>(number(value, 1, 86'400));
        } else {
            problem = "unknown option " + option;
            return std::nullopt;
        }
        if (!problem.empty()) {
            return std::nullopt;
        }
    }
    if (static_cast<int>(options.Pty) + static_cast<int>(!options.Device.empty()) +
            static_cast<int>(!options.File.empty()) !=
        1) {
        problem = "give exactly one of --pty, --device and --file";
        return std::nullopt;
    }
    return options;
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

std::string WriteSnapshot(const vfd::CharacterDisplay& display, const std::string& path) {
    const dotmatrix::DotStyle style;
    dotmatrix::Image image =
        dotmatrix::BlankImage(dotmatrix::DisplayWidth(display.Columns(), style),
                              dotmatrix::DisplayHeight(display.Lines(), style), 0);
    dotmatrix::DrawDisplay(image, 0, 0, display.Text(), display.Columns(), style,
                           display.Brightness());
    return vfd::WritePng(image, path);
}

} // namespace

int main(int argc, char** argv) {
    std::string problem;
    const std::optional<Options> options = ParseOptions(argc, argv, problem);
    if (!options) {
        return Usage(problem);
    }
    std::optional<vfd::ByteSource> source;
    if (options->Pty) {
        source = vfd::OpenPty(problem);
    } else if (!options->Device.empty()) {
        source = vfd::OpenDevice(options->Device, options->Baud, problem);
    } else {
        source = vfd::OpenFile(options->File, problem);
    }
    if (!source) {
        std::cerr << "vfd: " << problem << "\n";
        return kExitFailure;
    }
    if (options->Pty) {
        if (!options->Link.empty()) {
            ::unlink(options->Link.c_str());
            if (::symlink(source->Name.c_str(), options->Link.c_str()) != 0) {
                std::cerr << "vfd: cannot link " << options->Link << ": " << std::strerror(errno)
                          << "\n";
                return kExitFailure;
            }
        }
        std::cerr << "vfd: display on " << source->Name << std::endl;
    }
    std::ofstream log;
    if (!options->Log.empty()) {
        log.open(options->Log, std::ios::trunc);
        if (!log) {
            std::cerr << "vfd: cannot create " << options->Log << "\n";
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

    vfd::CharacterDisplay display(options->Width, options->Lines);
    const bool live = !options->Quiet && !options->Dump && isatty(STDOUT_FILENO) != 0;
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
        std::cout << vfd::TerminalDrawing(display, status, drawn) << std::flush;
        drawn = true;
    };
    if (live) {
        draw();
    }
    std::vector<std::uint8_t> buffer(4096);
    int exitCode = 0;
    while (stopRequested == 0 && (options->Seconds <= 0 || elapsed() < options->Seconds)) {
        if (snapshotRequested != 0 && !options->Snapshot.empty()) {
            snapshotRequested = 0;
            if (const std::string failed = WriteSnapshot(display, options->Snapshot);
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
        display.Feed(std::span(buffer.data(), static_cast<std::size_t>(count)));
        received += static_cast<std::uint64_t>(count);
        if (log.is_open()) {
            log << static_cast<long>(elapsed() * 1000)
                << Hex(buffer.data(), static_cast<std::size_t>(count)) << "\n"
                << std::flush;
        }
        if (live) {
            draw();
        }
    }
    vfd::Close(*source);
    if (!options->Link.empty()) {
        ::unlink(options->Link.c_str());
    }
    if (!options->Snapshot.empty()) {
        if (const std::string failed = WriteSnapshot(display, options->Snapshot); !failed.empty()) {
            std::cerr << "vfd: " << failed << "\n";
            exitCode = kExitFailure;
        }
    }
    if (options->Dump) {
        std::cout << vfd::PlainText(display);
    }
    return exitCode;
}
