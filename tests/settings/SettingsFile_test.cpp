// The settings file: the start values byte for byte, the mapping of loaded values, damaged files,
// round trips of every field, and the file-level failures through the real POSIX file layer.

#include "SettingsTestSupport.h"
#include "common/LumError.h"
#include "platform/Files.h"
#include "settings/Settings.h"
#include "settings/SettingsFields.h"
#include "settings/SettingsFile.h"
#include "settings/ValueStream.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <type_traits>
#include <variant>
#include <vector>

namespace lum {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// The start values as the settings file stores them, byte for byte.
const Bytes kStartValueFile = {
    0x02, 0x01,                         //  1 ComPort 1
    0x02, 0x14,                         //  2 LineWidth 20
    0x03, 0x2C, 0x01,                   //  3 UpdateInterval 300
    0x02, 0x02,                         //  4 LineCount 2
    0x06, 0x04, 0x20, 0x2A, 0x2A, 0x20, //  5 Separator " ** "
    0x06, 0x02, 0x32, 0x30,             //  6 InitCommand "20"
    0x09,                               //  7 ShowMainWindow true
    0x09,                               //  8 DisplayOff true
    0x09,                               //  9 MainWindowMinimized true
    // 10 set 1 line 1: "%titel"
    0x06, 0x06, 0x25, 0x74, 0x69, 0x74, 0x65, 0x6C,
    // 11 set 1 line 2: "%status", ten blanks, "%winampzeit"
    0x06, 0x1C, 0x25, 0x73, 0x74, 0x61, 0x74, 0x75, 0x73, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x20, 0x20, 0x25, 0x77, 0x69, 0x6E, 0x61, 0x6D, 0x70, 0x7A, 0x65, 0x69, 0x74,
    // 12-17 set 1 lines 3-8: empty
    0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00,
    // 18-25 set 1 scroll modes: -1
    0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF,
    // 26-33 set 2 templates: empty; 34-41 set 2 scroll modes: -1
    0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00,
    0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF,
    // 42-49 set 3 templates: empty; 50-57 set 3 scroll modes: -1
    0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00,
    0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF,
    // 58-65 set 4 templates: empty; 66-73 set 4 scroll modes: -1
    0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00,
    0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF,
    0x02, 0xFF, // 74 BaudRateIndex -1
    0x08,       // 75 SendCarriageReturn false
    0x02, 0x00, // 76 SetChangeSeconds 0
    0x02, 0x01, // 77 SetCount 1
    0x08,       // 78 Ba63Mode false
    0x09,       // 79 ReplaceUmlauts true
};

// Byte offsets of values in kStartValueFile.
constexpr std::size_t kStartValue18Offset = 72;  // set 1 line 1 scroll mode
constexpr std::size_t kStartAfterValue40 = 118;  // end of value 40 (set 2 line 7 scroll mode)
constexpr std::size_t kStartValue78Offset = 191; // Ba63Mode

/// The stored field named `name` of `settings`.
SettingsField Field(Settings& settings, const std::string& name) {
    for (auto& field : StoredFields(settings)) {
        if (field.Name == name) {
            return field;
        }
    }
    ADD_FAILURE() << "no stored field " << name;
    return {};
}

std::int32_t& IntegerField(Settings& settings, const std::string& name) {
    return *std::get<std::int32_t*>(Field(settings, name).Value);
}

/// The file's bytes for the first `count` values of `settings`, written value by value.
Bytes EncodeFirstValues(const Settings& settings, std::size_t count) {
    Settings source = settings;
    const auto fields = StoredFields(source);
    ValueWriter writer;
    for (std::size_t i = 0; i < count; ++i) {
        WriteStoredValue(writer, fields[i]);
    }
    return writer.Bytes();
}

/// A text of `length` bytes starting with `tag`.
std::string TaggedText(const std::string& tag, std::size_t length) {
    std::string text = tag;
    while (text.size() < length) {
        text += static_cast<char>('a' + text.size() % 26);
    }
    return text;
}

/// Every stored field set to a value of its own that survives the load mapping (so in range):
/// integers differ from their start values, booleans are flipped, each template is a different
/// text, and the scroll modes differ between neighbouring lines and between the sets.
Settings DistinctInRangeSettings() {
    Settings defaults;
    Settings settings;
    const auto start = StoredFields(defaults);
    const auto fields = StoredFields(settings);
    int textNumber = 0;
    int slotNumber = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto& field = fields[i];
        if (auto* integer = std::get_if<std::int32_t*>(&field.Value)) {
            if (field.Name.ends_with(".ScrollMode")) {
                const int set = slotNumber / kLinesPerSet;
                const int line = slotNumber % kLinesPerSet;
                **integer = (set + line + 1) % 4 - 1; // -1..2
                ++slotNumber;
            } else {
                // The top of the range, or one below it when that is the start value.
                **integer = field.Max - static_cast<std::int32_t>(i % 3);
                if (**integer == *std::get<std::int32_t*>(start[i].Value)) {
                    --**integer;
                }
            }
        } else if (auto* text = std::get_if<std::string*>(&field.Value)) {
            ++textNumber;
            const std::string tag = "#" + std::to_string(textNumber) + " ";
            switch (textNumber) {
            case 3:
                **text = TaggedText(tag, 255);
                break; // longest short form
            case 4:
                **text = TaggedText(tag, 256);
                break; // shortest long form
            case 20:
                **text = TaggedText(tag, 1000);
                break; // long form
            case 21:
                **text = tag + "Gr\xFC\xDF \xE4\xF6\xFC";
                break; // umlauts, single bytes
            case 22:
                **text = tag + std::string("\0\x1F\x7F\xFF", 4);
                break;
            default:
                **text = tag + "%titel";
                break;
            }
        } else {
            auto* flag = std::get<bool*>(field.Value);
            *flag = !*std::get<bool*>(start[i].Value);
        }
    }
    return settings;
}

