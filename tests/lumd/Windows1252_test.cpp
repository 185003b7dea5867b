#include "CaseName.h"
#include "tools/lumd/Windows1252.h"

#include <gtest/gtest.h>
#include <ostream>

namespace lum::lumd {
namespace {

struct ConversionCase {
    const char* Name;
    friend void PrintTo(const ConversionCase& c, std::ostream* out) { *out << c.Name; }
    std::string Utf8;
    std::string Expected;
};

class Windows1252Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Windows1252Conversion, GivesTheSingleByteText) {
    EXPECT_EQ(Utf8ToWindows1252(GetParam().Utf8), GetParam().Expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Windows1252Conversion, ::testing::Values(
    ConversionCase{"Ascii",              "Plain text 123", "Plain text 123"},
    ConversionCase{"Umlauts",            "\u00e4\u00f6\u00fc\u00c4\u00d6\u00dc\u00df", "\xE4\xF6\xFC\xC4\xD6\xDC\xDF"},
    ConversionCase{"LatinOneTop",        "\u00a0\u00ff", "\xA0\xFF"},
    ConversionCase{"SpecialsOf80To9F",   "\u20ac\u201e\u2026\u2013\u2014\u0160\u0178", "\x80\x84\x85\x96\x97\x8A\x9F"},
    ConversionCase{"C1ControlsUnmapped", "\u0080\u0081\u009f", "???"},
    ConversionCase{"OutsideTheCodePage", "\u03a9 \u4e2d \U0001F600", "? ? ?"},
    ConversionCase{"StrayContinuation",  "a\x80" "b", "a?b"},
    ConversionCase{"CutSequence",        "a\xC3", "a?"},
    ConversionCase{"CutBeforeAscii",     "\xE2\x82" "A", "??A"},
    ConversionCase{"Overlong",           "\xC0\xAF", "??"},
    ConversionCase{"Surrogate",          "\xED\xA0\x80", "???"},
    ConversionCase{"PastTheLastPoint",   "\xF4\x90\x80\x80", "????"},
    ConversionCase{"ControlBytesKept",   std::string("a\x01\x1B\0b", 5), std::string("a\x01\x1B\0b", 5)}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd
