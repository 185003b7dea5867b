#pragma once
// One packet of received bytes with the line errors seen just before it was read.

#include <cstdint>
#include <vector>

namespace lum::serial {

/// A received packet: its own copy of the bytes and the CE_ error flags of its status read.
class TSerialCluster {
public:
    /// A cluster holding a copy of `size` bytes at `data` (none when `size` is 0).
    TSerialCluster(const std::uint8_t* data, std::uint32_t size, std::uint32_t errorFlags);

    /// The bytes, or null when the cluster holds none.
    [[nodiscard]] const std::uint8_t* DataPtr() const {
        return data_.empty() ? nullptr : data_.data();
    }
    /// Number of bytes.
    [[nodiscard]] std::uint32_t DataSize() const {
        return static_cast<std::uint32_t>(data_.size());
    }
    /// CE_ line error flags (CE_RXOVER 0x01, CE_OVERRUN 0x02, CE_RXPARITY 0x04, CE_FRAME 0x08,
    /// CE_BREAK 0x10, ...).
    [[nodiscard]] std::uint32_t ErrorFlags() const { return errorFlags_; }

private:
    std::vector<std::uint8_t> data_;
    std::uint32_t errorFlags_;
};

} // namespace lum::serial
