// A scripted source for the indicator's tests: it hands out queued deliveries (or one block over
// and over) and records how it was driven. GetData runs on whichever thread the test reads on.
#pragma once

#include "ACS_Classes.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

class TScriptedInput : public TACSInput {
public:
    TScriptedInput(int32_t Bits, int32_t Channels, int32_t Rate = 44100)
        : TACSInput(nullptr)
        , FBits(Bits)
        , FChannels(Channels)
        , FRate(Rate)
    {
    }

    int32_t GetBitsPerSample() override { return FBits; }
    int32_t GetChannels() override { return FChannels; }
    int32_t GetSampleRate() override { return FRate; }
    int32_t GetTotalTime() override { return 3600; }

    int32_t GetData(void* Buffer, int32_t BufferSize) override
    {
        if (!Busy)
            throw EACSException("The Stream is not opened");
        std::lock_guard Lock(FMutex);
        if (!FailMessage.empty())
            throw EACSException(FailMessage);
        std::vector<uint8_t> Next = FRepeating;
        if (!FDeliveries.empty()) {
            Next = std::move(FDeliveries.front());
            FDeliveries.pop_front();
        }
        const auto Count = std::min<int32_t>(BufferSize, static_cast<int32_t>(Next.size()));
        if (Count > 0)
            std::memcpy(Buffer, Next.data(), Count);
        if (Count < static_cast<int32_t>(Next.size()))
            FDeliveries.emplace_front(Next.begin() + Count, Next.end());
        Position += Count;
        return Count;
    }

    void Init() override
    {
        ++InitCalls;
        if (!InitError.empty())
            throw EACSException(InitError);
        Busy = true;
        Position = 0;
        Size = PlannedSize;
    }
    void Flush() override
    {
        ++FlushCalls;
        Busy = false;
    }

    // Queues one delivery; a request smaller than it gets its front and leaves the rest queued.
    void Queue(std::vector<uint8_t> Bytes)
    {
        std::lock_guard Lock(FMutex);
        FDeliveries.push_back(std::move(Bytes));
    }
    // What GetData hands out once the queue is empty (nothing: 0 bytes, the end of the data).
    void Repeat(std::vector<uint8_t> Bytes)
    {
        std::lock_guard Lock(FMutex);
        FRepeating = std::move(Bytes);
    }

    int32_t PlannedSize = -1;
    std::string InitError;
    std::string FailMessage;
    std::atomic<int> InitCalls{ 0 };
    std::atomic<int> FlushCalls{ 0 };

private:
    const int32_t FBits;
    const int32_t FChannels;
    const int32_t FRate;
    std::mutex FMutex;
    std::deque<std::vector<uint8_t>> FDeliveries;
    std::vector<uint8_t> FRepeating;
};

// PCM builders.
inline void Put16(std::vector<uint8_t>& Bytes, int32_t Value)
{
    const auto Sample = static_cast<uint16_t>(static_cast<int16_t>(Value));
    Bytes.push_back(static_cast<uint8_t>(Sample & 0xFF));
    Bytes.push_back(static_cast<uint8_t>(Sample >> 8));
}

inline std::vector<uint8_t> Mono16(int32_t Frames, int32_t Value)
{
    std::vector<uint8_t> Bytes;
    for (int32_t I = 0; I < Frames; ++I)
        Put16(Bytes, Value);
    return Bytes;
}

inline std::vector<uint8_t> Stereo16(int32_t Frames, int32_t Left, int32_t Right)
{
    std::vector<uint8_t> Bytes;
    for (int32_t I = 0; I < Frames; ++I) {
        Put16(Bytes, Left);
        Put16(Bytes, Right);
    }
    return Bytes;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> A, const std::vector<uint8_t>& B)
{
    A.insert(A.end(), B.begin(), B.end());
    return A;
}
