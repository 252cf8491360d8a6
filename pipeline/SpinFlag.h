// A test-and-set spin flag for the short spans between two threads in the pipeline: a read
// through a stage, or the exchange of its input. Waiters spin without sleeping, since the span
// they wait for is one read.
#pragma once

#include <atomic>

class TSpinFlag {
public:
    // Waits until the flag is clear and sets it, in one atomic test-and-set.
    void Acquire() noexcept
    {
        while (FFlag.test_and_set(std::memory_order_acquire)) {
            while (FFlag.test(std::memory_order_relaxed))
                CpuRelax();
        }
    }
    // Sets the flag if it is clear; true when this call set it.
    bool TryAcquire() noexcept { return !FFlag.test_and_set(std::memory_order_acquire); }
    // Clears the flag without waiting, whoever set it.
    void Release() noexcept { FFlag.clear(std::memory_order_release); }
    bool IsSet() const noexcept { return FFlag.test(std::memory_order_relaxed); }

private:
    static void CpuRelax() noexcept
    {
#if defined(__i386__) || defined(__x86_64__)
        __builtin_ia32_pause();
#endif
    }

    std::atomic_flag FFlag;
};
