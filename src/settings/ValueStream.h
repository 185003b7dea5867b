#pragma once
// The typed value stream of the settings file: values back to back, no header or terminator.
//
//   type  kind             payload (little-endian, two's complement)
//   0x02  integer  8-bit   1 byte                 (-128..127)
//   0x03  integer 16-bit   2 bytes                (-32768..-129, 128..32767)
//   0x04  integer 32-bit   4 bytes                (everything else)
//   0x06  string  short    1-byte length n, n bytes   (n <= 255)
//   0x0C  string  long     4-byte length n, n bytes   (n > 255)
//   0x08  boolean false    -
//   0x09  boolean true     -
//
// The writer always uses the smallest form; the reader accepts every form of the expected kind.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lum {

/// Type bytes of the value stream.
enum ValueType : std::uint8_t {
    kTypeInt8 = 0x02,
    kTypeInt16 = 0x03,
    kTypeInt32 = 0x04,
    kTypeShortString = 0x06,
    kTypeFalse = 0x08,
    kTypeTrue = 0x09,
    kTypeLongString = 0x0C,
};

/// Appends values to a byte buffer in their smallest encoding.
class ValueWriter {
public:
    void WriteInteger(std::int32_t value);
    void WriteString(std::string_view text);
    void WriteBoolean(bool value);

    /// The bytes written so far.
    [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    void WriteLittleEndian(std::uint32_t value, int byteCount);

    std::vector<std::uint8_t> bytes_;
};

/// Reads values from a byte buffer. Running out of bytes raises "Stream-Read-Fehler"; a type
/// byte of the wrong kind for an integer or string raises "Ungültiger Wert der Eigenschaft".
class ValueReader {
public:
    /// Reads from `bytes`, which must outlive the reader.
    explicit ValueReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    /// A temporary buffer would be gone before the first read.
    explicit ValueReader(std::vector<std::uint8_t>&&) = delete;

    [[nodiscard]] std::int32_t ReadInteger();
    [[nodiscard]] std::string ReadString();
    /// True for type 0x09; any other type byte is false and no payload is consumed.
    [[nodiscard]] bool ReadBoolean();

private:
    [[nodiscard]] std::uint8_t ReadByte();
    [[nodiscard]] std::uint32_t ReadLittleEndian(int byteCount);

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace lum
