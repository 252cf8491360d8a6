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

void TQueueGapMeter::Stopped(TClock::time_point Now)
{
    std::lock_guard Lock(FMutex);
    EndGap(Now);
    FRecording = false;
}

void TQueueGapMeter::Queued(TClock::time_point Now)
{
    std::lock_guard Lock(FMutex);
    ++FQueued;
    EndGap(Now);
}

void TQueueGapMeter::EndGap(TClock::time_point Now)
{
    if (!FStarving)
        return;
    FStarving = false;
    ++FDropouts;
    FLostFrames += FramesBetween(FStarvedSince, Now);
}

uint64_t TQueueGapMeter::FramesBetween(TClock::time_point Since, TClock::time_point Now) const
{
    const auto Gap = std::chrono::duration_cast<std::chrono::nanoseconds>(Now - Since);
    if (Gap.count() <= 0)
        return 0;
    return static_cast<uint64_t>(Gap.count()) * FRate / 1000000000;
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

TWaveInCounters TQueueGapMeter::Counters(TClock::time_point Now) const
{
    std::lock_guard Lock(FMutex);
    TWaveInCounters Counters;
    Counters.Dropouts = FDropouts;
    Counters.LostFrames = FLostFrames;
    if (FStarving) {
        ++Counters.Dropouts;
        Counters.LostFrames += FramesBetween(FStarvedSince, Now);
    }
    return Counters;
}
