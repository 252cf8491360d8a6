// A wave backend that passes everything to another one and counts the capture buffers that the
// source has prepared and not yet released: those queued with the device plus those filled and
// waiting in the source's list. A source that keeps up holds about four; more show the filled
// list growing.
//
// Threads: as the wrapped backend. Prepare and Unprepare come from the source's thread; the
// counts are atomic and may be read on any thread.
#pragma once

#include "WaveDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>

struct TBufferCounts {
    std::atomic<int64_t> Held{ 0 };
    std::atomic<int64_t> PeakHeld{ 0 };
    std::atomic<int64_t> Prepared{ 0 }; // in all

    void ResetPeak() { PeakHeld = Held.load(); }
};

class TBufferCountingBackend : public TWaveBackend {
public:
    explicit TBufferCountingBackend(std::shared_ptr<TWaveBackend> Inner)
        : FInner(std::move(Inner))
    {
    }

    const std::shared_ptr<TBufferCounts>& Counts() const { return FCounts; }

    int32_t OutputDeviceCount() override { return FInner->OutputDeviceCount(); }
    int32_t InputDeviceCount() override { return FInner->InputDeviceCount(); }
    TWaveCaps OutputCaps(int32_t Device) override { return FInner->OutputCaps(Device); }
    TWaveCaps InputCaps(int32_t Device) override { return FInner->InputCaps(Device); }
    std::unique_ptr<TWaveInDevice> OpenInput(int32_t Device, const TPcmFormat& Format,
        TWaveInCallback Callback, void* Instance) override;

private:
    std::shared_ptr<TWaveBackend> FInner;
    std::shared_ptr<TBufferCounts> FCounts = std::make_shared<TBufferCounts>();
};
