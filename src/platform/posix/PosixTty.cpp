// Uses the kernel's termios2 directly (not <termios.h>, whose struct clashes with it), so
// that every baud rate can be set with BOTHER. Where the ioctls of termios2 are missing (qemu's
// user-mode emulator, which runs the ARM builds on other machines, answers ENOSYS), the classic
// termios serves instead, with the classic rates only.
#include "platform/posix/PosixTty.h"

#include "platform/Comm.h"

#include <algorithm>
#include <asm/termbits.h>
#include <cerrno>
#include <iterator>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace lum::platform::posix {

namespace {

int Result(int rc) {
    return rc == 0 ? 0 : errno;
}

/// Character sizes by data bits 5 to 8.
constexpr tcflag_t kCharSizes[] = {CS5, CS6, CS7, CS8};

// clang-format off
struct ClassicRate {
    tcflag_t Code;
    std::uint32_t Rate;
};
/// The baud rates classic termios names, for a tty without termios2.
constexpr ClassicRate kClassicRates[] = {
    // Code      Rate
    {B1200,      1200},
    {B2400,      2400},
    {B4800,      4800},
    {B9600,      9600},
    {B19200,    19200},
    {B38400,    38400},
    {B57600,    57600},
    {B115200,  115200},
};
// clang-format on
static_assert(std::size(kClassicRates) == 8);

/// The settings both structures hold: all but the rates.
template <typename From, typename To> void CopyFlags(const From& from, To& to) {
    to.c_iflag = from.c_iflag;
    to.c_oflag = from.c_oflag;
    to.c_cflag = from.c_cflag;
    to.c_lflag = from.c_lflag;
    to.c_line = from.c_line;
    std::copy(std::begin(from.c_cc), std::end(from.c_cc), to.c_cc);
}

/// Reads the tty's settings (termios2, else classic termios with the rate from its code).
int ReadSettings(int fd, termios2& settings) {
    if (ioctl(fd, TCGETS2, &settings) == 0) {
        return 0;
    }
    termios classic{};
    if (errno != ENOSYS || ioctl(fd, TCGETS, &classic) != 0) {
        return errno;
    }
    CopyFlags(classic, settings);
    const auto* rate = std::find_if(
        std::begin(kClassicRates), std::end(kClassicRates),
        [&classic](const ClassicRate& row) { return row.Code == (classic.c_cflag & CBAUD); });
    settings.c_ispeed = settings.c_ospeed = rate == std::end(kClassicRates) ? 0 : rate->Rate;
    return 0;
}

/// Writes the settings (termios2, else classic termios: EINVAL for a rate it does not name).
int WriteSettings(int fd, const termios2& settings) {
    if (ioctl(fd, TCSETS2, &settings) == 0) {
        return 0;
    }
    if (errno != ENOSYS) {
        return errno;
    }
    termios classic{};
    CopyFlags(settings, classic);
    if ((settings.c_cflag & CBAUD) == BOTHER) {
        const auto* rate = std::find_if(
            std::begin(kClassicRates), std::end(kClassicRates),
            [&settings](const ClassicRate& row) { return row.Rate == settings.c_ospeed; });
        if (rate == std::end(kClassicRates)) {
            return EINVAL;
        }
        classic.c_cflag = (classic.c_cflag & ~static_cast<tcflag_t>(CBAUD | CIBAUD)) | rate->Code;
    }
    return Result(ioctl(fd, TCSETS, &classic));
}

} // namespace

int TtyExclusive(int fd, bool exclusive) {
    return Result(ioctl(fd, exclusive ? TIOCEXCL : TIOCNXCL));
}

int TtyMakeRaw(int fd) {
    termios2 settings{};
    if (const int error = ReadSettings(fd, settings); error != 0) {
        return error;
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                               ICRNL | IXON | IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag |= CREAD | CLOCAL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return WriteSettings(fd, settings);
}

int TtyGetLine(int fd, TtyLine& line) {
    termios2 settings{};
    if (const int error = ReadSettings(fd, settings); error != 0) {
        return error;
    }
    line.BaudRate = settings.c_ospeed;
    line.ByteSize = 8;
    for (std::uint8_t bits = 5; bits <= 8; ++bits) {
        if ((settings.c_cflag & CSIZE) == kCharSizes[bits - 5]) {
            line.ByteSize = bits;
        }
    }
    if ((settings.c_cflag & PARENB) == 0) {
        line.Parity = comm::kNoParity;
    } else if ((settings.c_cflag & CMSPAR) != 0) {
        line.Parity = (settings.c_cflag & PARODD) != 0 ? comm::kMarkParity : comm::kSpaceParity;
    } else {
        line.Parity = (settings.c_cflag & PARODD) != 0 ? comm::kOddParity : comm::kEvenParity;
    }
    if ((settings.c_cflag & CSTOPB) == 0) {
        line.StopBits = comm::kOneStopBit;
    } else {
        line.StopBits = line.ByteSize == 5 ? comm::kOne5StopBits : comm::kTwoStopBits;
    }
    line.ParityCheck = (settings.c_iflag & INPCK) != 0;
    line.RtsCtsFlow = (settings.c_cflag & CRTSCTS) != 0;
    line.XonXoffOut = (settings.c_iflag & IXON) != 0;
    line.XonXoffIn = (settings.c_iflag & IXOFF) != 0;
    line.XonChar = static_cast<char>(settings.c_cc[VSTART]);
    line.XoffChar = static_cast<char>(settings.c_cc[VSTOP]);
    return 0;
}

int TtySetLine(int fd, const TtyLine& line) {
    // One and a half stop bits go only with 5 data bits, two stop bits never do.
    const bool fiveBits = line.ByteSize == 5;
    const bool stopBitsFit = line.StopBits == comm::kOneStopBit ||
                             (line.StopBits == comm::kOne5StopBits && fiveBits) ||
                             (line.StopBits == comm::kTwoStopBits && !fiveBits);
    if (line.BaudRate == 0 || line.ByteSize < 5 || line.ByteSize > 8 ||
        line.Parity > comm::kSpaceParity || !stopBitsFit) {
        return EINVAL;
    }
    termios2 settings{};
    if (const int error = ReadSettings(fd, settings); error != 0) {
        return error;
    }
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD | CIBAUD | CSIZE | PARENB | PARODD | CMSPAR |
                                               CSTOPB | CRTSCTS);
    settings.c_cflag |= BOTHER | CREAD | CLOCAL | kCharSizes[line.ByteSize - 5];
    settings.c_ispeed = line.BaudRate;
    settings.c_ospeed = line.BaudRate;
    switch (line.Parity) {
    case comm::kOddParity:
        settings.c_cflag |= PARENB | PARODD;
        break;
    case comm::kEvenParity:
        settings.c_cflag |= PARENB;
        break;
    case comm::kMarkParity:
        settings.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case comm::kSpaceParity:
        settings.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    if (line.StopBits != comm::kOneStopBit) {
        settings.c_cflag |= CSTOPB;
    }
    if (line.RtsCtsFlow) {
        settings.c_cflag |= CRTSCTS;
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF);
    if (line.ParityCheck) {
        settings.c_iflag |= INPCK;
    }
    if (line.XonXoffOut) {
        settings.c_iflag |= IXON;
    }
    if (line.XonXoffIn) {
        settings.c_iflag |= IXOFF;
    }
    settings.c_cc[VSTART] = static_cast<cc_t>(line.XonChar);
    settings.c_cc[VSTOP] = static_cast<cc_t>(line.XoffChar);
    return WriteSettings(fd, settings);
}

int TtyGetModem(int fd, std::uint32_t& status) {
    int bits = 0;
    if (ioctl(fd, TIOCMGET, &bits) != 0) {
        return errno;
    }
    status = ((bits & TIOCM_CTS) != 0 ? comm::kMsCtsOn : 0) |
             ((bits & TIOCM_DSR) != 0 ? comm::kMsDsrOn : 0) |
             ((bits & TIOCM_RI) != 0 ? comm::kMsRingOn : 0) |
             ((bits & TIOCM_CD) != 0 ? comm::kMsRlsdOn : 0);
    return 0;
}

int TtySetModemLine(int fd, ModemLine line, bool on) {
    const int bit = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return Result(ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit));
}

int TtyBreak(int fd, bool on) {
    return Result(ioctl(fd, on ? TIOCSBRK : TIOCCBRK));
}

int TtySuspendOutput(int fd, bool suspend) {
    return Result(ioctl(fd, TCXONC, suspend ? TCOOFF : TCOON));
}

int TtyOutQueue(int fd, std::uint32_t& count) {
    int bytes = 0;
    if (ioctl(fd, TIOCOUTQ, &bytes) != 0) {
        return errno;
    }
    count = static_cast<std::uint32_t>(bytes);
    return 0;
}

int TtyFlush(int fd, bool input, bool output) {
    if (!input && !output) {
        return 0;
    }
    const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return Result(ioctl(fd, TCFLSH, which));
}

int TtyLineErrors(int fd, TtyErrorCounts& counts) {
    serial_icounter_struct counters{};
    if (ioctl(fd, TIOCGICOUNT, &counters) != 0) {
        return errno;
    }
    counts.Frame = static_cast<std::uint32_t>(counters.frame);
    counts.Overrun = static_cast<std::uint32_t>(counters.overrun);
    counts.Parity = static_cast<std::uint32_t>(counters.parity);
    counts.Break = static_cast<std::uint32_t>(counters.brk);
    counts.BufferOverrun = static_cast<std::uint32_t>(counters.buf_overrun);
    return 0;
}

} // namespace lum::platform::posix