/// Every stored field set to a value of its own, with integers of every width and outside their
/// ranges: what DecodeSettings must give back as read.
Settings DistinctRawSettings() {
    static const std::int32_t kSpecial[] = {12,
                                            100,
                                            0,
                                            9,
                                            -1,
                                            127,
                                            128,
                                            -128,
                                            -129,
                                            32767,
                                            32768,
                                            -32768,
                                            -32769,
                                            40000,
                                            std::numeric_limits<std::int32_t>::min(),
                                            std::numeric_limits<std::int32_t>::max()};
    Settings settings = DistinctInRangeSettings();
    std::size_t number = 0;
    for (const auto& field : StoredFields(settings)) {
        if (auto* integer = std::get_if<std::int32_t*>(&field.Value)) {
            **integer = number < std::size(kSpecial)
                            ? kSpecial[number]
                            : static_cast<std::int32_t>((number % 2 ? -1 : 1) * number * 4099);
            ++number;
        }
    }
    return settings;
}

// ---------------------------------------------------------------------------------------------
// The start values.

TEST(StartValueFile, StartValuesEncodeToTheExampleByteForByte) {
    EXPECT_EQ(EncodeSettings(Settings{}), kStartValueFile);
}

TEST(StartValueFile, ExampleDecodesToTheStartValues) {
    EXPECT_EQ(DecodeSettings(kStartValueFile), Settings{});
}

TEST(StartValueFile, ExampleStoredIntoAnyRecordGivesTheStartValues) {
    Settings target = DistinctInRangeSettings();
    StoreLoadedSettings(DecodeSettings(kStartValueFile), target);
    EXPECT_EQ(target, Settings{});
}

TEST(StartValueFile, WiderFormsOfEveryValueLoadAsWell) {
    // Every integer in the 32-bit form and every text in the long form.
    Settings source;
    Bytes bytes;
    for (const auto& field : StoredFields(source)) {
        if (auto* integer = std::get_if<std::int32_t*>(&field.Value)) {
            const auto bits = static_cast<std::uint32_t>(**integer);
            bytes.insert(bytes.end(), {0x04, static_cast<std::uint8_t>(bits),
                                       static_cast<std::uint8_t>(bits >> 8),
                                       static_cast<std::uint8_t>(bits >> 16),
                                       static_cast<std::uint8_t>(bits >> 24)});
        } else if (auto* text = std::get_if<std::string*>(&field.Value)) {
            bytes.insert(bytes.end(),
                         {0x0C, static_cast<std::uint8_t>((*text)->size()), 0x00, 0x00, 0x00});
            bytes.insert(bytes.end(), (*text)->begin(), (*text)->end());
        } else {
            bytes.push_back(*std::get<bool*>(field.Value) ? 0x09 : 0x08);
        }
    }
    EXPECT_EQ(DecodeSettings(bytes), Settings{});
}

