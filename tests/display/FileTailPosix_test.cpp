#include "platform/FileTail.h"

#include <array>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::platform {
namespace {

// The playing file may be anything the host names: special files must neither block nor be read.
TEST(ReadFileTail, SpecialFilesGiveNoBytes) {
    const std::string fifo = ::testing::TempDir() + "tail_fifo";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::array<std::uint8_t, 128> buffer{};
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        EXPECT_EQ(ReadFileTail(path, buffer), std::optional<std::size_t>(0)) << path;
    }
    ::unlink(fifo.c_str());
}

} // namespace
} // namespace lum::platform
