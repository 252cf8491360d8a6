// TAudioIn's pause, and the reads that meet it: while a run is paused its device records
// nothing, so that the sound of the pause neither reaches the reader nor counts as lost.
#include "ACS_Audio.h"

void TAudioIn::Pause()
{
    // A run whose end holds the device has nothing left to pause.
    std::unique_lock Control(FControl, std::try_to_lock);
    if (!Control.owns_lock() || !FDevice)
        return;
    {
        std::lock_guard Lock(ModuleLock());
        if (FPaused)
            return;
        FPaused = true;
    }
    try {
        // The buffer being filled comes back with the sound up to now; what the source holds
        // was all recorded before the pause and is delivered after it.
        FDevice->Stop();
    } catch (const EWaveDeviceError& E) {
        throw EACSException("Cannot pause " + DeviceName() + ": " + E.what());
    }
}

void TAudioIn::Resume()
{
    std::unique_lock Control(FControl, std::try_to_lock);
    if (!Control.owns_lock() || !FDevice || !Paused())
        return;
    std::string Failure;
    try {
        FDevice->Start();
    } catch (const EWaveDeviceError& E) {
        Failure = E.what();
    }
    {
        std::lock_guard Lock(ModuleLock());
        FPaused = false;
        // A read that waits for the resume fails with the reason, instead of waiting on.
        if (!Failure.empty()) {
            FResumeFailure = Failure;
            FDeviceFailed = true;
        }
        FReturned.notify_all();
    }
    if (!Failure.empty())
        throw EACSException("Cannot resume recording from " + DeviceName() + ": " + Failure);
}

bool TAudioIn::Paused() const
{
    std::lock_guard Lock(ModuleLock());
    return FPaused;
}

TWaveHeader* TAudioIn::TakeFilled()
{
    // A device stopped by a pause may return the buffer it was filling with nothing in it; more
    // empty buffers in a row than are queued come from a faulty device.
    for (int32_t Empty = 0; Empty <= QueuedBuffers; ++Empty) {
        TWaveHeader* Header = WaitFilled();
        if (Header->BytesRecorded > 0)
            return Header;
        RecycleHeader(Header);
        while (FQueued < QueuedBuffers && QueueBuffer()) { }
    }
    throw EACSException("The " + DeviceName() + " returned empty buffers");
}

TWaveHeader* TAudioIn::WaitFilled()
{
    std::unique_lock Lock(ModuleLock());
    const auto Bound = WaitBound(2);
    const auto Ready = [&] { return FFilledHead != nullptr || FDeviceFailed; };
    bool Returned = true;
    do {
        // A paused device records nothing: a read under way waits for the resume, as long as the
        // user pauses, and the device's bound runs from there.
        FReturned.wait(Lock, [&] { return Ready() || !FPaused; });
        Returned = FReturned.wait_for(Lock, Bound, [&] { return Ready() || FPaused; });
    } while (!Ready() && FPaused);
    if (FFilledHead == nullptr) {
        const std::string ResumeFailure = FResumeFailure;
        Lock.unlock();
        if (!Returned) {
            FStalled = true;
            throw EACSException("The " + DeviceName() + " returned no recorded buffer within "
                + std::to_string(Bound.count()) + " ms");
        }
        const std::string Why = FDevice->LastError();
        throw EACSException(
            "The " + DeviceName() + " has failed: " + (Why.empty() ? ResumeFailure : Why));
    }
    TWaveHeader* Header = FFilledHead;
    FFilledHead = Header->Next;
    if (FFilledHead == nullptr)
        FFilledTail = &FFilledHead;
    return Header;
}