// ---------------------------------------------------------------------------------------------
// The stored fields: 79 of them, in file order.

TEST(StoredFields, EachValueOfAHandWrittenFileLandsInItsMember) {
    // The file's 79 values written in their order, each integer and text one of its own; the six
    // booleans carry the bits of their numbers 1-6 over three files, so any two differ in one.
    for (int bit = 0; bit < 3; ++bit) {
        SCOPED_TRACE(testing::Message() << "bit " << bit);
        ValueWriter file;
        Settings expected;
        std::int32_t place = 0;
        int flagNumber = 0;
        const auto integer = [&](std::int32_t& member) {
            file.WriteInteger(member = 1000 + ++place);
        };
        const auto text = [&](std::string& member) {
            file.WriteString(member = "value " + std::to_string(++place));
        };
        const auto flag = [&](bool& member) {
            file.WriteBoolean(member = ((++flagNumber >> bit) & 1) != 0);
        };
        integer(expected.ComPort);
        integer(expected.LineWidth);
        integer(expected.UpdateInterval);
        integer(expected.LineCount);
        text(expected.Separator);
        text(expected.InitCommand);
        flag(expected.ShowMainWindow);
        flag(expected.DisplayOff);
        flag(expected.MainWindowMinimized);
        for (int set = 1; set <= kTextSetCount; ++set) {
            for (int line = 1; line <= kLinesPerSet; ++line) {
                text(expected.Slot(set, line).Template);
            }
            for (int line = 1; line <= kLinesPerSet; ++line) {
                integer(expected.Slot(set, line).ScrollMode);
            }
        }
        integer(expected.BaudRateIndex);
        flag(expected.SendCarriageReturn);
        integer(expected.SetChangeSeconds);
        integer(expected.SetCount);
        flag(expected.Ba63Mode);
        flag(expected.ReplaceUmlauts);
        EXPECT_EQ(DecodeSettings(file.Bytes()), expected);
    }
}

// ---------------------------------------------------------------------------------------------
// Mapping of loaded integers: clamping and list indexes.

struct MappingCase {
    const char* field;
    std::int32_t asRead;
    std::int32_t stored;
};

const MappingCase kMappingCases[] = {
    // field                      as read   stored
    {"ComPort", 12, 9},
    {"ComPort", 10, 9},
    {"ComPort", 0, 1},
    {"ComPort", -5, 1},
    {"ComPort", 1, 1},
    {"ComPort", 9, 9},
    {"LineWidth", 100, 80},
    {"LineWidth", 81, 80},
    {"LineWidth", 7, 8},
    {"LineWidth", 8, 8},
    {"LineWidth", 80, 80},
    {"UpdateInterval", 0, 1},
    {"UpdateInterval", 1000, 999},
    {"UpdateInterval", 40000, 999},
    {"UpdateInterval", 999, 999},
    {"UpdateInterval", std::numeric_limits<std::int32_t>::min(), 1},
    {"LineCount", 0, 1},
    {"LineCount", 9, 8},
    {"LineCount", 8, 8},
    {"SetChangeSeconds", -1, 0},
    {"SetChangeSeconds", 256, 255},
    {"SetChangeSeconds", 255, 255},
    {"SetChangeSeconds", 0, 0},
    {"SetCount", 0, 1},
    {"SetCount", 5, 4},
    {"SetCount", 4, 4},
    {"Set1.Line1.ScrollMode", 3, -1},
    {"Set1.Line1.ScrollMode", -2, -1},
    {"Set1.Line1.ScrollMode", 2, 2},
    {"Set1.Line1.ScrollMode", 0, 0},
    {"Set1.Line1.ScrollMode", -1, -1},
    {"Set3.Line5.ScrollMode", 1, 1},
    {"Set4.Line8.ScrollMode", 300, -1},
    {"BaudRateIndex", 5, -1},
    {"BaudRateIndex", -2, -1},
    {"BaudRateIndex", 4, 4},
    {"BaudRateIndex", 0, 0},
    {"BaudRateIndex", std::numeric_limits<std::int32_t>::max(), -1},
};

