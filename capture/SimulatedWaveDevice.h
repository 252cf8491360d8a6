// A simulated sound card for tests and benchmarks: wave-in devices that record a generated
// signal, in real time or as fast as the reader takes buffers, and that can be made to fail.
//
// How a test uses it (main thread, while no source is recording):
//
//     auto Card = std::make_shared<TSimulatedWaveBackend>();     // one input, one output device
//     Card->SetSignal(TSimulatedSignal::Sine(1000.0, 0.5));      // or Silence(), Constant(v),
//                                                                // PcmData(bytes), PcmFile(path)
//     Card->SetPacing(TSimulatedPacing::FlatOut);                // or RealTime (the default)
//     UseWaveBackend(Card);                                      // ACS_Audio.h; re-takes the
//                                                                // device counts
//     TAudioIn AudIn(nullptr); ... AudIn.Init(); AudIn.GetData(...); AudIn.Flush();
//
// Faults (TSimulatedFaults, set with SetFaults before Init):
//   OpenError  non-empty: opening the device fails with this reason (Init raises);
//   StallAfter n >= 0: after n buffers have come back, the device keeps the rest (as a hung
//              driver does) until Reset returns them;
//   FailAfter  n >= 0: after n buffers the device fails with FailError and delivers no more;
//   HangAfter  n >= 0: after n buffers the device's thread hangs, as in a driver's read that
//              never returns: Reset and Close wait AnswerBound for it once, then raise "The
//              simulated device does not answer" (at once after the first such wait);
//   ThreadStartError non-empty: the device's thread cannot be started (Init raises this reason);
//   BufferDelay each buffer comes back this much later than the pacing gives (a slow device);
//   GapAfter   n >= 0: after n buffers the device loses GapFrames frames of the signal (one
//              dropout) and goes on recording behind them;
//   FlatOutGrace how long a flat-out device waits for the source to release a buffer before it
//              fills the next one all the same: 10 ms, longer than a source takes for one block
//              and short enough that Flush, which keeps what it was given while it waits for the
//              queued buffers, is quick; a test that counts what a refill fills sets it longer.
//
// Settings are taken when a device is opened; changing them later affects the next open.
// The counts of devices come from the specs given to the constructor; SetInputs replaces the
// inputs (as a card plugged in or out does), and an input's spec may carry its own name, stable
// identifier and signal:
//
//     TSimulatedWaveBackend Card(
//         { SimulatedInput("Line In", "line", TSimulatedSignal::Sine(440.0, 0.5)), ... });
//
// How it works: each open device has its own thread. In real time the thread wakes once per
// buffer's worth of sound (BufferLength rounded down to whole frames, at AvgBytesPerSec); the
// sound of that span goes into the oldest queued buffer, or is dropped (and counted) when no
// buffer is queued, as a real card drops it. Flat out, the thread sleeps while the source holds
// more than one of the buffers it was given; once the source holds one (ready beside the one it
// reads), or after FlatOutGrace without a release, it fills queued buffers until the source holds
// four, so that one wake-up serves several buffers. It runs as fast as the source takes the
// sound, at most four buffers ahead of it while the source keeps up, and never drops. A filled
// buffer is marked done and handed to the notification without the device's lock held. Reset
// wakes the thread through its condition, waits until no notification from the thread is under
// way, and returns the queued buffers from the calling thread; Close ends and joins the thread.
// Stop (a pause) records what a real-time device has heard up to that moment into the queued
// buffers it returns, and Start after it goes on with the signal as far as the stopped time has
// carried it, as a real card's input goes on; flat out, Stop and Start only stop and start.
#pragma once

#include "WaveDevice.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The sound a simulated device records; every channel carries the same samples.
struct TSimulatedSignal {
    enum TKind { skSilence, skConstant, skSine, skPcm };

    TKind Kind = skSilence;
    int32_t Value = 0; // skConstant: the raw sample value (8-bit samples are unsigned)
    double Frequency = 0.0; // skSine, Hz
    double Amplitude = 0.0; // skSine, fraction of full scale
    // skPcm: raw bytes in the opened format, recorded from the start and repeated in a loop.
    std::shared_ptr<const std::vector<uint8_t>> Pcm;

    static TSimulatedSignal Silence() { return {}; }
    static TSimulatedSignal Constant(int32_t Value);
    static TSimulatedSignal Sine(double Frequency, double Amplitude);
    static TSimulatedSignal PcmData(std::vector<uint8_t> Bytes);
    // Reads the whole file now; raises EWaveDeviceError when it cannot be read or is empty.
    static TSimulatedSignal PcmFile(const std::string& Path);
};

enum class TSimulatedPacing {
    RealTime, // one buffer per buffer's worth of time; unqueued sound is dropped
    FlatOut, // as fast as the source takes the sound: queued buffers are filled once the source
             // holds at most one of the buffers it was given (or after FlatOutGrace without a
             // release), until it holds four
};

