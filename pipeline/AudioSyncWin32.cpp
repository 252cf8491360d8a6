// The audio path's lock and condition variable on Windows: the system's slim reader/writer lock
// and condition variable, kept in the pointer-sized fields of the classes.
#include "AudioSync.h"

#include <windows.h>

#include <cstdint>
#include <system_error>

namespace {

static_assert(sizeof(SRWLOCK) == sizeof(void*) && alignof(SRWLOCK) <= alignof(void*));
static_assert(
    sizeof(CONDITION_VARIABLE) == sizeof(void*) && alignof(CONDITION_VARIABLE) <= alignof(void*));

PSRWLOCK Native(void*& Field)
{
    return reinterpret_cast<PSRWLOCK>(&Field);
}

PCONDITION_VARIABLE NativeCondition(void*& Field)
{
    return reinterpret_cast<PCONDITION_VARIABLE>(&Field);
}

// One wait of the system's condition variable for at most Milliseconds (INFINITE: no bound);
// false when the bound ran out.
bool SleepOn(void*& Condition, void*& Lock, DWORD Milliseconds)
{
    if (SleepConditionVariableSRW(NativeCondition(Condition), Native(Lock), Milliseconds, 0))
        return true;
    const DWORD Error = GetLastError();
    if (Error == ERROR_TIMEOUT)
        return false;
    throw std::system_error(
        static_cast<int>(Error), std::system_category(), "Cannot wait on a condition variable");
}

} // namespace

void TAudioMutex::lock()
{
    AcquireSRWLockExclusive(Native(FNative));
}

bool TAudioMutex::try_lock()
{
    return TryAcquireSRWLockExclusive(Native(FNative)) != 0;
}

void TAudioMutex::unlock()
{
    ReleaseSRWLockExclusive(Native(FNative));
}

void TAudioCondition::notify_one() noexcept
{
    WakeConditionVariable(NativeCondition(FNative));
}

void TAudioCondition::notify_all() noexcept
{
    WakeAllConditionVariable(NativeCondition(FNative));
}

void TAudioCondition::wait(TLock& Lock)
{
    SleepOn(FNative, Lock.mutex()->FNative, INFINITE);
}

std::cv_status TAudioCondition::wait_until(TLock& Lock, TClock::time_point Due)
{
    const TClock::time_point Now = TClock::now();
    if (Now >= Due)
        return std::cv_status::timeout;
    // Rounded up, so that the wait never ends before Due; a bound of INFINITE or more waits for
    // one millisecond less than INFINITE, and a caller with a predicate waits again.
    const int64_t Left = std::chrono::ceil<std::chrono::milliseconds>(Due - Now).count();
    const int64_t Longest = int64_t{ INFINITE } - 1;
    const auto Milliseconds = static_cast<DWORD>(Left < Longest ? Left : Longest);
    if (SleepOn(FNative, Lock.mutex()->FNative, Milliseconds))
        return std::cv_status::no_timeout;
    // The system's timer may end a wait a little before the clock reaches Due.
    return TClock::now() >= Due ? std::cv_status::timeout : std::cv_status::no_timeout;
}
