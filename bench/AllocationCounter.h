#pragma once

#include <cstdint>

namespace tnBench {

// Heap allocations the calling thread has made so far, counted by the global
// operator new this program replaces.
std::uint64_t allocationCount() noexcept;

// Blocks the calling thread has taken from the C heap so far (malloc, calloc,
// realloc and the aligned forms), whoever asked: the operator new above, and
// libraries such as Qt that call malloc directly.
std::uint64_t mallocCount() noexcept;

// Bytes of the C heap in use by the whole process, the allocator's rounding
// and headers included.
std::int64_t heapBytesInUse() noexcept;

} // namespace tnBench