struct TSimulatedFaults {
    std::string OpenError;
    int32_t StallAfter = -1;
    int32_t FailAfter = -1;
    std::string FailError = "the simulated device has failed";
    int32_t HangAfter = -1;
    std::chrono::milliseconds AnswerBound{ 10000 };
    std::string ThreadStartError;
    std::chrono::milliseconds BufferDelay{ 0 };
    int32_t GapAfter = -1;
    uint32_t GapFrames = 0;
    std::chrono::milliseconds FlatOutGrace{ 10 };
};

// What a simulated device reports as its capabilities.
struct TSimulatedDeviceSpec {
    std::string Name = "Simulated Sound Card";
    std::string Id; // the input's stable identifier; its Name when empty
    uint32_t DriverVersion = 0x0100;
    uint32_t Formats = 0xFFF; // every standard format
    uint16_t Channels = 2;
    // What this input records; the card's signal (SetSignal) when empty.
    std::optional<TSimulatedSignal> Signal;
};

// An input of every standard format with that name, identifier (its name when empty) and signal
// (the card's when empty).
inline TSimulatedDeviceSpec SimulatedInput(
    std::string Name, std::string Id = {}, std::optional<TSimulatedSignal> Signal = {})
{
    TSimulatedDeviceSpec Spec;
    Spec.Name = std::move(Name);
    Spec.Id = std::move(Id);
    Spec.Signal = std::move(Signal);
    return Spec;
}

class TSimulatedWaveBackend : public TWaveBackend {
public:
    explicit TSimulatedWaveBackend(std::vector<TSimulatedDeviceSpec> Inputs = { {} },
        std::vector<TSimulatedDeviceSpec> Outputs = { {} });

    // Settings for the next open. Any thread.
    void SetSignal(TSimulatedSignal Signal);
    void SetPacing(TSimulatedPacing Pacing);
    void SetFaults(TSimulatedFaults Faults);
    // The inputs from now on; devices already open record on. Any thread.
    void SetInputs(std::vector<TSimulatedDeviceSpec> Inputs);
    // Calls of RefreshInputs so far. Any thread.
    int32_t RefreshCount() const { return FRefreshes.load(); }

    // Observations for tests. Any thread.
    int32_t OpenedCount() const { return FOpened.load(); } // opens that succeeded
    int32_t OpenDevices() const { return FOpenNow->load(); } // devices not yet closed
    int32_t LastOpenedDevice() const;
    TPcmFormat LastOpenedFormat() const;
    // Buffers' worth of sound dropped by real-time devices because no buffer was queued.
    int64_t DroppedBuffers() const { return FDropped->load(); }
    // The most buffers that a device had returned and its source had not yet released.
    int32_t PeakHeldBySource() const { return FPeakHeld->load(); }
    // Reset and Close calls that met a hung device's thread (HangAfter) and raised.
    int32_t UnansweredCalls() const { return FUnanswered->load(); }

    int32_t OutputDeviceCount() override;
    int32_t InputDeviceCount() override;
    TWaveCaps OutputCaps(int32_t Device) override;
    TWaveCaps InputCaps(int32_t Device) override;
    std::string InputId(int32_t Device) override;
    void RefreshInputs() override { ++FRefreshes; }
    std::unique_ptr<TWaveInDevice> OpenInput(int32_t Device, const TPcmFormat& Format,
        TWaveInCallback Callback, void* Instance) override;

private:
    // A copy, since SetInputs may replace the inputs meanwhile. Called with FMutex held.
    TSimulatedDeviceSpec Spec(
        const std::vector<TSimulatedDeviceSpec>& Specs, int32_t Device, const char* Kind) const;

    mutable std::mutex FMutex; // guards the inputs, the settings and the last open
    std::vector<TSimulatedDeviceSpec> FInputs;
    const std::vector<TSimulatedDeviceSpec> FOutputs;
    std::atomic<int32_t> FRefreshes{ 0 };
    TSimulatedSignal FSignal;
    TSimulatedPacing FPacing = TSimulatedPacing::RealTime;
    TSimulatedFaults FFaults;
    int32_t FLastDevice = -2;
    TPcmFormat FLastFormat;
    std::atomic<int32_t> FOpened{ 0 };
    // Shared with the open devices, which may outlive the backend.
    std::shared_ptr<std::atomic<int32_t>> FOpenNow = std::make_shared<std::atomic<int32_t>>(0);
    std::shared_ptr<std::atomic<int64_t>> FDropped = std::make_shared<std::atomic<int64_t>>(0);
    std::shared_ptr<std::atomic<int32_t>> FPeakHeld = std::make_shared<std::atomic<int32_t>>(0);
    std::shared_ptr<std::atomic<int32_t>> FUnanswered = std::make_shared<std::atomic<int32_t>>(0);
};
