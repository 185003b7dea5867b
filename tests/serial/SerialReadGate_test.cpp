// The worker's read gating: when it reads the queued bytes.
#include "platform/Comm.h"
#include "serial/SerialReadGate.h"

#include <gtest/gtest.h>

namespace lum::serial::testing {
namespace {

namespace comm = platform::comm;

TEST(SerialReadGate, ReadNow) {
    struct Case {
        const char* Name;
        TReadGateInput Input;
        bool Expected;
    };
    // 10 bytes at 1100 microseconds each with 250 ms extra have their time after 261 ms.
    // clang-format off
    const Case cases[] = {
        // Name                             InQueue  Since  Errors           Request  Cluster  Char  Extra  Expected
        {"bytes within their time",         {10,     261,   0,               false,   3072,    1100, 250},  false},
        {"bytes after their time",          {10,     262,   0,               false,   3072,    1100, 250},  true},
        {"a full cluster",                  {3072,   0,     0,               false,   3072,    1100, 250},  true},
        {"one byte short of a cluster",     {3071,   0,     0,               false,   3072,    1100, 250},  false},
        {"a read request",                  {1,      0,     0,               true,    3072,    1100, 250},  true},
        {"a framing error",                 {1,      0,     comm::kCeFrame,  false,   3072,    1100, 250},  true},
        {"a break",                         {1,      0,     comm::kCeBreak,  false,   3072,    1100, 250},  true},
        {"an error that does not count",    {1,      0,     0x100,           false,   3072,    1100, 250},  false},
        {"long delays do not wrap",         {60000,  0,     0,               false,   65535,   ~0u,  0},    false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ReadNow(c.Input), c.Expected);
    }
}

} // namespace
} // namespace lum::serial::testing
