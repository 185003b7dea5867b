#include "tools/lumctl/Id3Command.h"

#include "tools/common/EscapedText.h"

namespace lum::tools {
namespace {

std::string Quoted(std::string_view text) {
    return '"' + EscapeText(text) + '"';
}

} // namespace

std::string Id3ToText(const TID3Info& tag) {
    return "Title=" + Quoted(tag.Title) + "\nArtist=" + Quoted(tag.Artist) +
           "\nAlbum=" + Quoted(tag.Album) + "\nYear=" + Quoted(tag.Year) +
           "\nComment=" + Quoted(tag.Comment) + "\nTrack=" + std::to_string(tag.Track) +
           "\nGenre=" + std::to_string(tag.Genre) + "\nGenreName=" + Quoted(GenreName(tag.Genre)) +
           "\n";
}

} // namespace lum::tools
