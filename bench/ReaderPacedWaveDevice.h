// A simulated wave-in device that records as fast as its reader takes the sound, and no faster:
// it fills the oldest queued buffer as soon as the source has released every buffer returned
// before it, so that a source that keeps four buffers queued holds about five in all however
// fast the device is. It records a PCM signal from memory, looped.
//
// Why the benchmark needs it: the simulated card's flat-out pacing fills every buffer the moment
// it is queued, and the source, which queues buffers while fewer than four are with the device,
// then allocates a new buffer for each one that comes back at once; the filled list grows by
// thousands of buffers per minute of sound. No real card is faster than its sample rate, so that
// growth says nothing about a recording; this device measures the chain at its own pace instead.
//
// How it works: each open device has one thread, which fills the oldest queued buffer when no
// returned buffer is still held by the source, or when none has been released for Grace (so
// that the end of a run, where the source waits for every queued buffer without releasing one,
// takes a few milliseconds, not a stall). A filled buffer is handed to the notification without
// the device's lock held. Reset waits until no notification is under way and returns the queued
// buffers from the calling thread; Close ends and joins the thread.
//
// Threads: the source's thread calls every operation; the notification runs on the device's
// thread, or on the thread that calls Reset.
#pragma once

#include "WaveDevice.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

class TReaderPacedWaveBackend : public TWaveBackend {
public:
    static constexpr std::chrono::milliseconds Grace{2};

    // One input and one output device named "Reader-paced Sound Card", every standard format.
    TReaderPacedWaveBackend() = default;

    // The sound of the next opened device, recorded from its start. Main thread, while no device
    // of this backend is open.
    void SetPcm(std::shared_ptr<const std::vector<uint8_t>> Pcm) { FPcm = std::move(Pcm); }

    int32_t OutputDeviceCount() override { return 1; }
    int32_t InputDeviceCount() override { return 1; }
    TWaveCaps OutputCaps(int32_t Device) override;
    TWaveCaps InputCaps(int32_t Device) override;
    std::unique_ptr<TWaveInDevice> OpenInput(int32_t Device, const TPcmFormat& Format,
                                             TWaveInCallback Callback, void* Instance) override;

private:
    std::shared_ptr<const std::vector<uint8_t>> FPcm;
};