TEST(LoadMapping, IntegersAreClampedOrMappedWhenStoredButDecodedAsRead) {
    for (const auto& c : kMappingCases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.asRead);
        Settings file;
        IntegerField(file, c.field) = c.asRead;
        Settings asRead = DecodeSettings(EncodeSettings(file));
        EXPECT_EQ(IntegerField(asRead, c.field), c.asRead);
        Settings target;
        StoreLoadedSettings(asRead, target);
        EXPECT_EQ(IntegerField(target, c.field), c.stored);
        // Nothing else changes.
        IntegerField(target, c.field) = IntegerField(file, c.field);
        EXPECT_EQ(target, file);
    }
}

TEST(LoadMapping, ComPort12InTheExampleLoadsAs9AndDecodesAs12) {
    Bytes bytes = kStartValueFile;
    bytes[1] = 0x0C;
    const Settings asRead = DecodeSettings(bytes);
    EXPECT_EQ(asRead.ComPort, 12);
    Settings target;
    StoreLoadedSettings(asRead, target);
    EXPECT_EQ(target.ComPort, 9);
}

TEST(LoadMapping, ScrollMode3InTheExampleLoadsAsMinusOne) {
    Bytes bytes = kStartValueFile;
    ASSERT_EQ(bytes[kStartValue18Offset], 0x02);
    bytes[kStartValue18Offset + 1] = 0x03;
    const Settings asRead = DecodeSettings(bytes);
    EXPECT_EQ(asRead.Slot(1, 1).ScrollMode, 3);
    Settings target;
    target.Slot(1, 1).ScrollMode = kScrollLeft;
    StoreLoadedSettings(asRead, target);
    EXPECT_EQ(target.Slot(1, 1).ScrollMode, kScrollNone);
}

// ---------------------------------------------------------------------------------------------
// Round trips.

TEST(RoundTrip, EveryFieldWithItsOwnValueDecodesAsWritten) {
    const Settings raw = DistinctRawSettings();
    EXPECT_EQ(DecodeSettings(EncodeSettings(raw)), raw);
}

TEST(RoundTrip, EveryFieldWithItsOwnInRangeValueSurvivesTheMapping) {
    const Settings original = DistinctInRangeSettings();
    Settings target;
    StoreLoadedSettings(DecodeSettings(EncodeSettings(original)), target);
    EXPECT_EQ(target, original);
    // Field by field, so that a mix-up names the field.
    Settings copy = original;
    const auto expected = StoredFields(copy);
    const auto actual = StoredFields(target);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].Name);
        std::visit(
            [&](auto* value) {
                using T = std::remove_pointer_t<decltype(value)>;
                EXPECT_EQ(*std::get<T*>(actual[i].Value), *value);
            },
            expected[i].Value);
    }
}

// ---------------------------------------------------------------------------------------------
// Damaged files.

TEST(DamagedFile, CutAfterValue40IsAStreamReadError) {
    ASSERT_EQ(EncodeFirstValues(Settings{}, 40).size(), kStartAfterValue40);
    const Bytes cut(kStartValueFile.begin(), kStartValueFile.begin() + kStartAfterValue40);
    EXPECT_EQ(ErrorOf([&] { (void)DecodeSettings(cut); }), kStreamReadError);

    const Settings distinct = DistinctInRangeSettings();
    const Bytes distinctCut = EncodeFirstValues(distinct, 40);
    EXPECT_EQ(ErrorOf([&] { (void)DecodeSettings(distinctCut); }), kStreamReadError);
}

TEST(DamagedFile, CutAtEveryLengthIsAStreamReadError) {
    for (const Bytes& full : {kStartValueFile, EncodeSettings(DistinctInRangeSettings()),
                              EncodeSettings(DistinctRawSettings())}) {
        for (std::size_t length = 0; length < full.size(); ++length) {
            SCOPED_TRACE(testing::Message() << "cut at " << length << " of " << full.size());
            const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
            Settings target = DistinctInRangeSettings();
            EXPECT_EQ(ErrorOf([&] { StoreLoadedSettings(DecodeSettings(cut), target); }),
                      kStreamReadError);
            EXPECT_EQ(target, DistinctInRangeSettings()); // nothing applied before the end
        }
    }
}

TEST(DamagedFile, BytesAfterValue79AreIgnored) {
    for (const Bytes& tail : {Bytes{0x00}, Bytes{0xFF, 0xFF, 0xFF}, Bytes{0x0C, 0xFF, 0xFF}}) {
        Bytes bytes = kStartValueFile;
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        EXPECT_EQ(DecodeSettings(bytes), Settings{});
    }
    Bytes bytes = EncodeSettings(DistinctInRangeSettings());
    bytes.insert(bytes.end(), kStartValueFile.begin(), kStartValueFile.end());
    EXPECT_EQ(DecodeSettings(bytes), DistinctInRangeSettings());
}

