#include "settings/ValueStream.h"

#include "common/LumError.h"

#include <limits>

namespace lum {

void ValueWriter::WriteLittleEndian(std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) {
        bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void ValueWriter::WriteInteger(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (value >= std::numeric_limits<std::int8_t>::min() &&
        value <= std::numeric_limits<std::int8_t>::max()) {
        bytes_.push_back(kTypeInt8);
        WriteLittleEndian(bits, 1);
    } else if (value >= std::numeric_limits<std::int16_t>::min() &&
               value <= std::numeric_limits<std::int16_t>::max()) {
        bytes_.push_back(kTypeInt16);
        WriteLittleEndian(bits, 2);
    } else {
        bytes_.push_back(kTypeInt32);
        WriteLittleEndian(bits, 4);
    }
}

void ValueWriter::WriteString(std::string_view text) {
    if (text.size() <= 255) {
        bytes_.push_back(kTypeShortString);
        WriteLittleEndian(static_cast<std::uint32_t>(text.size()), 1);
    } else {
        bytes_.push_back(kTypeLongString);
        WriteLittleEndian(static_cast<std::uint32_t>(text.size()), 4);
    }
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ValueWriter::WriteBoolean(bool value) {
    bytes_.push_back(value ? kTypeTrue : kTypeFalse);
}

std::uint8_t ValueReader::ReadByte() {
    if (position_ >= bytes_.size()) {
        throw LumError(messages::kStreamReadError);
    }
    return bytes_[position_++];
}

std::uint32_t ValueReader::ReadLittleEndian(int byteCount) {
    std::uint32_t value = 0;
    for (int i = 0; i < byteCount; ++i) {
        value |= static_cast<std::uint32_t>(ReadByte()) << (8 * i);
    }
    return value;
}

std::int32_t ValueReader::ReadInteger() {
    switch (ReadByte()) {
    case kTypeInt8:
        return static_cast<std::int8_t>(ReadLittleEndian(1));
    case kTypeInt16:
        return static_cast<std::int16_t>(ReadLittleEndian(2));
    case kTypeInt32:
        return static_cast<std::int32_t>(ReadLittleEndian(4));
    default:
        throw LumError(messages::kInvalidPropertyValue);
    }
}

std::string ValueReader::ReadString() {
    std::uint32_t length = 0;
    switch (ReadByte()) {
    case kTypeShortString:
        length = ReadLittleEndian(1);
        break;
    case kTypeLongString:
        length = ReadLittleEndian(4);
        break;
    default:
        throw LumError(messages::kInvalidPropertyValue);
    }
    // A length beyond the end of the data is a damaged file, found before anything is allocated.
    if (length > bytes_.size() - position_) {
        throw LumError(messages::kStreamReadError);
    }
    const auto* start = bytes_.data() + position_;
    position_ += length;
    return {reinterpret_cast<const char*>(start), length};
}

bool ValueReader::ReadBoolean() {
    return ReadByte() == kTypeTrue;
}

} // namespace lum
