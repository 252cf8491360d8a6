// An input device over a platform that hands the sound over in packets of its own format and size
// (the loopback capture of what the computer plays), rather than recording into queued buffers.
//
// How it works: a thread of the device's own opens the packet source, then every 10 ms takes the
// packets that have come, converts each to the recording's 16-bit stereo at its rate
// (MixFormatConverter.h) and copies it into the queued buffers (CaptureFiller.h), which return
// through the notification as they fill. A platform that sends no packets while nothing plays
// leaves the device without sound: after 200 ms without a packet the thread records the silence
// of that time itself, so that a recording goes on at its pace. A gap that the source reports is
// counted as an overrun with the frames its position skipped, unless the device has recorded
// silence since the last packet (the source's position may move on while nothing plays).
//
// Start, Reset and Close ask the thread and wake it; Reset waits (bounded) until the thread has
// taken the packets the source still held, stopped the source and returned the queued buffers.
// The source lives and dies on the thread.
#pragma once

#include "AudioSync.h"
#include "CaptureFiller.h"
#include "MixFormatConverter.h"
#include "WaveDevice.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// One packet of a source: Frames frames in the source's format at Data (not to be read when
// Silent), starting at frame Position of the source's stream.
struct TSoundPacket {
    const uint8_t* Data = nullptr;
    uint32_t Frames = 0;
    bool Silent = false;
    bool Discontinuity = false; // sound was lost before this packet
    uint64_t Position = 0;
};

// The platform's side. Every operation runs on the device's thread; failures raise
// EWaveDeviceError with the platform's reason.
class TPacketSource {
public:
    virtual ~TPacketSource() = default;
    virtual TMixFormat Format() const = 0;
    // The most frames that one packet holds.
    virtual uint32_t PacketCapacity() const = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // Forgets the packets of a stopped source.
    virtual void Reset() = 0;
    // Takes the next packet that has come, if any; the packet stays valid until Release.
    virtual bool Next(TSoundPacket& Packet) = 0;
    virtual void Release(const TSoundPacket& Packet) = 0;
};

class TPacketCaptureDevice final : public TWaveInDevice {
public:
    using TClock = std::chrono::steady_clock;
    // Opens the source, on the device's thread.
    using TOpener = std::function<std::unique_ptr<TPacketSource>()>;
    // The time, for the silence while no packet comes; the steady clock unless a test sets one.
    using TNow = std::function<TClock::time_point()>;

    // Opens the source for Format (16-bit stereo PCM, any rate). Raises EWaveDeviceError for
    // another format or with the reason the source could not be opened. Blocks while the source
    // opens.
    TPacketCaptureDevice(TOpener Open, const TPcmFormat& Format, TWaveInCallback Callback,
        void* Instance, TNow Now = &TClock::now);
    ~TPacketCaptureDevice() override;

    void AddBuffer(TWaveHeader& Header) override;
    void Start() override;
    void Reset() override;
    void Close() override;
    std::string LastError() const override;
    TWaveInCounters Counters() const override { return FFiller.Counters(); }

    static constexpr auto PollPeriod = std::chrono::milliseconds(10);
    static constexpr auto IdleAfter = std::chrono::milliseconds(200);
    static constexpr auto ReturnBound = std::chrono::seconds(5);

private:
    void Run(const TOpener& Open);
    void Loop();
    void Follow(bool WantRunning);
    void Drain();
    void RecordIdleTime();
    void Convert(const uint8_t* Data, uint32_t Frames, bool Silent);
    void Fail(const std::string& Why);
    template <typename F> void Ask(F Change);

    const uint32_t FOutRate;
    const TNow FNow;
    TCaptureFiller FFiller;
    std::thread FThread;
    mutable TAudioMutex FMutex; // guards the requests, the states below and FError
    TAudioCondition FWake; // a request for the thread
    TAudioCondition FChanged; // the thread has opened, reset or ended
    bool FWantRunning = false;
    bool FResetWanted = false;
    bool FQuit = false;
    bool FOpened = false;
    bool FEnded = false;
    std::string FError;

    // The thread's own.
    std::unique_ptr<TPacketSource> FSource;
    std::optional<TMixFormatConverter> FConverter;
    std::vector<int16_t> FStaging;
    uint32_t FInRate = 0;
    uint32_t FChunkFrames = 1;
    bool FRunning = false;
    bool FFailed = false;
    bool FHavePosition = false;
    bool FSilenceRecorded = false; // since the last packet
    uint64_t FNextPosition = 0;
    TClock::time_point FProgressAt{};
};
