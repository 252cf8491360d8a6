// The sound-card source of the pipeline and the query of wave device capabilities.
//
// TAudioIn records PCM from a wave-in device through four queued 16384-byte buffers and hands
// each filled buffer out, whole or in pieces, until it has delivered the bytes of RecTime
// seconds. Its buffers come from a pool that a run's start sizes for the run's format and that
// is kept for the next runs, so that recording allocates nothing per block. It runs against the
// device interface of WaveDevice.h; the platform's backend is used unless a test installs another
// one with UseWaveBackend.
//
// The unit counts the wave-out devices, then the wave-in devices, once, at its first use (the
// program's start-up builds the window, and with it a TAudioIn, before anything else touches
// the unit); those counts bound every device number it accepts until the process ends or
// UseWaveBackend takes them again.
#pragma once

#include "ACS_Classes.h"
#include "AudioSync.h"
#include "WaveDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The standard formats of TWaveDeviceInfo::Formats, by flag bit: ordered by rate, and within a
// rate mono 8-bit, mono 16-bit, stereo 8-bit, stereo 16-bit.
enum TWaveFormatFlag : uint8_t {
    wf1M08,
    wf1M16,
    wf1S08,
    wf1S16, // 11.025 kHz
    wf2M08,
    wf2M16,
    wf2S08,
    wf2S16, // 22.05 kHz
    wf4M08,
    wf4M16,
    wf4S08,
    wf4S16, // 44.1 kHz
};
inline constexpr int WaveFormatFlagCount = 12;
// A set of TWaveFormatFlag: bit n set when the format of flag n is supported.
using TWaveFormats = uint16_t;

inline constexpr bool HasFormat(TWaveFormats Formats, TWaveFormatFlag Flag)
{
    return (Formats >> Flag) & 1u;
}
// The flag set for a device's platform format bits (WaveFormat* of WaveDevice.h).
TWaveFormats FormatsFromPlatform(uint32_t PlatformFormats);

struct TWaveDeviceInfo {
    std::string Name;
    uint32_t DriverVersion = 0;
    TWaveFormats Formats = 0;
    bool Stereo = false;
};

// Fills Info for input device Device, or output device Device when OutputDevice is true.
// Raises "Device <n> is not available." for a number at or above the count of that kind, and a
// message naming the device and the reason when the platform cannot answer. Any thread; may
// block briefly while the platform is asked.
void GetWaveDeviceInfo(int32_t Device, bool OutputDevice, TWaveDeviceInfo& Info);

// The device counts taken at the unit's start-up. Any thread.
int32_t WaveInDeviceCount();
int32_t WaveOutDeviceCount();

// One input as a person chooses it: its name and the stable identifier that finds it again at
// the program's next start (TWaveBackend::InputId).
struct TWaveInput {
    std::string Name;
    std::string Id;
};

// The inputs by number, asked afresh of the backend; the input count that bounds the device
// numbers is taken again with them, so that an input that has appeared since can be chosen.
// Raises naming the input when the backend cannot answer. Owning thread of the sources, while
// none records; may block while the platform is asked.
std::vector<TWaveInput> ListWaveInputs();

// Makes Backend the unit's device backend and takes the device counts again from it (output
// count first, then input). For tests and benchmarks; main thread, while no TAudioIn records.
void UseWaveBackend(std::shared_ptr<TWaveBackend> Backend);

// Sound that a run has lost: stretches of it (an overrun of the platform's ring, a time without a
// queued buffer when the reader has fallen behind by the whole pool, a gap) and their frames.
struct TCaptureLosses {
    int64_t Dropouts = 0;
    int64_t LostFrames = 0;
};

class TAudioIn : public TACSInput {
public:
    explicit TAudioIn(TComponent* AOwner);
    // Releases the device and the buffers of a run that was not flushed. Owning thread.
    ~TAudioIn() override;

