#include "tools/common/Playlist.h"

#include <gtest/gtest.h>

namespace lum::host {
namespace {

const std::string kFolder = "C:\\music\\";

TEST(Playlist, ReadsExtendedEntriesAndPlainPaths) {
    const auto entries = ParsePlaylist("\xEF\xBB\xBF#EXTM3U\r\n"
                                       "#EXTINF:215,Artist - Title, with comma\r\n"
                                       "album\\one.mp3\r\n"
                                       "\r\n"
                                       "# a comment\r\n"
                                       "#EXTINF:-1,Stream\n"
                                       "D:\\radio.pls\n"
                                       "sub/two.mp3\n"
                                       "\\\\server\\share\\three.mp3",
                                       kFolder);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Path, "C:\\music\\album\\one.mp3");
    EXPECT_EQ(entries[0].Title, "Artist - Title, with comma");
    EXPECT_EQ(entries[0].LengthSeconds, 215);
    EXPECT_EQ(entries[1].Path, "D:\\radio.pls");
    EXPECT_EQ(entries[1].Title, "Stream");
    EXPECT_EQ(entries[1].LengthSeconds, -1);
    // Without #EXTINF: the file name is the title, the length unknown.
    EXPECT_EQ(entries[2].Path, "C:\\music\\sub\\two.mp3");
    EXPECT_EQ(entries[2].Title, "two.mp3");
    EXPECT_EQ(entries[2].LengthSeconds, -1);
    EXPECT_EQ(entries[3].Path, "\\\\server\\share\\three.mp3");
    EXPECT_EQ(entries[3].Title, "three.mp3");
}

TEST(Playlist, InfoAppliesOnlyToTheNextPath) {
    const auto entries = ParsePlaylist("#EXTINF:10,Ten\na.mp3\nb.mp3\n", kFolder);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].Title, "b.mp3");
    EXPECT_EQ(entries[1].LengthSeconds, -1);
}

TEST(Playlist, RejectsMalformedInfoAndEmptyLists) {
    const struct {
        std::string Text;
        const char* MessagePart;
    } cases[] = {
        {"#EXTINF:abc,Title\na.mp3\n", "line 1"},
        {"a.mp3\n#EXTINF:12\nb.mp3\n", "line 2"},
        {"a.mp3\n#EXTINF:,Title\nb.mp3\n", "line 2"},
        {"#EXTM3U\n# nothing here\n", "no entries"},
        {"", "no entries"},
        {std::string("a.mp3\nb\0.mp3\n", 14), "line 2: a NUL byte"},
        {std::string(kMaxPlaylistBytes + 1, 'a'), "larger than 16 MiB"},
    };
    for (const auto& c : cases) {
        try {
            (void)ParsePlaylist(c.Text, kFolder);
            ADD_FAILURE() << "accepted: " << c.Text.substr(0, 40);
        } catch (const PlaylistError& error) {
            EXPECT_NE(error.Message.find(c.MessagePart), std::string::npos) << error.Message;
        }
    }
}

TEST(Playlist, PathsAreNormalised) {
    const struct {
        const char* Path;
        const char* Normal;
    } cases[] = {
        {"C:\\music\\sub/two.mp3", "C:\\music\\sub\\two.mp3"},
        {"C:\\music\\.\\a\\..\\b.mp3", "C:\\music\\b.mp3"},
        {"C:\\music\\\\b.mp3", "C:\\music\\b.mp3"},
        {"C:\\..\\..\\b.mp3", "C:\\b.mp3"},
        {"C:b.mp3", "C:b.mp3"},
        {"\\\\server\\share\\..\\x.mp3", "\\\\server\\share\\x.mp3"},
        {"//server/share/./x.mp3", "\\\\server\\share\\x.mp3"},
        {"\\top\\..\\x.mp3", "\\x.mp3"},
        {"../up/x.mp3", "..\\up\\x.mp3"},
        {"a/../../x.mp3", "..\\x.mp3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalisePath(c.Path), c.Normal) << c.Path;
    }
    // A relative entry is normalised together with the playlist's folder.
    EXPECT_EQ(ParsePlaylist("..\\other\\./x.mp3\n", kFolder)[0].Path, "C:\\other\\x.mp3");
}

TEST(Playlist, PosixPathsUseSlashesAndOneRoot) {
    const struct {
        const char* Path;
        const char* Normal;
    } cases[] = {
        {"/music\\sub/two.mp3", "/music/sub/two.mp3"},
        {"/music/./a/../b.mp3", "/music/b.mp3"},
        {"//music//b.mp3", "/music/b.mp3"},
        {"/../../b.mp3", "/b.mp3"},
        {"C:b.mp3", "C:b.mp3"},
        {"a/../../x.mp3", "../x.mp3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalisePath(c.Path, PathStyle::Posix), c.Normal) << c.Path;
    }
    // Entries written with backslashes (a list made on Windows) are found below the folder; a
    // drive letter is no root here.
    const auto entries =
        ParsePlaylist("music\\a.mp3\nC:\\b.mp3\n/abs/c.mp3\n", "/home/u/list/", PathStyle::Posix);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Path, "/home/u/list/music/a.mp3");
    EXPECT_EQ(entries[1].Path, "/home/u/list/C:/b.mp3");
    EXPECT_EQ(entries[2].Path, "/abs/c.mp3");
    EXPECT_EQ(entries[0].Title, "a.mp3");
}

} // namespace
} // namespace lum::host