TEST(DamagedFile, AForeignValueWhereABooleanIsExpectedShiftsTheRest) {
    // Value 78 given as 02: Ba63Mode false, and the next byte (the integer's would-be payload)
    // is read as value 79's type byte.
    Bytes bytes(kStartValueFile.begin(), kStartValueFile.begin() + kStartValue78Offset);
    bytes.insert(bytes.end(), {0x02, 0x08});
    Settings asRead = DecodeSettings(bytes);
    EXPECT_FALSE(asRead.Ba63Mode);
    EXPECT_FALSE(asRead.ReplaceUmlauts);

    bytes.back() = 0x09;
    asRead = DecodeSettings(bytes);
    EXPECT_FALSE(asRead.Ba63Mode);
    EXPECT_TRUE(asRead.ReplaceUmlauts);
}

TEST(DamagedFile, AShiftedBooleanMakesTheNextStringInvalid) {
    // Value 7 given as 02 09: ShowMainWindow false, DisplayOff reads 09, MainWindowMinimized
    // reads the old value 8 (09), and value 10, a string, meets the old value 9 (09).
    Bytes bytes = kStartValueFile;
    bytes.insert(bytes.begin() + 19, 0x02);
    EXPECT_EQ(ErrorOf([&] { (void)DecodeSettings(bytes); }), kInvalidValue);
}

struct DamageCase {
    const char* name;
    std::size_t offset; // where the replacement starts in the example
    std::size_t length; // how many bytes it replaces
    Bytes replacement;
    const std::string* message;
};

const DamageCase kDamageCases[] = {
    // name                         offset len  replacement                          message
    {"ComPortGivenAsString", 0, 2, {0x06, 0x01, '1'}, &kInvalidValue},
    {"ComPortGivenAsBoolean", 0, 2, {0x09}, &kInvalidValue},
    {"UpdateIntervalTypeZero", 4, 3, {0x00, 0x2C, 0x01}, &kInvalidValue},
    {"SeparatorGivenAsInteger", 9, 6, {0x02, 0x04}, &kInvalidValue},
    {"InitCommandGivenAsTrue", 15, 4, {0x09}, &kInvalidValue},
    {"TemplateLengthTooLong", 22, 8, {0x06, 0xFF, 'a'}, &kStreamReadError},
    {"TemplateLongLengthHuge", 22, 8, {0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, &kStreamReadError},
    {"TemplateLongLengthAllOnes", 22, 8, {0x0C, 0xFF, 0xFF, 0xFF, 0xFF}, &kStreamReadError},
    {"ScrollModeGivenAsString", kStartValue18Offset, 2, {0x06, 0x00}, &kInvalidValue},
    {"BaudRateIndexGivenAsFalse", 184, 2, {0x08}, &kInvalidValue},
    {"SetCountTypeFF", 189, 2, {0xFF, 0x01}, &kInvalidValue},
};

class DamagedExample : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedExample, FailsWithTheSystemsMessage) {
    const auto& c = GetParam();
    Bytes bytes = kStartValueFile;
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(c.offset),
                bytes.begin() + static_cast<std::ptrdiff_t>(c.offset + c.length));
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(c.offset), c.replacement.begin(),
                 c.replacement.end());
    EXPECT_EQ(ErrorOf([&] { (void)DecodeSettings(bytes); }), *c.message);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedExample, testing::ValuesIn(kDamageCases), CaseName{});

TEST(DamagedFile, ForeignContents) {
    const std::string ini = "[Settings]\r\nComPort=1\r\n";
    EXPECT_EQ(ErrorOf([] { (void)DecodeSettings({}); }), kStreamReadError);
    EXPECT_EQ(ErrorOf([&] { (void)DecodeSettings(Bytes(ini.begin(), ini.end())); }), kInvalidValue);
    EXPECT_EQ(ErrorOf([] { (void)DecodeSettings(Bytes(193, 0xFF)); }), kInvalidValue);
    EXPECT_EQ(ErrorOf([] { (void)DecodeSettings(Bytes(193, 0x00)); }), kInvalidValue);
    // 02 02 ... reads as integers 2, 2, 2, 2, then a string meets 02.
    EXPECT_EQ(ErrorOf([] { (void)DecodeSettings(Bytes(193, 0x02)); }), kInvalidValue);
}

