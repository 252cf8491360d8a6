#include "CaptureFiller.h"

#include <algorithm>
#include <cstring>
#include <string>

TCaptureFiller::TCaptureFiller(TWaveInCallback Callback, void* Instance, uint32_t FrameBytes)
    : FCallback(Callback)
    , FInstance(Instance)
    , FFrameBytes(FrameBytes)
{
}

void TCaptureFiller::Add(TWaveHeader& Header)
{
    std::lock_guard Lock(FMutex);
    if (FCount == Capacity)
        throw EWaveDeviceError(
            "More than " + std::to_string(Capacity) + " wave headers are queued at once");
    FRing[(FHead + FCount) % Capacity] = &Header;
    ++FCount;
    FDropping = false;
}

void TCaptureFiller::Deliver(const uint8_t* Bytes, uint32_t Frames)
{
    size_t Left = size_t{ Frames } * FFrameBytes;
    while (Left > 0) {
        TWaveHeader* Full = nullptr;
        {
            std::lock_guard Lock(FMutex);
            if (FCount == 0) {
                FCounters.Dropouts += FDropping ? 0 : 1;
                FDropping = true;
                FCounters.DroppedFrames += Left / FFrameBytes;
                FCounters.LostFrames += Left / FFrameBytes;
                return;
            }
            TWaveHeader& Header = *FRing[FHead];
            // Whole frames only, so that a buffer never ends within a frame.
            const size_t Room
                = (Header.BufferLength - Header.BytesRecorded) / FFrameBytes * FFrameBytes;
            const size_t Count = std::min(Room, Left);
            std::memcpy(Header.Data + Header.BytesRecorded, Bytes, Count);
            Header.BytesRecorded += static_cast<uint32_t>(Count);
            Bytes += Count;
            Left -= Count;
            if (Header.BufferLength - Header.BytesRecorded < FFrameBytes)
                Full = PopFront();
        }
        if (Full != nullptr) {
            MarkDone(*Full);
            FCallback(FInstance, wimData, Full);
        }
    }
}

void TCaptureFiller::Lost(uint64_t Frames)
{
    std::lock_guard Lock(FMutex);
    ++FCounters.Overruns;
    ++FCounters.Dropouts;
    FCounters.LostFrames += Frames;
}

void TCaptureFiller::ReturnAll()
{
    for (;;) {
        TWaveHeader* Header = nullptr;
        {
            std::lock_guard Lock(FMutex);
            FDropping = false;
            if (FCount == 0)
                return;
            Header = PopFront();
        }
        MarkDone(*Header);
        FCallback(FInstance, wimData, Header);
    }
}

void TCaptureFiller::Fail()
{
    FCallback(FInstance, wimError, nullptr);
}

TWaveInCounters TCaptureFiller::Counters() const
{
    std::lock_guard Lock(FMutex);
    return FCounters;
}

size_t TCaptureFiller::Queued() const
{
    std::lock_guard Lock(FMutex);
    return FCount;
}

TWaveHeader* TCaptureFiller::PopFront()
{
    TWaveHeader* Header = FRing[FHead];
    FHead = (FHead + 1) % Capacity;
    --FCount;
    return Header;
}
