// Fuzzes ReadId3Tag over a file holding the fuzzed bytes: it must never crash, and a record it
// fills must keep the field rules (texts without NUL of at most 30 bytes, a 4-byte year, a
// genre of at most 126).

#include "display/ExtractID3.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

const std::string& FilePath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() /
         ("lum_read_id3_fuzzer_" + std::to_string(std::random_device{}()) + ".mp3"))
            .string();
    return path;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckText(const std::string& text) {
    Check(text.size() <= 30 && text.find('\0') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    lum::TID3Info info;
    lum::ReadId3Tag(FilePath(), info);

    const bool tagged = size >= lum::kId3TagSize && data[size - 128] == 'T' &&
                        data[size - 127] == 'A' && data[size - 126] == 'G';
    if (!tagged) {
        Check(info == lum::TID3Info{});
        return 0;
    }
    CheckText(info.Title);
    CheckText(info.Artist);
    CheckText(info.Album);
    CheckText(info.Comment);
    Check(info.Year.size() == 4);
    Check(info.Genre <= 126);
    Check(info.Track == data[size - 2]);
    Check(!lum::GenreName(info.Genre).empty());
    return 0;
}
