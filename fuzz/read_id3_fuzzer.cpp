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

// The folder of the file: memory-backed /dev/shm where there is one, since a write to a disk
// on each run makes the target many times slower; the temporary folder otherwise.
std::filesystem::path FileFolder() {
    std::error_code error;
    const std::filesystem::path shm = "/dev/shm";
    return std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
}

// The file the fuzzed bytes are written to; removed when the fuzzer exits.
class FuzzedFile {
public:
    FuzzedFile()
        : path_((FileFolder() /
                 ("lum_read_id3_fuzzer_" + std::to_string(std::random_device{}()) + ".mp3"))
                    .string()) {}
    ~FuzzedFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    FuzzedFile(const FuzzedFile&) = delete;
    FuzzedFile& operator=(const FuzzedFile&) = delete;

    [[nodiscard]] const std::string& Path() const { return path_; }

private:
    std::string path_;
};

const std::string& FilePath() {
    static const FuzzedFile file;
    return file.Path();
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
