// Replaces the global operator delete in test programs built without
// AddressSanitizer (which finds these reads itself): each block is filled
// with a poison pattern before it goes back to malloc, so that a read
// through a dangling pointer (a virtual call, a pointer member) crashes or
// goes astray at once instead of finding the old values. glibc and
// libstdc++ only: operator new takes its blocks from malloc, whose
// malloc_usable_size gives their size; free then writes its own links over
// the first bytes of the block. libstdc++'s nothrow forms call these.

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

namespace {

void poisonAndFree(void* p) noexcept
{
    if (!p)
        return;
    std::memset(p, 0xa5, malloc_usable_size(p));
    // Else the compiler drops the fill as a store into memory being freed.
    asm volatile("" : : "r"(p) : "memory");
    std::free(p);
}

} // namespace

// Weak: a test program that counts its allocations keeps its own.
__attribute__((weak)) void operator delete(void* p) noexcept
{
    poisonAndFree(p);
}
__attribute__((weak)) void operator delete[](void* p) noexcept
{
    poisonAndFree(p);
}
__attribute__((weak)) void operator delete(void* p, std::size_t) noexcept
{
    poisonAndFree(p);
}
__attribute__((weak)) void operator delete[](void* p, std::size_t) noexcept
{
    poisonAndFree(p);
}
__attribute__((weak)) void operator delete(void* p, std::align_val_t) noexcept
{
    poisonAndFree(p);
}
__attribute__((weak)) void operator delete[](void* p, std::align_val_t) noexcept
{
    poisonAndFree(p);
}
__attribute__((weak)) void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    poisonAndFree(p);
}
__attribute__((weak)) void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    poisonAndFree(p);
}
