#include "platform/FileTail.h"

#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::platform {
namespace {

// The playing file may be anything the host names: special files must neither block nor be read,
// and are not even opened (a FIFO's waiting writer would be let through, a terminal could become
// the process's own).
TEST(ReadFileTail, SpecialFilesGiveNoBytesUnopened) {
    const std::string fifo = ::testing::TempDir() + "tail_fifo";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_TRUE(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    const std::string slave = ::ptsname(terminal);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC); // /dev/zero is anyone's to open
    ::inotify_add_watch(watch, fifo.c_str(), IN_OPEN);
    ::inotify_add_watch(watch, slave.c_str(), IN_OPEN);
    std::array<std::uint8_t, 128> buffer{};
    for (const std::string& path : {fifo, slave, std::string("/dev/zero")}) {
        EXPECT_EQ(ReadFileTail(path, buffer), std::optional<std::size_t>(0)) << path;
    }
    EXPECT_LT(::read(watch, buffer.data(), buffer.size()), 0) << "a special file was opened";
    ::close(watch);
    ::close(terminal);
    ::unlink(fifo.c_str());
}

} // namespace
} // namespace lum::platform
