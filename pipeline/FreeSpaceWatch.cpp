#include "FreeSpaceWatch.h"

#include <condition_variable>
#include <mutex>

namespace {

std::optional<uint64_t> Ask(const TFreeSpaceWatch::TQuery& Query, const std::string& Path)
{
    try {
        return Query(Path);
    } catch (const std::exception&) {
        // A file system that cannot be asked cannot tell its room: the answer says so.
        return std::nullopt;
    }
}

} // namespace

struct TFreeSpaceWatch::TState {
    std::mutex Mutex;
    std::condition_variable Changed;
    // The latest request: its number (1, 2, ...), and its query while it waits for the thread.
    uint64_t Requested = 0;
    TQuery Query;
    std::string Path;
    // The number of the request the thread took last, and of the one it answered last.
    uint64_t Taken = 0;
    uint64_t Answered = 0;
    std::optional<uint64_t> FreeBytes;
    // Answers up to this number have been handed out or forgotten.
    uint64_t Delivered = 0;
    // The thread is in a query, without the lock.
    bool Querying = false;
    bool Ending = false;
};

TFreeSpaceWatch::TFreeSpaceWatch()
    : FState(std::make_shared<TState>())
{
}

TFreeSpaceWatch::~TFreeSpaceWatch()
{
    if (!FThread.joinable())
        return;
    bool Querying = false;
    {
        std::lock_guard Lock(FState->Mutex);
        FState->Ending = true;
        Querying = FState->Querying;
    }
    FState->Changed.notify_all();
    // Out of a query the thread sees the end under the lock and returns at once; in one it may
    // hang for as long as the file system does. It holds the state, and ends when it returns.
    if (Querying)
        FThread.detach();
    else
        FThread.join();
}

void TFreeSpaceWatch::Request(TQuery Query, std::string Utf8Path)
{
    {
        std::lock_guard Lock(FState->Mutex);
        ++FState->Requested;
        FState->Query = std::move(Query);
        FState->Path = std::move(Utf8Path);
    }
    FState->Changed.notify_all();
    if (!FThread.joinable())
        FThread = std::thread(Answer, FState);
}

std::optional<TFreeSpaceWatch::TAnswer> TFreeSpaceWatch::TakeAnswer()
{
    std::lock_guard Lock(FState->Mutex);
    if (FState->Answered != FState->Requested || FState->Delivered == FState->Answered)
        return std::nullopt;
    FState->Delivered = FState->Answered;
    return TAnswer{ FState->FreeBytes };
}

void TFreeSpaceWatch::Forget()
{
    std::lock_guard Lock(FState->Mutex);
    FState->Delivered = FState->Requested;
}

void TFreeSpaceWatch::Answer(const std::shared_ptr<TState>& State)
{
    std::unique_lock Lock(State->Mutex);
    for (;;) {
        State->Changed.wait(
            Lock, [&] { return State->Ending || State->Taken != State->Requested; });
        if (State->Ending)
            break;
        State->Taken = State->Requested;
        TQuery Query = std::move(State->Query);
        const std::string Path = std::move(State->Path);
        State->Query = nullptr;
        State->Querying = true;
        Lock.unlock();
        const std::optional<uint64_t> FreeBytes = Ask(Query, Path);
        Query = nullptr; // what it holds goes on this thread, without the lock
        Lock.lock();
        State->Querying = false;
        State->Answered = State->Taken;
        State->FreeBytes = FreeBytes;
    }
}
