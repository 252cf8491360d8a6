// The lock and the condition variable of the audio path: the waits and wake-ups that the chain
// makes for every block (the capture device's thread, the source's notification and its read).
//
// On Windows they are the system's slim reader/writer lock and condition variable, which wait in
// user space (Wine serves them in its ntdll without a request to the Wine server, where the
// threads library's mutex and condition variable wait on kernel events and semaphores, one or
// more server requests per wait and per wake-up). Elsewhere they are std::mutex and
// std::condition_variable, so that the thread sanitizer sees the standard primitives.
//
// TAudioMutex meets the standard's Lockable requirements (std::lock_guard, std::unique_lock);
// TAudioCondition takes the place of std::condition_variable with the same operations, on a
// std::unique_lock<TAudioMutex>. Neither is recursive. Any thread. Nothing here allocates, and
// every wait with a bound returns once the bound has passed, never before it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class TAudioMutex {
public:
    TAudioMutex() = default;
    TAudioMutex(const TAudioMutex&) = delete;
    TAudioMutex& operator=(const TAudioMutex&) = delete;

    // Blocks until the lock is free and takes it.
    void lock();
    // Takes the lock if it is free; true when it did. Never blocks.
    bool try_lock();
    // Releases the lock, held by the calling thread.
    void unlock();

private:
    friend class TAudioCondition;
#ifdef _WIN32
    void* FNative = nullptr; // an SRWLOCK, initialised as SRWLOCK_INIT
#else
    std::mutex FNative;
#endif
};

class TAudioCondition {
public:
    using TClock = std::chrono::steady_clock;
    using TLock = std::unique_lock<TAudioMutex>;

    TAudioCondition() = default;
    TAudioCondition(const TAudioCondition&) = delete;
    TAudioCondition& operator=(const TAudioCondition&) = delete;

    // Wakes one waiting thread, or every one; neither needs the lock held.
    void notify_one() noexcept;
    void notify_all() noexcept;

    // Releases the held Lock, waits for a notification and takes the lock again. May also return
    // without one; a loop with a predicate is what the callers use.
    void wait(TLock& Lock);
    // Waits as above until Due at the latest; std::cv_status::timeout when Due has passed.
    std::cv_status wait_until(TLock& Lock, TClock::time_point Due);

    template <class TPredicate> void wait(TLock& Lock, TPredicate Ready)
    {
        while (!Ready())
            wait(Lock);
    }

    // Waits until Ready holds or Due has passed; Ready's last value.
    template <class TPredicate>
    bool wait_until(TLock& Lock, TClock::time_point Due, TPredicate Ready)
    {
        while (!Ready()) {
            if (wait_until(Lock, Due) == std::cv_status::timeout)
                return Ready();
        }
        return true;
    }

    template <class TRep, class TPeriod>
    std::cv_status wait_for(TLock& Lock, std::chrono::duration<TRep, TPeriod> Bound)
    {
        return wait_until(Lock, DueAfter(Bound));
    }

    template <class TRep, class TPeriod, class TPredicate>
    bool wait_for(TLock& Lock, std::chrono::duration<TRep, TPeriod> Bound, TPredicate Ready)
    {
        return wait_until(Lock, DueAfter(Bound), std::move(Ready));
    }

private:
    // Now plus Bound, held at the clock's last time point instead of running past it.
    template <class TRep, class TPeriod>
    static TClock::time_point DueAfter(std::chrono::duration<TRep, TPeriod> Bound)
    {
        const TClock::time_point Now = TClock::now();
        if (Bound <= Bound.zero())
            return Now;
        const auto Left = TClock::time_point::max() - Now;
        if (std::chrono::duration<double>(Bound) >= std::chrono::duration<double>(Left))
            return TClock::time_point::max();
        return Now + std::chrono::ceil<TClock::duration>(Bound);
    }

#ifdef _WIN32
    void* FNative = nullptr; // a CONDITION_VARIABLE, initialised as CONDITION_VARIABLE_INIT
#else
    std::condition_variable FNative;
#endif
};

#ifndef _WIN32

inline void TAudioMutex::lock()
{
    FNative.lock();
}

inline bool TAudioMutex::try_lock()
{
    return FNative.try_lock();
}

inline void TAudioMutex::unlock()
{
    FNative.unlock();
}

inline void TAudioCondition::notify_one() noexcept
{
    FNative.notify_one();
}

inline void TAudioCondition::notify_all() noexcept
{
    FNative.notify_all();
}

inline void TAudioCondition::wait(TLock& Lock)
{
    // The standard condition variable waits on the std::mutex inside; the outer lock keeps its
    // ownership throughout, as the inner one gives the mutex back before it returns.
    std::unique_lock<std::mutex> Inner(Lock.mutex()->FNative, std::adopt_lock);
    FNative.wait(Inner);
    Inner.release();
}

inline std::cv_status TAudioCondition::wait_until(TLock& Lock, TClock::time_point Due)
{
    std::unique_lock<std::mutex> Inner(Lock.mutex()->FNative, std::adopt_lock);
    const std::cv_status Status = FNative.wait_until(Inner, Due);
    Inner.release();
    return Status;
}

#endif
