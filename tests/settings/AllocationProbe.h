#pragma once
// Measures the largest single allocation made through operator new while a probe is alive, so a
// test can show that reading a damaged length does not allocate what the length claims. The
// test program replaces the global operator new and delete (AllocationProbe.cpp) to see them.

#include <cstddef>

namespace lum::test {

class AllocationProbe {
public:
    AllocationProbe();
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;

    /// The largest size asked of operator new since the probe was created.
    [[nodiscard]] std::size_t Largest() const;
};

} // namespace lum::test