    // The format of the properties below. Any thread.
    int32_t GetBitsPerSample() override { return InBitsPerSample.load(); }
    int32_t GetChannels() override { return InChannels.load(); }
    int32_t GetSampleRate() override { return InSampleRate.load(); }
    int32_t GetTotalTime() override { return RecTime.load(); }

    // Hands out the current filled buffer, at most BufferSize bytes of it, and returns the count;
    // 0 once Position has reached the record limit. Keeps four buffers queued with the device.
    // The bytes are copied straight out of the capture buffer, which goes back among the free
    // buffers as soon as its last byte has been handed out.
    // Raises "The Stream is not opened" when not Busy, and a message naming the device when it
    // failed or returned no buffer within StallTimeout. Worker thread; blocks until the device
    // returns a buffer, at most StallTimeout (see there).
    int32_t GetData(void* Buffer, int32_t BufferSize) override;
    // Starts a run: computes the record limit, opens the device BaseChannel and starts it.
    // Raises "The component is buisy" while Busy, and a message naming the device and the reason
    // when it cannot be opened or started (the source then stays idle). Thread that starts the
    // run; may block briefly while the device opens.
    void Init() override;
    // Ends the run: waits until the device has returned the queued buffers (at most
    // StallTimeout, see there; not at all when it has failed), resets and closes it, frees the
    // buffers and clears Busy; a reset or close that fails is raised after that. On an idle
    // source it changes nothing. Worker thread, or the thread that exchanges an input; blocks as
    // said.
    void Flush() override;

    // Pauses a run: the device stops recording, so that the sound while paused neither reaches
    // the reader nor counts as lost. What it recorded before is still delivered; a read under
    // way gets the buffer being filled, or waits for the resume when that holds nothing. Nothing
    // on an idle or paused source, or while the run ends. Raises a message naming the device
    // when it cannot stop. Any thread but the reader's; blocks while the device stops.
    void Pause();
    // Lets a paused run record again: the sound delivered next is the device's from now on, and
    // a read that waits goes on. Nothing on a source that is not paused. Raises a message naming
    // the device when it cannot start; the run then fails at its next read. Any thread but the
    // reader's; blocks briefly.
    void Resume();
    // Between Pause and Resume, or the run's end. Any thread.
    bool Paused() const;

    int32_t GetBaseChannel() const { return BaseChannel.load(); }
    // Raises "Component is buisy" while Busy and "Channel <n> is not available" for a number at
    // or above the input device count. Owning thread.
    void SetBaseChannel(int32_t Value);

    // Published properties; set on the owning thread, taken by the next Init.
    std::atomic<int32_t> InBitsPerSample{ 8 };
    std::atomic<int32_t> InChannels{ 1 };
    std::atomic<int32_t> InSampleRate{ 8000 };
    std::atomic<int32_t> RecTime{ 600 };

    // What the device has lost in the current run, or in the last one after its end; zero after
    // Init. Taken from the device with every block and at Flush, so it lags the device by at most
    // a block. Any thread; the frames are never older than the count of dropouts.
    TCaptureLosses Losses() const;

    // Capture buffers allocated over the source's life: the pool's, which a run's start
    // enlarges when the run's format needs more than earlier runs. Any thread.
    int64_t BuffersAllocated() const { return FBuffersAllocated.load(); }

    // The pool's size for a run in Format: the four queued buffers and about one second of
    // sound more (at least four, at most 64 buffers), which the source may hold filled while
    // the reader falls behind; past that the device has no buffer queued and drops the sound.
    static int32_t PoolBuffers(const TPcmFormat& Format);

    // How long GetData and Flush wait for the device to return buffers before they take it for
    // stalled; never less than the time that two buffers take to fill (GetData), or the queued
    // buffers and one more (Flush). Owning thread, before Init.
    std::chrono::milliseconds StallTimeout{ 5000 };

private:
    static void WaveInCallback(void* Instance, TWaveInMessage Message, TWaveHeader* Header);
    // The lock of the notification of every source.
    static TAudioMutex& ModuleLock();

