// Helpers that let tests await what other threads do, with a generous bound so that a fault
// fails the test instead of hanging it. The bound is never a speed requirement.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace TestSupport {

inline constexpr std::chrono::seconds FailAfter{ 30 };

// Counts events raised on another thread; tests wait for a count.
class TSignal {
public:
    void Raise()
    {
        std::lock_guard Lock(FMutex);
        ++FCount;
        FChanged.notify_all();
    }
    // True once at least Count events have been raised.
    bool WaitFor(int Count = 1, std::chrono::milliseconds Bound = FailAfter)
    {
        std::unique_lock Lock(FMutex);
        return FChanged.wait_for(Lock, Bound, [&] { return FCount >= Count; });
    }
    int Count()
    {
        std::lock_guard Lock(FMutex);
        return FCount;
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    int FCount = 0;
};

// Awaits a state that no event announces (for example a worker that has suspended itself),
// looking again after each yield of the processor.
inline bool WaitUntil(
    const std::function<bool()>& Condition, std::chrono::milliseconds Bound = FailAfter)
{
    const auto Deadline = std::chrono::steady_clock::now() + Bound;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

} // namespace TestSupport
