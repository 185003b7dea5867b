#include "TestMusic.h"

#include "Processes.h"
#include "apps/lumd/TrackTags.h"
#include "common/Windows1252.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

namespace lum::lumd::testing {
namespace {

std::string SyncSafe(std::size_t size) {
    std::string bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(size & 0x7F);
        size >>= 7;
    }
    return bytes;
}

constexpr char kUtf8Encoding = 3;

std::string Frame(const std::string& id, const std::string& body) {
    return id + SyncSafe(body.size()) + std::string(2, '\0') + body;
}

std::string TextFrame(const std::string& id, const std::string& text) {
    return text.empty() ? std::string() : Frame(id, std::string(1, kUtf8Encoding) + text);
}

std::string Field(const std::string& text, std::size_t length) {
    std::string field = Utf8ToWindows1252(text).substr(0, length);
    field.resize(length, '\0');
    return field;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The MP3 frames of `seconds` seconds of silence, made once per length in this process.
const std::string& SilentMp3(const std::string& folder, int seconds) {
    static std::map<int, std::string> made;
    if (auto found = made.find(seconds); found != made.end()) {
        return found->second;
    }
    const std::string wav = folder + "/silence.wav";
    const std::string mp3 = folder + "/silence.mp3";
    const auto sox = RunCommand({"sox", "-n", "-r", "8000", "-c", "1", "-b", "16", wav, "trim", "0",
                                 std::to_string(seconds)});
    const auto lame = sox.ExitCode == 0
                          ? RunCommand({"lame", "--quiet", "-b", "8", "-m", "m", wav, mp3})
                          : CommandResult{};
    std::remove(wav.c_str());
    if (sox.ExitCode != 0 || lame.ExitCode != 0) {
        throw std::runtime_error("the test audio cannot be made: " + sox.Output + lame.Output);
    }
    std::string frames = ReadFile(mp3);
    std::remove(mp3.c_str());
    return made.emplace(seconds, std::move(frames)).first->second;
}

} // namespace

const std::vector<TestTrack>& StandardTracks() {
    static const std::vector<TestTrack> tracks = {
        {"one.mp3", "Alpha Band", "First Song", "Album One", "2001", "first", "Rock", 1},
        {"two.mp3", "Bravo Band", "Second Song", "Album Two", "2002", "second", "Jazz", 2},
        {"drei.mp3", "M\u00f6tley Cr\u00fce",
         "\u00c4rger \u00fcber 5 \u20ac und \u03a9 mit Sto\u00df am Ende",
         "Ein Album mit einem sehr langen Namen", "1999-05-03", "Kommentar \u00e4\u00f6\u00fc",
         "Polka", 3},
    };
    return tracks;
}

std::vector<std::string> StandardFiles() {
    std::vector<std::string> files;
    for (const TestTrack& track : StandardTracks()) {
        files.push_back(track.File);
    }
    return files;
}

std::string DisplayTitle(const TestTrack& track) {
    return Utf8ToWindows1252(track.Artist + " - " + track.Title);
}

std::vector<std::string> MusicPrograms() {
    return {"sox", "lame"};
}

std::string Id3v2Tag(const TestTrack& track) {
    const std::string comment = track.Comment.empty()
                                    ? std::string()
                                    : Frame("COMM", std::string(1, kUtf8Encoding) + "eng" +
                                                        std::string(1, '\0') + track.Comment);
    const std::string frames =
        TextFrame("TIT2", track.Title) + TextFrame("TPE1", track.Artist) +
        TextFrame("TALB", track.Album) + TextFrame("TDRC", track.Date) +
        TextFrame("TCON", track.Genre) +
        TextFrame("TRCK", track.Track > 0 ? std::to_string(track.Track) : "") + comment;
    return std::string("ID3\x04\x00\x00", 6) + SyncSafe(frames.size()) + frames;
}

std::string Id3v1Tag(const TestTrack& track) {
    std::string tag = "TAG" + Field(track.Title, 30) + Field(track.Artist, 30) +
                      Field(track.Album, 30) + Field(track.Date, 4) + Field(track.Comment, 28);
    tag.push_back('\0');
    tag.push_back(static_cast<char>(track.Track));
    tag.push_back(static_cast<char>(GenreNumber(Utf8ToWindows1252(track.Genre))));
    return tag;
}

void MakeTestMusic(const std::string& folder, const std::vector<TestTrack>& tracks, int seconds) {
    const std::string& audio = SilentMp3(folder, seconds);
    for (const TestTrack& track : tracks) {
        std::ofstream out(folder + "/" + track.File, std::ios::binary | std::ios::trunc);
        out << Id3v2Tag(track) << audio << Id3v1Tag(track);
        if (!out) {
            throw std::runtime_error("cannot write " + folder + "/" + track.File);
        }
    }
}

} // namespace lum::lumd::testing
