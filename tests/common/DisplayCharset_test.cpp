// Texts from real tags on a display of each character set: converted from UTF-8 to the display
// text, folded for the set, turned into the set's bytes and read back as the display shows them.
#include "common/DisplayCharset.h"
#include "common/Utf8.h"
#include "common/Windows1252.h"

#include <gtest/gtest.h>

namespace lum {
namespace {

/// What a display of `set` shows for the UTF-8 `text` (each byte without a character as '#').
std::string Shown(const DisplayCharset& set, const std::string& text) {
    std::string display = Utf8ToWindows1252(text);
    set.Fold(display);
    std::string shown;
    for (const char character : display) {
        const auto byte = static_cast<std::uint8_t>(set.Encode(character));
        AppendUtf8(shown, set.CodePointOf(byte).value_or(U'#'));
    }
    return shown;
}

TEST(DisplayCharset, ShowsTextsOfRealTagsAsAReaderWritesThem) {
    struct Case {
        const char* Name;
        std::string Tag;
        std::string Ascii, Cp437, Cp850, Cp858, Cp1252, Latin1;
    };
    const Case cases[] = {
        {"MusicBrainzPunctuation", "Don’t Stop “Live” – Part 1…", "Don't Stop \"Live\" - Part 1...",
         "Don't Stop \"Live\" - Part 1...", "Don't Stop \"Live\" - Part 1...",
         "Don't Stop \"Live\" - Part 1...", "Don’t Stop “Live” – Part 1…",
         "Don't Stop \"Live\" - Part 1..."},
        {"Icelandic", "Sigur Rós — Ágætis byrjun", "Sigur Ros - Agaetis byrjun",
         "Sigur Rós - Agætis byrjun", "Sigur Rós - Ágætis byrjun", "Sigur Rós - Ágætis byrjun",
         "Sigur Rós — Ágætis byrjun", "Sigur Rós - Ágætis byrjun"},
        {"NorwegianDanish", "Røyksopp og Åse på Ærø", "Royksopp og Ase pa AEro",
         "Royksopp og Åse på Æro", "Røyksopp og Åse på Ærø", "Røyksopp og Åse på Ærø",
         "Røyksopp og Åse på Ærø", "Røyksopp og Åse på Ærø"},
        {"Polish", "Żółta łódź, Czesław", "Zolta lodz, Czeslaw", "Zólta lódz, Czeslaw",
         "Zólta lódz, Czeslaw", "Zólta lódz, Czeslaw", "Zólta lódz, Czeslaw",
         "Zólta lódz, Czeslaw"},
        {"Czech", "Dvořák: Novosvětská, kůň", "Dvorak: Novosvetska, kun",
         "Dvorák: Novosvetská, kun", "Dvorák: Novosvetská, kun", "Dvorák: Novosvetská, kun",
         "Dvorák: Novosvetská, kun", "Dvorák: Novosvetská, kun"},
        {"Japanese", "坂本龍一 – 戦場のメリークリスマス", "???? - ???????????",
         "???? - ???????????", "???? - ???????????", "???? - ???????????", "???? – ???????????",
         "???? - ???????????"},
        {"EuroAndUmlaut", "10 € für Dich", "10 EUR fur Dich", "10 EUR für Dich", "10 EUR für Dich",
         "10 € für Dich", "10 € für Dich", "10 EUR für Dich"},
        {"Decomposed", "Beyonce\u0301 – Halo", "Beyonce - Halo", "Beyonce - Halo", "Beyonce - Halo",
         "Beyonce - Halo", "Beyonce – Halo", "Beyonce - Halo"},
        {"Hungarian", "Kőbányai Ős Ütő", "Kobanyai Os Uto", "Köbányai Ös Ütö", "Köbányai Ös Ütö",
         "Köbányai Ös Ütö", "Köbányai Ös Ütö", "Köbányai Ös Ütö"},
    };
    for (const Case& c : cases) {
        const std::pair<const char*, const std::string*> expected[] = {
            {"ascii", &c.Ascii}, {"cp437", &c.Cp437},   {"cp850", &c.Cp850},
            {"cp858", &c.Cp858}, {"cp1252", &c.Cp1252}, {"latin1", &c.Latin1},
        };
        for (const auto& [name, shown] : expected) {
            const DisplayCharset* set = DisplayCharset::Find(name);
            ASSERT_NE(set, nullptr) << name;
            EXPECT_EQ(Shown(*set, c.Tag), *shown) << c.Name << " on " << name;
        }
    }
}

TEST(DisplayCharset, KnowsOnlyItsOwnNames) {
    EXPECT_EQ(DisplayCharset::Find("cp865"), nullptr);
    EXPECT_EQ(DisplayCharset::Find("CP437"), nullptr);
}

} // namespace
} // namespace lum