// ---------------------------------------------------------------------------------------------
// The file on disk, through the real file layer, in a private folder.

std::string Raw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Bytes RawBytes(const std::string& path) {
    const auto text = Raw(path);
    return Bytes(text.begin(), text.end());
}

void WriteRaw(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

class SettingsFileOnDisk : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lum-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        host_ = pattern + "/";
        plugins_ = host_ + "plugins";
        ASSERT_TRUE(fs::create_directory(plugins_));
        path_ = SettingsFilePath(host_);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(host_, ignored);
        platform::SetHostDirectory("./");
    }

    std::string host_;    // the host's folder, with its trailing separator
    std::string plugins_; // its plugins folder
    std::string path_;    // the settings file in it
};

TEST_F(SettingsFileOnDisk, PathIsPluginsGenLumIniBelowTheHostFolder) {
    EXPECT_EQ(SettingsFilePath("/opt/winamp/"), "/opt/winamp/plugins/gen_lum.ini");
    EXPECT_EQ(path_, plugins_ + "/gen_lum.ini");
}

TEST_F(SettingsFileOnDisk, AbsentFileIsNothing) {
    EXPECT_EQ(LoadSettingsFile(path_), std::nullopt);
    EXPECT_EQ(Entries(plugins_), std::vector<std::string>{});
}

TEST_F(SettingsFileOnDisk, SaveWritesTheExampleAndLoadReadsItBack) {
    SaveSettingsFile(path_, Settings{});
    EXPECT_EQ(RawBytes(path_), kStartValueFile);
    EXPECT_EQ(Entries(plugins_), std::vector<std::string>{"gen_lum.ini"});
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(ModeOf(path_), 0666 & ~mask);
    EXPECT_EQ(LoadSettingsFile(path_), Settings{});
}

TEST_F(SettingsFileOnDisk, SaveReplacesAnExistingFileAndKeepsItsMode) {
    WriteRaw(path_, Bytes(5000, 0xAB)); // longer than the new content: nothing of it may remain
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    const Settings distinct = DistinctInRangeSettings();
    SaveSettingsFile(path_, distinct);
    EXPECT_EQ(RawBytes(path_), EncodeSettings(distinct));
    EXPECT_EQ(ModeOf(path_), 0640u);
    EXPECT_EQ(Entries(plugins_), std::vector<std::string>{"gen_lum.ini"});
    Settings target;
    StoreLoadedSettings(*LoadSettingsFile(path_), target);
    EXPECT_EQ(target, distinct);
}

TEST_F(SettingsFileOnDisk, ExampleFileLoadsToTheStartValues) {
    WriteRaw(path_, kStartValueFile);
    Settings target = DistinctInRangeSettings();
    StoreLoadedSettings(*LoadSettingsFile(path_), target);
    EXPECT_EQ(target, Settings{});
}

TEST_F(SettingsFileOnDisk, SaveWithoutPluginsFolderCannotCreateTheFile) {
    fs::remove(plugins_);
    try {
        SaveSettingsFile(path_, Settings{});
        FAIL() << "no error";
    } catch (const LumError& error) {
        EXPECT_EQ(std::string(error.what()), "Datei " + path_ + " kann nicht erstellt werden");
        EXPECT_EQ(error.Format(), messages::kCannotCreateFile);
        EXPECT_EQ(error.Argument(), path_);
    }
    EXPECT_EQ(Entries(host_), std::vector<std::string>{}); // the folder is not created
}

TEST_F(SettingsFileOnDisk, WriteProtectedFileCannotBeCreatedNorOpened) {
    SaveSettingsFile(path_, Settings{});
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);

    EXPECT_EQ(ErrorOf([&] { SaveSettingsFile(path_, DistinctInRangeSettings()); }),
              "Datei " + path_ + " kann nicht erstellt werden");
    EXPECT_EQ(RawBytes(path_), kStartValueFile);
    EXPECT_EQ(ModeOf(path_), 0444u);

    // Opened for reading and writing although only reading follows: "geöffnet" in Windows-1252.
    EXPECT_EQ(ErrorOf([&] { (void)LoadSettingsFile(path_); }), "Datei " + path_ +
                                                                   " kann nicht ge\xF6"
                                                                   "ffnet werden");
    EXPECT_EQ(RawBytes(path_), kStartValueFile);
    EXPECT_EQ(Entries(plugins_), std::vector<std::string>{"gen_lum.ini"});
}

