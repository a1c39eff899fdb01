#pragma once

#include <cstdint>

namespace tnBench {

// Heap allocations the calling thread has made so far, counted by the global
// operator new this program replaces.
std::uint64_t allocationCount() noexcept;

} // namespace tnBench
