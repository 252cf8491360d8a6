#include "ComponentRelease.h"

#include "ACS_Classes.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// The count of pending releases. Never destroyed: a release thread may still run while the
// process ends and its static objects go.
struct TPendingReleases {
    std::mutex Lock;
    std::condition_variable Finished;
    int Count = 0;
};

TPendingReleases& Pending()
{
    static auto* Instance = new TPendingReleases;
    return *Instance;
}

// A sink that is not idle may have a worker inside a pass, which its destruction waits for.
bool SinksIdle(const TComponent& Owner)
{
    for (int Index = 0; Index < Owner.ComponentCount(); ++Index)
        if (const auto* Sink = dynamic_cast<const TACSOutput*>(Owner.Component(Index)))
            if (Sink->Status() != osIdle)
                return false;
    return true;
}

} // namespace

void ReleaseComponents(std::unique_ptr<TComponent> Owner)
{
    if (!Owner || SinksIdle(*Owner)) {
        Owner.reset();
        return;
    }
    TPendingReleases& Releases = Pending();
    {
        std::lock_guard Lock(Releases.Lock);
        ++Releases.Count;
    }
    std::thread([Owner = std::move(Owner), &Releases]() mutable {
        Owner.reset();
        std::lock_guard Lock(Releases.Lock);
        --Releases.Count;
        Releases.Finished.notify_all();
    }).detach();
}

int PendingComponentReleases()
{
    TPendingReleases& Releases = Pending();
    std::lock_guard Lock(Releases.Lock);
    return Releases.Count;
}

bool AwaitComponentReleases(std::chrono::milliseconds Bound)
{
    TPendingReleases& Releases = Pending();
    std::unique_lock Lock(Releases.Lock);
    return Releases.Finished.wait_for(Lock, Bound, [&] { return Releases.Count == 0; });
}