/// Lowers the file size limit of this process and ignores SIGXFSZ, so that writes beyond the
/// limit fail with EFBIG the way they fail on a full disk; restores both when it ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &old_), 0);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(SettingsFileOnDisk, DiskFullIsAStreamWriteErrorAndKeepsThePreviousFile) {
    SaveSettingsFile(path_, Settings{});
    const Bytes before = RawBytes(path_);
    for (const rlim_t limit : {rlim_t{0}, rlim_t{64}, rlim_t{192}}) {
        SCOPED_TRACE(testing::Message() << "limit " << limit);
        std::string message;
        {
            const FileSizeLimit full(limit);
            message = ErrorOf([&] { SaveSettingsFile(path_, DistinctInRangeSettings()); });
        }
        EXPECT_EQ(message, kStreamWriteError);
        EXPECT_EQ(RawBytes(path_), before);
        EXPECT_EQ(Entries(plugins_), std::vector<std::string>{"gen_lum.ini"});
    }
    // Room again: the save goes through.
    SaveSettingsFile(path_, DistinctInRangeSettings());
    EXPECT_EQ(RawBytes(path_), EncodeSettings(DistinctInRangeSettings()));
}

TEST_F(SettingsFileOnDisk, DiskFullOnTheFirstSaveLeavesNoFile) {
    std::string message;
    {
        const FileSizeLimit full(100);
        message = ErrorOf([&] { SaveSettingsFile(path_, Settings{}); });
    }
    EXPECT_EQ(message, kStreamWriteError);
    EXPECT_EQ(Entries(plugins_), std::vector<std::string>{});
    EXPECT_EQ(LoadSettingsFile(path_), std::nullopt);
}

TEST_F(SettingsFileOnDisk, DirectoryWhereTheFileShouldBe) {
    ASSERT_TRUE(fs::create_directory(path_));
    EXPECT_EQ(ErrorOf([&] { SaveSettingsFile(path_, Settings{}); }),
              "Datei " + path_ + " kann nicht erstellt werden");
    // A folder is no file: the load finds no settings file (the first-run path).
    EXPECT_EQ(LoadSettingsFile(path_), std::nullopt);
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(Entries(plugins_), std::vector<std::string>{"gen_lum.ini"});
}

TEST_F(SettingsFileOnDisk, DamagedFileFailsAndTheTargetIsUntouched) {
    const Settings distinct = DistinctInRangeSettings();
    const struct {
        Bytes bytes;
        const std::string* message;
    } cases[] = {
        {Bytes(kStartValueFile.begin(), kStartValueFile.begin() + kStartAfterValue40),
         &kStreamReadError},
        {Bytes{}, &kStreamReadError},
        {Bytes(kStartValueFile.begin() + 1, kStartValueFile.end()), &kInvalidValue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bytes.size() << " bytes");
        WriteRaw(path_, c.bytes);
        Settings target = distinct;
        // The loader's whole road: read everything, then store.
        EXPECT_EQ(ErrorOf([&] { StoreLoadedSettings(*LoadSettingsFile(path_), target); }),
                  *c.message);
        EXPECT_EQ(target, distinct);
        EXPECT_EQ(RawBytes(path_), c.bytes); // not repaired, not deleted
    }
}

TEST_F(SettingsFileOnDisk, AppendedBytesLoadNormally) {
    Bytes bytes = kStartValueFile;
    bytes.insert(bytes.end(), {0x06, 0xFF, 0x00});
    WriteRaw(path_, bytes);
    EXPECT_EQ(LoadSettingsFile(path_), Settings{});
}

TEST_F(SettingsFileOnDisk, SaveAndLoadThroughTheHostDirectory) {
    platform::SetHostDirectory(host_.substr(0, host_.size() - 1)); // without the separator
    EXPECT_EQ(platform::HostDirectory(), host_);
    EXPECT_EQ(LoadSettings(), std::nullopt);

    const Settings distinct = DistinctInRangeSettings();
    SaveSettings(distinct);
    EXPECT_EQ(RawBytes(path_), EncodeSettings(distinct));

    Settings stored;
    const auto loaded = LoadSettings();
    ASSERT_TRUE(loaded.has_value());
    StoreLoadedSettings(*loaded, stored);
    EXPECT_EQ(stored, distinct);
}

