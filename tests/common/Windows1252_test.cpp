// The conversions between Windows-1252 and UTF-8: each direction on a table of texts, and every
// byte of the upper half there and back.
#include "common/Windows1252.h"

#include <gtest/gtest.h>

namespace lum {
namespace {

TEST(Windows1252, FromUtf8GivesTheSingleByteText) {
    struct Case {
        const char* Name;
        std::string Utf8;
        std::string Expected;
    };
    // clang-format off
    const Case cases[] = {
        {"Ascii",              "Plain text 123", "Plain text 123"},
        {"Umlauts",            "\u00e4\u00f6\u00fc\u00c4\u00d6\u00dc\u00df", "\xE4\xF6\xFC\xC4\xD6\xDC\xDF"},
        {"LatinOneTop",        "\u00a0\u00ff", "\xA0\xFF"},
        {"SpecialsOf80To9F",   "\u20ac\u201e\u2026\u2013\u2014\u0160\u0178", "\x80\x84\x85\x96\x97\x8A\x9F"},
        {"C1ControlsUnmapped", "\u0080\u0081\u009f", "???"},
        {"OutsideTheCodePage", "\u03a9 \u4e2d \U0001F600", "? ? ?"},
        {"StrayContinuation",  "a\x80" "b", "a?b"},
        {"CutSequence",        "a\xC3", "a?"},
        {"CutBeforeAscii",     "\xE2\x82" "A", "??A"},
        {"Overlong",           "\xC0\xAF", "??"},
        {"Surrogate",          "\xED\xA0\x80", "???"},
        {"PastTheLastPoint",   "\xF4\x90\x80\x80", "????"},
        {"ControlBytesKept",   std::string("a\x01\x1B\0b", 5), std::string("a\x01\x1B\0b", 5)},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToWindows1252(c.Utf8), c.Expected) << c.Name;
    }
}

TEST(Windows1252, ToUtf8GivesEveryCharacterOfTheCodePage) {
    struct Case {
        const char* Name;
        std::string Bytes;
        std::string Expected;
    };
    // clang-format off
    const Case cases[] = {
        {"Ascii",         std::string("a\x01\x1B\0~\x7F", 6), std::string("a\x01\x1B\0~\x7F", 6)},
        {"EuroDashQuote", "\x80\x96\x92",                      "\u20ac\u2013\u2019"},
        {"RowEnds",       "\x82\x9F",                          "\u201a\u0178"},
        {"LatinOne",      "\xA0\xE4\xFF",                      "\u00a0\u00e4\u00ff"},
        {"Holes",         "\x81\x8D\x8F\x90\x9D",              "\ufffd\ufffd\ufffd\ufffd\ufffd"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(Windows1252ToUtf8(c.Bytes), c.Expected) << c.Name;
    }
    EXPECT_EQ(Windows1252ToUtf8("a\x81"
                                "b",
                                "#"),
              "a#b");
}

TEST(Windows1252, EveryCharacterOfTheUpperHalfGoesThereAndBack) {
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        const std::string utf8 = Windows1252ToUtf8(text, "");
        if (utf8.empty()) {
            continue; // one of the five bytes that hold no character
        }
        EXPECT_EQ(Utf8ToWindows1252(utf8), text) << std::hex << byte;
    }
}

} // namespace
} // namespace lum
