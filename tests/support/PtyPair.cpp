#include "support/PtyPair.h"

#include <asm/termbits.h>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace lum::serial::testing {

PtyPair::PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::runtime_error("no pty");
    }
    slavePath_ = ptsname(master_);
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        throw std::runtime_error("pty slave does not open");
    }
}

PtyPair::~PtyPair() {
    CloseMaster();
    close(slave_);
}

std::vector<std::uint8_t> PtyPair::Read(std::size_t count, std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{master_, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        std::uint8_t chunk[256];
        const ssize_t got = read(master_, chunk, sizeof(chunk));
        if (got <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

void PtyPair::Write(const std::string& bytes) {
    if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("pty master write failed");
    }
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

TtySettings PtyPair::Settings() const {
    termios2 settings{};
    if (ioctl(slave_, TCGETS2, &settings) != 0) {
        throw std::runtime_error("TCGETS2 failed");
    }
    TtySettings result;
    result.BaudRate = settings.c_ospeed;
    switch (settings.c_cflag & CSIZE) {
    case CS5:
        result.DataBits = 5;
        break;
    case CS6:
        result.DataBits = 6;
        break;
    case CS7:
        result.DataBits = 7;
        break;
    default:
        result.DataBits = 8;
        break;
    }
    result.Parity = (settings.c_cflag & PARENB) != 0;
    result.TwoStopBits = (settings.c_cflag & CSTOPB) != 0;
    return result;
}

} // namespace lum::serial::testing
