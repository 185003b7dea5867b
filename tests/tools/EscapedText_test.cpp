// The escaped text form of the tools: printable ASCII as it is, '"' and '\' escaped, every other
// byte as \xHH.

#include "common/LumError.h"
#include "tools/common/EscapedText.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace lum::tools {
namespace {

struct EscapeCase {
    std::string bytes;
    std::string escaped;
};

const EscapeCase kEscapeCases[] = {
    // bytes                              escaped
    {"", ""},
    {"abc XYZ 0-9 ~", "abc XYZ 0-9 ~"},
    {" ", " "},
    {"%titel", "%titel"},
    {"\"", "\\\""},
    {"\\", "\\\\"},
    {"say \"hi\" \\o/", "say \\\"hi\\\" \\\\o/"},
    {std::string(1, '\0'), "\\x00"},
    {"\x1F", "\\x1F"},
    {"\t\r\n", "\\x09\\x0D\\x0A"},
    {"\x7F", "\\x7F"},
    {"\x80", "\\x80"},
    {"\xFF", "\\xFF"},
    {"\xE4\xF6\xFC\xDF", "\\xE4\\xF6\\xFC\\xDF"},
    {std::string("a\0b", 3), "a\\x00b"},
    {"\x20\x7E", " ~"},
    {"x\\x41", "x\\\\x41"}, // a backslash before "x41" is no escape
};

TEST(EscapeText, Table) {
    for (const auto& c : kEscapeCases) {
        SCOPED_TRACE(c.escaped);
        EXPECT_EQ(EscapeText(c.bytes), c.escaped);
        EXPECT_EQ(UnescapeText(c.escaped), c.bytes);
    }
}

TEST(EscapeText, EveryByteRoundTrips) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::string escaped = EscapeText(all);
    for (const char c : escaped) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte >= 0x20 && byte <= 0x7E) << int{byte}; // printable only
    }
    EXPECT_EQ(UnescapeText(escaped), all);
}

TEST(UnescapeText, AcceptsLowerCaseHexDigits) {
    EXPECT_EQ(UnescapeText("\\xe4\\xFf\\x0a"), "\xE4\xFF\n");
}

TEST(UnescapeText, TakesOtherBytesAsTheyAre) {
    EXPECT_EQ(UnescapeText("\xE4\t"), "\xE4\t");
}

TEST(UnescapeText, MalformedEscapesAreRejected) {
    const char* const kMalformed[] = {
        "\\",     // backslash at the end
        "abc\\",  // likewise after text
        "\\q",    // unknown escape
        "\\n",    // no C escapes
        "\\0",    //
        "\\x",    // no digits
        "\\x4",   // one digit
        "a\\x4",  // one digit at the end
        "\\xG0",  // not a hex digit
        "\\x0G",  //
        "\\x-1",  //
        "\"",     // an unescaped quote
        "ab\"cd", //
        "\\\\\"", // an escaped backslash, then an unescaped quote
    };
    for (const char* escaped : kMalformed) {
        SCOPED_TRACE(escaped);
        EXPECT_EQ(UnescapeText(escaped), std::nullopt);
    }
}

TEST(UnescapeText, AHexEscapeReachingTheEndIsComplete) {
    EXPECT_EQ(UnescapeText("\\x41"), "A");
    EXPECT_EQ(UnescapeText("ab\\x41"), "abA");
}

TEST(ConsoleText, FormatBecomesUtf8AndTheArgumentStaysAsItIs) {
#ifndef _WIN32
    EXPECT_EQ(ConsoleText(messages::kInvalidPropertyValue, ""),
              "Ung\xC3\xBCltiger Wert der Eigenschaft");
    EXPECT_EQ(ConsoleText(messages::kCannotOpenFile, "/tmp/\xE4.ini"),
              "Datei /tmp/\xE4.ini kann nicht ge\xC3\xB6"
              "ffnet werden");
    EXPECT_EQ(ConsoleText(messages::kStreamReadError, ""), "Stream-Read-Fehler");
#endif
}

} // namespace
} // namespace lum::tools
