#include "AllocationCounter.h"

#include <cerrno>
#include <cstdlib>
#include <malloc.h>
#include <new>

// Every form of the global operator new counts one allocation and forwards to
// malloc; the deletes forward to free. The count is per thread, so work done
// by other threads of the benchmark library never shows up in a benchmark.

namespace {

thread_local std::uint64_t t_allocations = 0;
thread_local std::uint64_t t_mallocs = 0;

void* allocate(std::size_t size)
{
    ++t_allocations;
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
    ++t_allocations;
    const auto align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = (size + align - 1) / align * align;
    if (void* p = std::aligned_alloc(align, rounded != 0 ? rounded : align))
        return p;
    throw std::bad_alloc();
}

} // namespace

namespace tnBench {

std::uint64_t allocationCount() noexcept
{
    return t_allocations;
}

std::uint64_t mallocCount() noexcept
{
    return t_mallocs;
}

std::int64_t heapBytesInUse() noexcept
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

} // namespace tnBench

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++t_allocations;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    ++t_allocations;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

// The C heap's allocating functions, replaced for the whole process (Qt's
// libraries included) to count the blocks; glibc's own implementations do
// the work.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);

void* malloc(std::size_t size)
{
    ++t_mallocs;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    ++t_mallocs;
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size)
{
    ++t_mallocs;
    return __libc_realloc(p, size);
}
void* memalign(std::size_t alignment, std::size_t size)
{
    ++t_mallocs;
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    ++t_mallocs;
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size)
{
    ++t_mallocs;
    void* p = __libc_memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}
}
