// The audio path's lock and condition variable: the lock excludes, a bounded wait never ends
// before its bound and keeps long bounds long, a notification reaches the waiters it names, and
// the lock is held again whenever a wait returns.
#include "AudioSync.h"

#include "TestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
using TLock = std::unique_lock<TAudioMutex>;

// A lock and condition with a flag and a count of the threads waiting on it.
struct TShared {
    TAudioMutex Mutex;
    TAudioCondition Changed;
    bool Ready = false;
    int32_t Waiting = 0;
    TAudioCondition WaitingChanged;

    // Waits, under Mutex, until Count threads have announced (under Mutex) that they wait on
    // Changed: since a wait gives the lock up only as it starts waiting, they all wait by then.
    bool AwaitWaiting(TLock& Lock, int32_t Count)
    {
        return WaitingChanged.wait_for(
            Lock, TestSupport::FailAfter, [&] { return Waiting >= Count; });
    }
};

TEST(AudioSync, LockExcludesOtherThreads)
{
    // Unprotected read-modify-write steps under the lock: any overlap loses increments.
    TAudioMutex Mutex;
    int64_t Count = 0;
    constexpr int32_t Threads = 4;
    constexpr int32_t Steps = 20000;
    std::vector<std::thread> Workers;
    for (int32_t I = 0; I < Threads; ++I)
        Workers.emplace_back([&] {
            for (int32_t Step = 0; Step < Steps; ++Step) {
                std::lock_guard Guard(Mutex);
                const int64_t Seen = Count;
                std::atomic_signal_fence(std::memory_order_seq_cst);
                Count = Seen + 1;
            }
        });
    for (std::thread& Worker : Workers)
        Worker.join();
    EXPECT_EQ(Count, int64_t{ Threads } * Steps);
}

TEST(AudioSync, TryLockFailsWhileAnotherThreadHoldsIt)
{
    TAudioMutex Mutex;
    TLock Held(Mutex);
    bool TookIt = true;
    std::thread Other([&] {
        TookIt = Mutex.try_lock();
        if (TookIt)
            Mutex.unlock();
    });
    Other.join();
    EXPECT_FALSE(TookIt);
    Held.unlock();
    std::thread Again([&] {
        TookIt = Mutex.try_lock();
        if (TookIt)
            Mutex.unlock();
    });
    Again.join();
    EXPECT_TRUE(TookIt);
}

TEST(AudioSync, BoundedWaitsEndAtTheirBoundAndNotBefore)
{
    TAudioMutex Mutex;
    TAudioCondition Condition;
    TLock Lock(Mutex);
    // Bounds that fall between whole milliseconds, and one below a millisecond: a wait that
    // rounded them down would end before its bound.
    for (const auto Bound : { std::chrono::microseconds(1500), std::chrono::microseconds(300),
             std::chrono::microseconds(20001) }) {
        const auto Start = TClock::now();
        EXPECT_FALSE(Condition.wait_for(Lock, Bound, [] { return false; }));
        EXPECT_GE(TClock::now() - Start, Bound);
        EXPECT_TRUE(Lock.owns_lock());
        // The lock is held again: another thread cannot take it.
        bool Other = true;
        std::thread([&] {
            Other = Mutex.try_lock();
            if (Other)
                Mutex.unlock();
        }).join();
        EXPECT_FALSE(Other);
    }
    const auto Due = TClock::now() + std::chrono::microseconds(2500);
    EXPECT_FALSE(Condition.wait_until(Lock, Due, [] { return false; }));
    EXPECT_GE(TClock::now(), Due);
}

TEST(AudioSync, WaitsWhoseBoundHasPassedOrIsNoneReturnAtOnce)
{
    TAudioMutex Mutex;
    TAudioCondition Condition;
    TLock Lock(Mutex);
    EXPECT_EQ(Condition.wait_until(Lock, TClock::now() - std::chrono::seconds(1)),
        std::cv_status::timeout);
    EXPECT_EQ(Condition.wait_for(Lock, std::chrono::milliseconds(0)), std::cv_status::timeout);
    EXPECT_EQ(Condition.wait_for(Lock, std::chrono::milliseconds(-5)), std::cv_status::timeout);
    // A predicate that holds already is not waited for, however long the bound.
    EXPECT_TRUE(Condition.wait_for(Lock, std::chrono::hours::max(), [] { return true; }));
    EXPECT_TRUE(Lock.owns_lock());
}

// A waiter with Bound is notified after it waits; its result, which is false only if the wait
// ended at a bound it took for shorter than it is.
bool NotifiedWithin(std::chrono::milliseconds Bound)
{
    TShared Shared;
    std::atomic<bool> Result{ false };
    std::thread Waiter([&] {
        TLock Lock(Shared.Mutex);
        ++Shared.Waiting;
        Shared.WaitingChanged.notify_all();
        Result = Shared.Changed.wait_for(Lock, Bound, [&] { return Shared.Ready; });
    });
    {
        TLock Lock(Shared.Mutex);
        EXPECT_TRUE(Shared.AwaitWaiting(Lock, 1));
        Shared.Ready = true;
    }
    Shared.Changed.notify_one();
    Waiter.join();
    return Result;
}

TEST(AudioSync, LongBoundsStayLong)
{
    // A bound of exactly 2^32 ms, one of 2^32 + 1 ms and one past the clock's range: a wait that
    // cut them to the system's 32-bit milliseconds would see no time left and return false.
    EXPECT_TRUE(NotifiedWithin(std::chrono::milliseconds(int64_t{ 1 } << 32)));
    EXPECT_TRUE(NotifiedWithin(std::chrono::milliseconds((int64_t{ 1 } << 32) + 1)));
    EXPECT_TRUE(NotifiedWithin(std::chrono::milliseconds::max()));
    EXPECT_TRUE(NotifiedWithin(TestSupport::FailAfter));
}

TEST(AudioSync, NotifyOneReachesAWaiterAndNotifyAllEveryOne)
{
    constexpr int32_t Waiters = 3;
    TShared Shared;
    std::atomic<int32_t> Satisfied{ 0 };
    int32_t Tokens = 0; // under Shared.Mutex
    std::vector<std::thread> Threads;
    for (int32_t I = 0; I < Waiters; ++I)
        Threads.emplace_back([&] {
            TLock Lock(Shared.Mutex);
            ++Shared.Waiting;
            Shared.WaitingChanged.notify_all();
            // Each waiter takes one token; a notification without a token sends it back to wait.
            if (Shared.Changed.wait_for(Lock, TestSupport::FailAfter, [&] { return Tokens > 0; })) {
                --Tokens;
                ++Satisfied;
                Shared.WaitingChanged.notify_all();
            }
        });
    {
        TLock Lock(Shared.Mutex);
        ASSERT_TRUE(Shared.AwaitWaiting(Lock, Waiters));
        Tokens = 1;
    }
    Shared.Changed.notify_one();
    {
        // The one token is taken by exactly one waiter; then all of them get a token each.
        TLock Lock(Shared.Mutex);
        ASSERT_TRUE(Shared.WaitingChanged.wait_for(
            Lock, TestSupport::FailAfter, [&] { return Satisfied.load() == 1; }));
        Tokens = Waiters - 1;
    }
    Shared.Changed.notify_all();
    for (std::thread& Thread : Threads)
        Thread.join();
    EXPECT_EQ(Satisfied, Waiters);
    EXPECT_EQ(Tokens, 0);
}

} // namespace
