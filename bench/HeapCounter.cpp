#include "HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace lum::bench {
namespace {

std::atomic<std::int64_t> liveBytes{0};
std::atomic<std::int64_t> allocations{0};

// Each block carries its size in front, kept at the alignment new guarantees.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *reinterpret_cast<std::size_t*>(block) = size;
    liveBytes += static_cast<std::int64_t>(size);
    ++allocations;
    return block + kHeader;
}

void Free(void* pointer) {
    if (pointer == nullptr) {
        return;
    }
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    liveBytes -= static_cast<std::int64_t>(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

} // namespace

std::int64_t LiveHeapBytes() {
    return liveBytes;
}

std::int64_t HeapAllocations() {
    return allocations;
}

} // namespace lum::bench

void* operator new(std::size_t size) {
    return lum::bench::Allocate(size);
}
void* operator new[](std::size_t size) {
    return lum::bench::Allocate(size);
}
void operator delete(void* pointer) noexcept {
    lum::bench::Free(pointer);
}
void operator delete[](void* pointer) noexcept {
    lum::bench::Free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    lum::bench::Free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    lum::bench::Free(pointer);
}
