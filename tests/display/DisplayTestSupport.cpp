#include "DisplayTestSupport.h"

#include <algorithm>
#include <fstream>

namespace lum::test {

std::vector<std::uint8_t> TagBytes(const TagFields& fields) {
    std::vector<std::uint8_t> tag(128, 0);
    const auto put = [&tag](std::size_t at, const std::string& text, std::size_t length) {
        std::copy_n(text.begin(), std::min(text.size(), length), tag.begin() + at);
    };
    put(0, fields.Marker, 3);
    put(3, fields.Title, 30);
    put(33, fields.Artist, 30);
    put(63, fields.Album, 30);
    put(93, fields.Year, 4);
    put(97, fields.Comment, 30);
    if (fields.Track != 0) {
        tag[126] = fields.Track;
    }
    tag[127] = fields.Genre;
    return tag;
}

std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

} // namespace lum::test