    // The PCM format record of the properties, as the device is opened with it.
    TPcmFormat DeviceFormat() const;
    void OpenDevice();
    // Closes the device at the last close (Orderly: with its Close, else only by releasing it);
    // returns why closing failed, empty if it did not.
    std::string CloseDevice(bool Orderly = true);
    // Makes sure the pool holds PoolBuffers for the run's format, and frees all of it.
    void PreparePool();
    // Queues a free buffer; false when the pool has none left.
    bool QueueBuffer();
    // The first filled header that holds sound, off the list; raises as GetData says.
    TWaveHeader* TakeFilled();
    // Waits for the first filled header and takes it off the list; raises as GetData says.
    TWaveHeader* WaitFilled();
    // Makes the first filled buffer the current one; raises as TakeFilled.
    void FetchBlock();
    // Puts the current buffer back among the free ones, if there is one.
    void ReleaseCurrent()
    {
        if (TWaveHeader* Header = std::exchange(FCurrent, nullptr))
            RecycleHeader(Header);
    }
    // Ends the device's part of a run; returns the first failure met on the way, empty if none,
    // and tells through ResetFailed whether the device's reset raised.
    std::string ReleaseDevice(bool WaitForQueued, bool* ResetFailed = nullptr);
    void RecycleFilledList();
    // Unprepares a buffer that the device has returned and puts it back among the free ones.
    void RecycleHeader(TWaveHeader* Header);
    // StallTimeout, or the time that Buffers buffers take to fill when that is longer.
    std::chrono::milliseconds WaitBound(int32_t Buffers) const;
    std::string DeviceName() const;
    // Takes the device's counts of lost sound into Losses. Worker thread, device open.
    void TakeLosses();

    static constexpr int32_t QueuedBuffers = 4;
    static constexpr int32_t MaxPoolBuffers = QueuedBuffers + 64;

    struct TCaptureBuffer {
        TWaveHeader Header;
        uint8_t Data[WaveBufferLength];
    };

    // The pool, declared before the device so that it outlives any device that still holds
    // buffers. Free buffers are chained through their headers' Next links; the pool and that
    // chain are touched only by Init, GetData, Flush and the destructor.
    std::unique_ptr<TCaptureBuffer[]> FPool;
    int32_t FPoolSize = 0;
    TWaveHeader* FFree = nullptr;
    std::atomic<int64_t> FBuffersAllocated{ 0 };
    std::atomic<int64_t> FDropouts{ 0 };
    std::atomic<int64_t> FLostFrames{ 0 };

    // Filled list, chained through the headers' Next links; FFilledTail points at the link to
    // set next (at FFilledHead while the list is empty). Guarded by the module lock.
    TWaveHeader* FFilledHead = nullptr;
    TWaveHeader** FFilledTail = &FFilledHead;
    // Buffers handed to the device and not yet returned; lowered by the notification.
    std::atomic<int32_t> FQueued{ 0 };
    std::atomic<int32_t> BaseChannel{ 0 };
    std::unique_ptr<TWaveInDevice> FDevice;
    // The filled buffer being handed out (bytes BufStart..BufEnd of its data are still to go),
    // or null. Neither queued, nor filled, nor free; worker thread only.
    TWaveHeader* FCurrent = nullptr;
    int32_t FOpenCount = 0;
    int32_t FRecLimit = 0;
    // Set by the notification when the device reports a failure; guarded by the module lock.
    bool FDeviceFailed = false;
    // Set when GetData has found the device stalled, so that Flush does not wait again.
    std::atomic<bool> FStalled{ false };
    // Held by Init, Flush, Pause, Resume and the destructor while they use the device, so that a
    // pause never meets a device that the run's end releases.
    std::mutex FControl;
    // The run is paused; guarded by the module lock.
    bool FPaused = false;
    // Why the device could not start again after a pause; guarded by the module lock.
    std::string FResumeFailure;
    // Signalled under the module lock whenever the notification has changed the list or flags.
    TAudioCondition FReturned;
};
