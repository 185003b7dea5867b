// Reading the playlist file natively: a plain file is read (write-protected too); a FIFO, a
// folder, a missing file and an over-long file are refused at once with a message naming the
// file and the reason.
#include "tools/lumhost/PlaylistFile.h"

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lum::host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kList = "#EXTINF:60,First\na.mp3\n";

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

/// What LoadPlaylistFile said on standard error and how many entries it gave (-1: none).
struct Outcome {
    int Entries = -1;
    std::string Said;
};

Outcome Load(const fs::path& path) {
    std::ostringstream said;
    auto* const before = std::cerr.rdbuf(said.rdbuf());
    const auto entries = LoadPlaylistFile(path.string(), PathStyle::Posix);
    std::cerr.rdbuf(before);
    return {entries ? static_cast<int>(entries->size()) : -1, said.str()};
}

TEST(PlaylistFile, ReadsOnlyPlainFiles) {
    const fs::path folder = fs::path(::testing::TempDir()) / "playlist_file_test";
    fs::remove_all(folder);
    fs::create_directories(folder / "folder.m3u");
    WriteFile(folder / "list.m3u", kList);
    WriteFile(folder / "protected.m3u", kList);
    fs::permissions(folder / "protected.m3u", fs::perms::owner_read | fs::perms::group_read);
    WriteFile(folder / "long.m3u", std::string(kMaxPlaylistBytes + 1, '\n'));
    ASSERT_EQ(::mkfifo((folder / "fifo.m3u").c_str(), 0600), 0);
    // A writer waits at the FIFO with a valid playlist: a reader that opened it would get one.
    std::thread writer([path = folder / "fifo.m3u"] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) {
            static_cast<void>(::write(fd, kList, std::strlen(kList)));
            ::close(fd);
        }
    });

    struct Case {
        const char* File;
        int Entries;
        const char* Said; ///< part of the message; empty: nothing said
    };
    const Case cases[] = {
        {"list.m3u", 1, ""},
        {"protected.m3u", 1, ""},
        {"fifo.m3u", -1, "fifo.m3u: not a plain file"},
        {"folder.m3u", -1, "folder.m3u: not a plain file"},
        {"missing.m3u", -1, "missing.m3u: No such file or directory"},
        {"long.m3u", -1, "long.m3u: larger than 16 MiB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        const Outcome outcome = Load(folder / c.File);
        EXPECT_EQ(outcome.Entries, c.Entries);
        if (*c.Said == '\0') {
            EXPECT_EQ(outcome.Said, "");
        } else {
            EXPECT_NE(outcome.Said.find(c.Said), std::string::npos) << outcome.Said;
        }
    }
    // Lets the writer go: it has a reader now, fills the pipe's buffer and ends.
    const int reader = ::open((folder / "fifo.m3u").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    writer.join();
    ::close(reader);
    fs::remove_all(folder);
}

} // namespace
} // namespace lum::host
