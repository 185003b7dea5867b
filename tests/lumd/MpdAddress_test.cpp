#include "CaseName.h"
#include "apps/lumd/MpdAddress.h"

#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>

namespace lum::lumd {
namespace {

struct AddressCase {
    const char* Name;
    friend void PrintTo(const AddressCase& c, std::ostream* out) { *out << c.Name; }
    std::optional<std::string> Given;
    MpdEnvironment Environment;
    MpdAddress Expected;
    const char* Text;
};

class MpdAddressParsing : public ::testing::TestWithParam<AddressCase> {};

TEST_P(MpdAddressParsing, FindsHostPortAndPassword) {
    const AddressCase& c = GetParam();
    const MpdAddress address = ParseMpdAddress(c.Given, c.Environment);
    EXPECT_EQ(address, c.Expected);
    EXPECT_EQ(address.Text(), c.Text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, MpdAddressParsing, ::testing::Values(
    AddressCase{"Default",          std::nullopt,           {},                       {"localhost", 6600, ""},        "localhost:6600"},
    AddressCase{"HostAlone",        "music.local",          {},                       {"music.local", 6600, ""},      "music.local:6600"},
    AddressCase{"HostAndPort",      "10.0.0.5:6601",        {},                       {"10.0.0.5", 6601, ""},         "10.0.0.5:6601"},
    AddressCase{"Password",         "s3cret@box:7000",      {},                       {"box", 7000, "s3cret"},        "box:7000"},
    AddressCase{"PasswordAbstract", "pw@@mpd",              {},                       {"@mpd", 6600, "pw"},           "@mpd"},
    AddressCase{"Socket",           "/run/mpd/socket",      {{}, "7000"},             {"/run/mpd/socket", 6600, ""},  "/run/mpd/socket"},
    AddressCase{"SocketPassword",   "pw@/run/mpd/socket",   {},                       {"/run/mpd/socket", 6600, "pw"}, "/run/mpd/socket"},
    AddressCase{"Abstract",         "@mpd",                 {},                       {"@mpd", 6600, ""},             "@mpd"},
    AddressCase{"V6Bare",           "::1",                  {},                       {"::1", 6600, ""},              "[::1]:6600"},
    AddressCase{"V6Brackets",       "[::1]:6602",           {},                       {"::1", 6602, ""},              "[::1]:6602"},
    AddressCase{"FromEnvironment",  std::nullopt,           {"pw@host", "6603"},      {"host", 6603, "pw"},           "host:6603"},
    AddressCase{"EmptyGivenIsNone", "",                     {"host", std::nullopt},   {"host", 6600, ""},             "host:6600"},
    AddressCase{"GivenBeatsEnv",    "other",                {"pw@host", "6603"},      {"other", 6603, ""},            "other:6603"},
    AddressCase{"GivenPortWins",    "other:6604",           {{}, "6603"},             {"other", 6604, ""},            "other:6604"}),
    CaseName());
// clang-format on

struct BadAddressCase {
    const char* Name;
    friend void PrintTo(const BadAddressCase& c, std::ostream* out) { *out << c.Name; }
    std::optional<std::string> Given;
    MpdEnvironment Environment;
    const char* Message;
};

class BadMpdAddress : public ::testing::TestWithParam<BadAddressCase> {};

TEST_P(BadMpdAddress, IsRefusedWithItsCause) {
    const BadAddressCase& c = GetParam();
    try {
        (void)ParseMpdAddress(c.Given, c.Environment);
        FAIL() << "accepted";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), c.Message);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, BadMpdAddress, ::testing::Values(
    BadAddressCase{"PortZero",     "box:0",      {},               "bad port '0' in 'box:0' (the MPD address) (1-65535)"},
    BadAddressCase{"PortTooHigh",  "box:65536",  {},               "bad port '65536' in 'box:65536' (the MPD address) (1-65535)"},
    BadAddressCase{"PortNotDigit", "box:66x",    {},               "bad port '66x' in 'box:66x' (the MPD address) (1-65535)"},
    BadAddressCase{"PortEmpty",    "box:",       {},               "bad port '' in 'box:' (the MPD address) (1-65535)"},
    BadAddressCase{"EnvPort",      "box",        {{}, "http"},     "bad port 'http' in MPD_PORT (1-65535)"},
    BadAddressCase{"EnvHostPort",  std::nullopt, {"box:99999", {}}, "bad port '99999' in 'box:99999' (MPD_HOST) (1-65535)"},
    BadAddressCase{"NoHost",       ":6600",      {},               "no host in ':6600' (the MPD address)"},
    BadAddressCase{"NoHostAfterPw","pw@",        {},               "no host in 'pw@' (the MPD address)"},
    BadAddressCase{"OpenBracket",  "[::1",       {},               "no ']' after the IPv6 address in '[::1' (the MPD address)"},
    BadAddressCase{"AfterBracket", "[::1]x",     {},               "unexpected text after ']' in '[::1]x' (the MPD address)"}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd
