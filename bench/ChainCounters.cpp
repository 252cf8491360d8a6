#include "ChainCounters.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

std::atomic<int64_t> AllocationCount{ 0 };
std::atomic<int64_t> CopiedByteCount{ 0 };
std::atomic<int64_t> CopyCount{ 0 };

// Smaller copies are headers and strings, not sound.
constexpr size_t CountedCopy = 1024;

void* Allocate(std::size_t Size)
{
    AllocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* Memory = std::malloc(Size == 0 ? 1 : Size))
        return Memory;
    throw std::bad_alloc();
}

// Over-aligned blocks come from malloc too (not every C library has aligned_alloc): the block is
// over-allocated, and the pointer that malloc gave lies just before the aligned address.
void* AllocateAligned(std::size_t Size, std::align_val_t Alignment)
{
    AllocationCount.fetch_add(1, std::memory_order_relaxed);
    const auto Align = static_cast<std::size_t>(Alignment);
    void* Block = std::malloc(Size + Align + sizeof(void*));
    if (!Block)
        throw std::bad_alloc();
    const auto After = reinterpret_cast<std::uintptr_t>(Block) + sizeof(void*);
    void* Aligned = reinterpret_cast<void*>((After + Align - 1) / Align * Align);
    static_cast<void**>(Aligned)[-1] = Block;
    return Aligned;
}

void FreeAligned(void* Memory)
{
    if (Memory)
        std::free(static_cast<void**>(Memory)[-1]);
}

void NoteCopy(std::size_t Size)
{
    if (Size < CountedCopy)
        return;
    CopyCount.fetch_add(1, std::memory_order_relaxed);
    CopiedByteCount.fetch_add(static_cast<int64_t>(Size), std::memory_order_relaxed);
}

} // namespace

// The replaceable global allocation functions, all counted.
void* operator new(std::size_t Size)
{
    return Allocate(Size);
}
void* operator new[](std::size_t Size)
{
    return Allocate(Size);
}
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(Size);
    } catch (const std::bad_alloc&) {
        return nullptr; // the nothrow form answers a failure with null
    }
}
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept
{
    return operator new(Size, std::nothrow);
}
void* operator new(std::size_t Size, std::align_val_t Alignment)
{
    return AllocateAligned(Size, Alignment);
}
void* operator new[](std::size_t Size, std::align_val_t Alignment)
{
    return AllocateAligned(Size, Alignment);
}
void operator delete(void* Memory) noexcept
{
    std::free(Memory);
}
void operator delete[](void* Memory) noexcept
{
    std::free(Memory);
}
void operator delete(void* Memory, std::size_t) noexcept
{
    std::free(Memory);
}
void operator delete[](void* Memory, std::size_t) noexcept
{
    std::free(Memory);
}
void operator delete(void* Memory, std::align_val_t) noexcept
{
    FreeAligned(Memory);
}
void operator delete[](void* Memory, std::align_val_t) noexcept
{
    FreeAligned(Memory);
}
void operator delete(void* Memory, std::size_t, std::align_val_t) noexcept
{
    FreeAligned(Memory);
}
void operator delete[](void* Memory, std::size_t, std::align_val_t) noexcept
{
    FreeAligned(Memory);
}

// The wrappers the linker puts in place of memcpy and memmove (-Wl,--wrap).
extern "C" {
void* __real_memcpy(void* Target, const void* Source, std::size_t Size);
void* __real_memmove(void* Target, const void* Source, std::size_t Size);

void* __wrap_memcpy(void* Target, const void* Source, std::size_t Size)
{
    NoteCopy(Size);
    return __real_memcpy(Target, Source, Size);
}
void* __wrap_memmove(void* Target, const void* Source, std::size_t Size)
{
    NoteCopy(Size);
    return __real_memmove(Target, Source, Size);
}
}

namespace ChainCounters {

int64_t Allocations()
{
    return AllocationCount.load(std::memory_order_relaxed);
}

int64_t CopiedBytes()
{
    return CopiedByteCount.load(std::memory_order_relaxed);
}

int64_t Copies()
{
    return CopyCount.load(std::memory_order_relaxed);
}

TSnapshot Take()
{
    return { Allocations(), CopiedBytes(), Copies() };
}

TSnapshot Since(const TSnapshot& Before)
{
    const TSnapshot Now = Take();
    return { Now.Allocations - Before.Allocations, Now.CopiedBytes - Before.CopiedBytes,
        Now.Copies - Before.Copies };
}

} // namespace ChainCounters
