// The typed value stream of the settings file: the writer's smallest forms at every boundary, the
// reader's accepted forms, the boolean quirk, and the two read errors.

#include "AllocationProbe.h"
#include "SettingsTestSupport.h"
#include "common/LumError.h"
#include "settings/ValueStream.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace lum {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

/// A text of `length` bytes that differ from their neighbours, so that a shifted copy shows.
std::string PatternText(std::size_t length) {
    std::string text(length, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = static_cast<char>('A' + i % 26);
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// Integers: the writer's form at every boundary, and the reader taking it back.

struct IntegerCase {
    const char* name;
    std::int32_t value;
    Bytes bytes; // what the writer produces: type byte, then the payload
};

const IntegerCase kIntegerCases[] = {
    // name                value                                  bytes
    {"Zero", 0, {0x02, 0x00}},
    {"One", 1, {0x02, 0x01}},
    {"Max8", 127, {0x02, 0x7F}},
    {"Min16Above", 128, {0x03, 0x80, 0x00}},
    {"ThreeHundred", 300, {0x03, 0x2C, 0x01}},
    {"MinusOne", -1, {0x02, 0xFF}},
    {"Min8", -128, {0x02, 0x80}},
    {"Min16Below", -129, {0x03, 0x7F, 0xFF}},
    {"Max16", 32767, {0x03, 0xFF, 0x7F}},
    {"Min32Above", 32768, {0x04, 0x00, 0x80, 0x00, 0x00}},
    {"Min16", -32768, {0x03, 0x00, 0x80}},
    {"Min32Below", -32769, {0x04, 0xFF, 0x7F, 0xFF, 0xFF}},
    {"FortyThousand", 40000, {0x04, 0x40, 0x9C, 0x00, 0x00}},
    {"Int32Max", std::numeric_limits<std::int32_t>::max(), {0x04, 0xFF, 0xFF, 0xFF, 0x7F}},
    {"Int32Min", std::numeric_limits<std::int32_t>::min(), {0x04, 0x00, 0x00, 0x00, 0x80}},
};

class IntegerEncoding : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerEncoding, WriterUsesTheSmallestForm) {
    ValueWriter writer;
    writer.WriteInteger(GetParam().value);
    EXPECT_EQ(writer.Bytes(), GetParam().bytes);
}

TEST_P(IntegerEncoding, ReaderTakesTheFormBackAndNothingMore) {
    // A marker value after the integer shows that exactly the payload was consumed.
    const Bytes data = Concat(GetParam().bytes, {0x09});
    ValueReader reader(data);
    EXPECT_EQ(reader.ReadInteger(), GetParam().value);
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_EQ(ErrorOf([&] { (void)reader.ReadBoolean(); }), kStreamReadError);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, IntegerEncoding, testing::ValuesIn(kIntegerCases), CaseName{});

// The reader accepts every integer form wherever an integer is expected, also forms wider than
// the writer would choose, and sign-extends each to 32 bits.
struct IntegerReadCase {
    const char* name;
    Bytes bytes;
    std::int32_t value;
};

const IntegerReadCase kIntegerReadCases[] = {
    // name                  bytes                                   value
    {"Int8Positive", {0x02, 0x05}, 5},
    {"Int16Small", {0x03, 0x05, 0x00}, 5},
    {"Int32Small", {0x04, 0x05, 0x00, 0x00, 0x00}, 5},
    {"Int8Negative", {0x02, 0x80}, -128},
    {"Int16MinusOne", {0x03, 0xFF, 0xFF}, -1},
    {"Int32MinusOne", {0x04, 0xFF, 0xFF, 0xFF, 0xFF}, -1},
    {"Int16SignBit", {0x03, 0x00, 0x80}, -32768},
    {"Int32Wide16", {0x04, 0x2C, 0x01, 0x00, 0x00}, 300},
    {"Int32HighByteOnly", {0x04, 0x00, 0x00, 0x00, 0x01}, 0x01000000},
};

class IntegerReading : public testing::TestWithParam<IntegerReadCase> {};

TEST_P(IntegerReading, AcceptsEveryFormAndSignExtends) {
    ValueReader reader(GetParam().bytes);
    EXPECT_EQ(reader.ReadInteger(), GetParam().value);
    EXPECT_EQ(ErrorOf([&] { (void)reader.ReadInteger(); }), kStreamReadError);
}

INSTANTIATE_TEST_SUITE_P(Forms, IntegerReading, testing::ValuesIn(kIntegerReadCases), CaseName{});

// ---------------------------------------------------------------------------------------------
// Strings: short form up to 255 bytes, long form above; bytes kept as they are.

struct StringCase {
    const char* name;
    std::string text;
    Bytes header; // type byte and length; the text's bytes follow
};

const StringCase kStringCases[] = {
    // name              text                                 header
    {"Empty", "", {0x06, 0x00}},
    {"Short", "abc", {0x06, 0x03}},
    {"Umlaut", "\xE4", {0x06, 0x01}},
    {"ZeroAndHighBytes", std::string("a\0\xFF\x80\x1F", 5), {0x06, 0x05}},
    {"Max255", PatternText(255), {0x06, 0xFF}},
    {"Long256", PatternText(256), {0x0C, 0x00, 0x01, 0x00, 0x00}},
    {"Long70000", PatternText(70000), {0x0C, 0x70, 0x11, 0x01, 0x00}},
};

class StringEncoding : public testing::TestWithParam<StringCase> {};

TEST_P(StringEncoding, WriterUsesTheShortFormUpTo255Bytes) {
    ValueWriter writer;
    writer.WriteString(GetParam().text);
    EXPECT_EQ(writer.Bytes(), Concat(GetParam().header, BytesOf(GetParam().text)));
}

TEST_P(StringEncoding, ReaderTakesTheTextBackByteForByte) {
    const Bytes data = Concat(Concat(GetParam().header, BytesOf(GetParam().text)), {0x09});
    ValueReader reader(data);
    EXPECT_EQ(reader.ReadString(), GetParam().text);
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_EQ(ErrorOf([&] { (void)reader.ReadBoolean(); }), kStreamReadError);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, StringEncoding, testing::ValuesIn(kStringCases), CaseName{});

TEST(StringEncoding, UmlautIsStoredAsItsSingleByte) {
    ValueWriter writer;
    writer.WriteString("Gr\xFC\xDF"
                       " \xE4");
    EXPECT_EQ(writer.Bytes(), (Bytes{0x06, 0x06, 'G', 'r', 0xFC, 0xDF, ' ', 0xE4}));
}

TEST(StringReading, AcceptsTheLongFormForShortTexts) {
    const Bytes data = Bytes{0x0C, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c', 0x0C, 0, 0, 0, 0};
    ValueReader reader(data);
    EXPECT_EQ(reader.ReadString(), "abc");
    EXPECT_EQ(reader.ReadString(), "");
}

TEST(StringReading, LengthExactlyUpToTheEndIsAccepted) {
    const Bytes data = Concat({0x0C, 0x2C, 0x01, 0x00, 0x00}, BytesOf(PatternText(300)));
    ValueReader reader(data);
    EXPECT_EQ(reader.ReadString(), PatternText(300));
}

// ---------------------------------------------------------------------------------------------
// Booleans: 0x09 true, every other type byte false with no payload consumed.

TEST(BooleanEncoding, WriterUsesTheTwoTypeBytes) {
    ValueWriter writer;
    writer.WriteBoolean(false);
    writer.WriteBoolean(true);
    EXPECT_EQ(writer.Bytes(), (Bytes{0x08, 0x09}));
}

TEST(BooleanReading, FalseAndTrue) {
    const Bytes data = Bytes{0x08, 0x09};
    ValueReader reader(data);
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_TRUE(reader.ReadBoolean());
}

TEST(BooleanReading, AnyOtherTypeByteIsFalseAndConsumesOnlyThatByte) {
    const std::uint8_t kForeign[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x06, 0x07, 0x0A, 0x0C, 0xFF};
    for (const auto type : kForeign) {
        SCOPED_TRACE(testing::Message() << "type byte " << int{type});
        const Bytes data = Bytes{type, 0x09};
        ValueReader reader(data);
        EXPECT_FALSE(reader.ReadBoolean());
        EXPECT_TRUE(reader.ReadBoolean()); // the byte right after the type byte
    }
}

TEST(BooleanReading, AnIntegerLeavesItsPayloadAsTheNextTypeByte) {
    // 02 02 07: the boolean takes 02 as false; the next value reads 02 07 as the integer 7.
    const Bytes data = Bytes{0x02, 0x02, 0x07};
    ValueReader reader(data);
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_EQ(reader.ReadInteger(), 7);
}

TEST(BooleanReading, AStringLeavesItsLengthAsTheNextTypeByte) {
    // 06 09 ...: the boolean takes 06 as false; the length byte 09 is read as true.
    const Bytes data = Bytes{0x06, 0x09, 0x08};
    ValueReader reader(data);
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_FALSE(reader.ReadBoolean());
}

// ---------------------------------------------------------------------------------------------
// Errors: running out of bytes, and a type byte of the wrong kind.

enum class Kind { Integer, String, Boolean };

void Read(ValueReader& reader, Kind kind) {
    switch (kind) {
    case Kind::Integer:
        (void)reader.ReadInteger();
        break;
    case Kind::String:
        (void)reader.ReadString();
        break;
    case Kind::Boolean:
        (void)reader.ReadBoolean();
        break;
    }
}

struct ErrorCase {
    const char* name;
    Kind kind;
    Bytes bytes;
    const std::string* message;
};

const ErrorCase kErrorCases[] = {
    // name                     kind            bytes                          message
    {"IntegerNothing", Kind::Integer, {}, &kStreamReadError},
    {"Int8NoPayload", Kind::Integer, {0x02}, &kStreamReadError},
    {"Int16HalfPayload", Kind::Integer, {0x03, 0x01}, &kStreamReadError},
    {"Int32ThreeBytes", Kind::Integer, {0x04, 0x01, 0x02, 0x03}, &kStreamReadError},
    {"StringNothing", Kind::String, {}, &kStreamReadError},
    {"ShortNoLength", Kind::String, {0x06}, &kStreamReadError},
    {"ShortTextCut", Kind::String, {0x06, 0x03, 'a', 'b'}, &kStreamReadError},
    {"LongLengthCut", Kind::String, {0x0C, 0x01, 0x00, 0x00}, &kStreamReadError},
    {"LongTextMissing", Kind::String, {0x0C, 0x01, 0x00, 0x00, 0x00}, &kStreamReadError},
    {"BooleanNothing", Kind::Boolean, {}, &kStreamReadError},
    {"IntegerGivenShortString", Kind::Integer, {0x06, 0x00}, &kInvalidValue},
    {"IntegerGivenLongString", Kind::Integer, {0x0C, 0, 0, 0, 0}, &kInvalidValue},
    {"IntegerGivenFalse", Kind::Integer, {0x08}, &kInvalidValue},
    {"IntegerGivenTrue", Kind::Integer, {0x09}, &kInvalidValue},
    {"IntegerGivenZero", Kind::Integer, {0x00, 0x00}, &kInvalidValue},
    {"IntegerGivenType5", Kind::Integer, {0x05, 0x00, 0x00, 0x00, 0x00}, &kInvalidValue},
    {"IntegerGivenFF", Kind::Integer, {0xFF}, &kInvalidValue},
    {"StringGivenInt8", Kind::String, {0x02, 0x00}, &kInvalidValue},
    {"StringGivenInt16", Kind::String, {0x03, 0x00, 0x00}, &kInvalidValue},
    {"StringGivenInt32", Kind::String, {0x04, 0, 0, 0, 0}, &kInvalidValue},
    {"StringGivenFalse", Kind::String, {0x08}, &kInvalidValue},
    {"StringGivenTrue", Kind::String, {0x09}, &kInvalidValue},
    {"StringGivenType7", Kind::String, {0x07, 0x00}, &kInvalidValue},
    {"StringGivenAscii", Kind::String, {'[', 'S', ']'}, &kInvalidValue},
};

class ReadError : public testing::TestWithParam<ErrorCase> {};

TEST_P(ReadError, RaisesTheSystemsMessage) {
    ValueReader reader(GetParam().bytes);
    EXPECT_EQ(ErrorOf([&] { Read(reader, GetParam().kind); }), *GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadError, testing::ValuesIn(kErrorCases), CaseName{});

TEST(ReadError, InvalidValueMessageIsWindows1252) {
    const Bytes data = Bytes{0x08};
    ValueReader reader(data);
    try {
        (void)reader.ReadInteger();
        FAIL() << "no error";
    } catch (const LumError& error) {
        const std::string message = error.what();
        ASSERT_EQ(message.size(), 31u); // one byte for the umlaut, not two
        EXPECT_EQ(static_cast<unsigned char>(message[3]), 0xFC);
        EXPECT_EQ(message, kInvalidValue);
    }
}

// A long-string length larger than the rest of the data fails at once, before any allocation of
// that size: the file cannot hold the text, so nothing is reserved for it.
TEST(ReadError, LongLengthBeyondTheDataFailsWithoutAllocating) {
    const Bytes cases[] = {
        {0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'},
        {0x0C, 0xFF, 0xFF, 0xFF, 0x7F},
        {0x0C, 0x00, 0x00, 0x00, 0x10, 'x'},
        {0x0C, 0x04, 0x00, 0x00, 0x00, 'a', 'b', 'c'}, // one byte more than remains
    };
    for (const auto& bytes : cases) {
        SCOPED_TRACE(testing::Message()
                     << "length byte " << int{bytes[1]} << ".." << int{bytes[4]});
        ValueReader reader(bytes);
        const test::AllocationProbe probe;
        std::string message;
        try {
            (void)reader.ReadString();
        } catch (const LumError& error) {
            message = error.what();
        }
        EXPECT_LT(probe.Largest(), 4096u);
        EXPECT_EQ(message, kStreamReadError);
    }
}

TEST(ReadError, AllocationProbeSeesLargeAllocations) {
    const test::AllocationProbe probe;
    const std::vector<char> block(1 << 20);
    EXPECT_GE(probe.Largest(), block.size());
}

TEST(ReadError, ShortLengthBeyondTheDataIsAStreamReadError) {
    const Bytes data = Bytes{0x06, 0xFF, 'a'};
    ValueReader reader(data);
    EXPECT_EQ(ErrorOf([&] { (void)reader.ReadString(); }), kStreamReadError);
}

// ---------------------------------------------------------------------------------------------
// A sequence of values: written back to back, read back in the same order.

TEST(ValueSequence, WrittenBackToBackAndReadInOrder) {
    ValueWriter writer;
    writer.WriteInteger(300);
    writer.WriteString(" ** ");
    writer.WriteBoolean(true);
    writer.WriteInteger(-1);
    writer.WriteBoolean(false);
    writer.WriteString("");
    EXPECT_EQ(writer.Bytes(), (Bytes{0x03, 0x2C, 0x01, 0x06, 0x04, 0x20, 0x2A, 0x2A, 0x20, 0x09,
                                     0x02, 0xFF, 0x08, 0x06, 0x00}));

    const Bytes data = writer.Bytes();
    ValueReader reader(data);
    EXPECT_EQ(reader.ReadInteger(), 300);
    EXPECT_EQ(reader.ReadString(), " ** ");
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_EQ(reader.ReadInteger(), -1);
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_EQ(reader.ReadString(), "");
    EXPECT_EQ(ErrorOf([&] { (void)reader.ReadInteger(); }), kStreamReadError);
}

} // namespace
} // namespace lum