TEST_F(SettingsFileOnDisk, SaveSettingsWithoutPluginsFolderNamesTheFullPath) {
    fs::remove(plugins_);
    platform::SetHostDirectory(host_);
    EXPECT_EQ(ErrorOf([] { SaveSettings(Settings{}); }),
              "Datei " + host_ + "plugins/gen_lum.ini kann nicht erstellt werden");
}

// Entries that are not plain files: the loader must not hang on them or read them without end,
// and the saver must never turn them into a plain file.
TEST_F(SettingsFileOnDisk, NotAPlainFileIsNeitherReadNorReplaced) {
    const std::string fifo = plugins_ + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const std::string device = plugins_ + "/device";
    const bool haveDevice = ::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
    const std::string cannotOpen = "Datei " + path_ +
                                   " kann nicht ge\xF6"
                                   "ffnet werden";
    const std::string cannotCreate = "Datei " + path_ + " kann nicht erstellt werden";
    const struct {
        const char* name;
        std::string target; // what path_ links to
        bool save;          // also try to save through it
    } cases[] = {
        {"FIFO", fifo, true},
        {"endless device", "/dev/zero", false},
        {"own device node", device, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.target == device && !haveDevice) {
            continue; // creating device nodes needs privileges this run does not have
        }
        fs::remove(path_);
        fs::create_symlink(c.target, path_);
        const auto typeBefore = fs::status(c.target).type();
        EXPECT_EQ(ErrorOf([&] { (void)LoadSettingsFile(path_); }), cannotOpen);
        if (c.save) {
            EXPECT_EQ(ErrorOf([&] { SaveSettingsFile(path_, Settings{}); }), cannotCreate);
        }
        EXPECT_EQ(fs::status(c.target).type(), typeBefore);
        EXPECT_TRUE(fs::is_symlink(path_));
    }
    // The FIFO itself, not reached through a link.
    fs::remove(path_);
    ASSERT_EQ(::mkfifo(path_.c_str(), 0666), 0);
    EXPECT_EQ(ErrorOf([&] { (void)LoadSettingsFile(path_); }), cannotOpen);
    EXPECT_EQ(ErrorOf([&] { SaveSettingsFile(path_, Settings{}); }), cannotCreate);
    EXPECT_TRUE(fs::is_fifo(path_));
}

TEST_F(SettingsFileOnDisk, FileBeyondTheSizeLimitIsAStreamReadError) {
    const struct {
        std::size_t size;
        bool loads;
    } cases[] = {{kMaxSettingsFileBytes, true}, {kMaxSettingsFileBytes + 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes");
        WriteRaw(path_, kStartValueFile);
        fs::resize_file(path_, c.size); // sparse: the start values, then zeros
        if (c.loads) {
            EXPECT_EQ(LoadSettingsFile(path_), Settings{});
        } else {
            EXPECT_EQ(ErrorOf([&] { (void)LoadSettingsFile(path_); }), kStreamReadError);
        }
        EXPECT_EQ(fs::file_size(path_), c.size);
    }
}

TEST_F(SettingsFileOnDisk, SaveThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
    const std::string elsewhere = host_ + "elsewhere";
    ASSERT_TRUE(fs::create_directory(elsewhere));
    const struct {
        const char* name;
        std::string link;   // what the link holds
        std::string target; // the file it finally names
        bool targetExists;
    } cases[] = {
        {"absolute", elsewhere + "/a.ini", elsewhere + "/a.ini", true},
        {"relative", "../elsewhere/b.ini", elsewhere + "/b.ini", true},
        {"dangling", "../elsewhere/c.ini", elsewhere + "/c.ini", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.targetExists) {
            WriteRaw(c.target, kStartValueFile);
        }
        fs::remove(path_);
        fs::create_symlink(c.link, path_);
        SaveSettingsFile(path_, DistinctInRangeSettings());
        EXPECT_TRUE(fs::is_symlink(path_));
        EXPECT_EQ(fs::read_symlink(path_).string(), c.link);
        EXPECT_EQ(RawBytes(c.target), EncodeSettings(DistinctInRangeSettings()));
        EXPECT_EQ(Entries(plugins_), std::vector<std::string>{"gen_lum.ini"});
    }
    EXPECT_EQ(Entries(elsewhere), (std::vector<std::string>{"a.ini", "b.ini", "c.ini"}));
}

} // namespace
} // namespace lum
