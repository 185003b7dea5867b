#include "DisplayTestSupport.h"
#include "common/LumError.h"
#include "display/DisplayBytes.h"
#include "display/DisplayEngine.h"

#include <gtest/gtest.h>

namespace lum {
namespace {

TEST(InitCommandBytes, NumbersGiveTheirLowByte) {
    struct Case {
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {"20", "\x14"},
        {"", ""},
        {"0", std::string(1, '\0')},
        {"276", "\x14"},
        {"-1", "\xFF"},
        {"+5", "\x05"},
        {"007", "\x07"},
        {"2147483647", "\xFF"},
        {"-2147483648", std::string(1, '\0')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InitCommandBytes(c.text), c.bytes) << c.text;
    }
}

TEST(InitCommandBytes, OtherTextsAreNoInteger) {
    for (const char* text :
         {"abc", "20 ", " 20", "1e3", "+-5", "--5", "-", "+", "0x14", "2147483648", "2,0"}) {
        try {
            (void)InitCommandBytes(text);
            ADD_FAILURE() << text << " accepted";
        } catch (const LumError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(text) + "' ist kein g\xFCltiger Integerwert");
        }
    }
}

using DisplayCommandsTest = test::DisplayTest;

TEST_F(DisplayCommandsTest, CommandBytes) {
    settings.InitCommand = "20";
    engine.SendInitCommand();
    engine.SendStartLineFeed();
    for (int step = 1; step <= 4; ++step) {
        engine.SendBrightness(step);
    }
    settings.InitCommand = "";
    engine.SendInitCommand();
    EXPECT_EQ(port.Writes,
              (std::vector<std::string>{"\x14", "\r\n", "\x04", "\x03", "\x02", "\x01"}));
    settings.InitCommand = "x";
    EXPECT_THROW(engine.SendInitCommand(), LumError);
}

} // namespace
} // namespace lum
