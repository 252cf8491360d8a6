#include "QueueGapMeter.h"

TQueueGapMeter::TQueueGapMeter(uint32_t SamplesPerSec)
    : FRate(SamplesPerSec)
{
}

void TQueueGapMeter::Started()
{
    std::lock_guard Lock(FMutex);
    FRecording = true;
    FStarving = false;
}

void TQueueGapMeter::Stopped()
{
    std::lock_guard Lock(FMutex);
    FRecording = false;
    FStarving = false;
}

void TQueueGapMeter::Queued(TClock::time_point Now)
{
    std::lock_guard Lock(FMutex);
    ++FQueued;
    if (!FStarving)
        return;
    FStarving = false;
    const auto Gap = std::chrono::duration_cast<std::chrono::nanoseconds>(Now - FStarvedSince);
    ++FDropouts;
    if (Gap.count() > 0)
        FLostFrames += static_cast<uint64_t>(Gap.count()) * FRate / 1000000000;
}

void TQueueGapMeter::Withdrawn()
{
    std::lock_guard Lock(FMutex);
    if (FQueued > 0)
        --FQueued;
}

void TQueueGapMeter::Returned(TClock::time_point Now)
{
    std::lock_guard Lock(FMutex);
    if (FQueued > 0)
        --FQueued;
    if (FQueued == 0 && FRecording && !FStarving) {
        FStarving = true;
        FStarvedSince = Now;
    }
}

TWaveInCounters TQueueGapMeter::Counters() const
{
    std::lock_guard Lock(FMutex);
    TWaveInCounters Counters;
    Counters.Dropouts = FDropouts;
    Counters.LostFrames = FLostFrames;
    return Counters;
}
