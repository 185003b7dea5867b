#include "serial/SerialCluster.h"

namespace lum::serial {

TSerialCluster::TSerialCluster(const std::uint8_t* data, std::uint32_t size,
                               std::uint32_t errorFlags)
    : data_(data, data + (data == nullptr ? 0 : size)), errorFlags_(errorFlags) {}

} // namespace lum::serial
