// One open ALSA capture device and its capture thread.
//
// The thread takes the oldest queued buffer, reads the PCM (non-blocking, waiting in poll on the
// PCM's descriptors and on a wake-up eventfd) until the buffer is full, and hands it to the
// notification without the device's lock held; then the next one, in the order they were added.
// While no buffer is queued it leaves the sound in the ring for half the ring's time, then reads
// and drops what has come (counted), so that the ring never overruns. An overrun (-EPIPE) is
// recovered with snd_pcm_prepare and snd_pcm_start and counted; any other read error fails the
// device (wimError, LastError says why).
//
// Start prepares and starts the PCM on the calling thread while the capture thread is idle.
// Reset and Close write the eventfd, which wakes the thread from poll (or the condition wakes it
// from its wait); the thread drops the PCM's sound, returns every queued buffer with the bytes
// recorded so far, and goes idle (Reset) or ends (Close); the caller waits for that.
#include "AlsaPcm.h"
#include "DebugLog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Alsa {

namespace {

constexpr unsigned RingMicroseconds = 1000000;
constexpr unsigned PeriodMicroseconds = 50000;
constexpr auto ThreadAnswerBound = std::chrono::seconds(10);
constexpr auto IdleWakeupPause = std::chrono::milliseconds(5);

class TAlsaWaveInDevice final : public TWaveInDevice {
public:
    TAlsaWaveInDevice(const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback,
        void* Instance)
        : FCallback(Callback)
        , FInstance(Instance)
        , FFrameBytes(Format.BlockAlign)
    {
        if (FFrameBytes == 0 || FFrameBytes > WaveBufferLength)
            throw EWaveDeviceError(
                "Unsupported frame size of " + std::to_string(FFrameBytes) + " bytes");
        if (int Error = FPcm.Open(Device.Pcm, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK); Error < 0)
            throw EWaveDeviceError(AlsaError("Cannot open \"" + Device.Pcm + "\"", Error));
        DebugLog("ALSA: \"" + Device.Pcm + "\" opened");
        Configure(Format);
        DebugLog("ALSA: configured");
        FWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (FWakeFd < 0)
            throw EWaveDeviceError("Cannot create the capture thread's wake-up descriptor");
        FThread = std::thread([this] { Run(); });
    }

    ~TAlsaWaveInDevice() override
    {
        try {
            Close();
        } catch (const EWaveDeviceError&) {
            // The thread has been asked to end but did not answer in time; it uses this object,
            // so it is awaited all the same.
            if (FThread.joinable())
                FThread.join();
        }
        if (FWakeFd >= 0)
            close(FWakeFd);
    }

    void AddBuffer(TWaveHeader& Header) override
    {
        std::lock_guard Lock(FMutex);
        CheckOpen();
        CheckAddBuffer(Header);
        MarkQueued(Header);
        FQueue.push_back(&Header);
        FChanged.notify_all();
    }

    void Start() override
    {
        std::lock_guard Lock(FMutex);
        CheckOpen();
        if (FStarted)
            return;
        // The thread is idle and leaves the PCM alone until FStarted is set.
        snd_pcm_drop(FPcm.Get());
        if (int Error = snd_pcm_prepare(FPcm.Get()); Error < 0)
            throw EWaveDeviceError(AlsaError("Cannot prepare the capture", Error));
        if (int Error = snd_pcm_start(FPcm.Get()); Error < 0)
            throw EWaveDeviceError(AlsaError("Cannot start the capture", Error));
        FStarted = true;
        FFirstFrames = true;
        DebugLog("ALSA: started");
        FChanged.notify_all();
    }

    void Reset() override { Request(FResetRequest); }

    void Close() override
    {
        {
            std::lock_guard Lock(FMutex);
            if (!FThread.joinable())
                return;
        }
        Request(FCloseRequest);
        FThread.join();
        FPcm.Reset();
    }

    std::string LastError() const override
    {
        std::lock_guard Lock(FMutex);
        return FError;
    }

    TWaveInCounters Counters() const override
    {
        return { FDroppedFrames.load(), FOverruns.load() };
    }

private:
    void Configure(const TPcmFormat& Format)
    {
        snd_pcm_t* Pcm = FPcm.Get();
        const snd_pcm_format_t Sample = SampleFormat(Format.BitsPerSample);
        if (Sample == SND_PCM_FORMAT_UNKNOWN)
            throw EWaveDeviceError(
                "Unsupported sample size of " + std::to_string(Format.BitsPerSample) + " bits");
        snd_pcm_hw_params_t* Hw;
        snd_pcm_hw_params_alloca(&Hw);
        unsigned Ring = RingMicroseconds;
        unsigned Period = PeriodMicroseconds;
        Check(snd_pcm_hw_params_any(Pcm, Hw), "Cannot read the device's parameters");
        Check(snd_pcm_hw_params_set_access(Pcm, Hw, SND_PCM_ACCESS_RW_INTERLEAVED),
            "Interleaved access is not supported");
        Check(snd_pcm_hw_params_set_format(Pcm, Hw, Sample),
            std::to_string(Format.BitsPerSample) + "-bit samples are not supported");
        Check(snd_pcm_hw_params_set_channels(Pcm, Hw, Format.Channels),
            std::to_string(Format.Channels) + " channels are not supported");
        Check(snd_pcm_hw_params_set_rate(Pcm, Hw, Format.SamplesPerSec, 0),
            "The rate of " + std::to_string(Format.SamplesPerSec) + " Hz is not supported");
        Check(snd_pcm_hw_params_set_buffer_time_near(Pcm, Hw, &Ring, nullptr),
            "Cannot set the ring size");
        Check(snd_pcm_hw_params_set_period_time_near(Pcm, Hw, &Period, nullptr),
            "Cannot set the period size");
        Check(snd_pcm_hw_params(Pcm, Hw), "Cannot apply the capture parameters");
        snd_pcm_uframes_t RingFrames = 0;
        snd_pcm_hw_params_get_buffer_size(Hw, &RingFrames);
        FDropAfter
            = std::chrono::milliseconds(500 * RingFrames / std::max(1u, Format.SamplesPerSec));
        snd_pcm_sw_params_t* Sw;
        snd_pcm_sw_params_alloca(&Sw);
        snd_pcm_uframes_t Boundary = 0;
        Check(snd_pcm_sw_params_current(Pcm, Sw), "Cannot read the software parameters");
        snd_pcm_sw_params_get_boundary(Sw, &Boundary);
        // Started explicitly by Start and after an overrun, never by a read.
        Check(snd_pcm_sw_params_set_start_threshold(Pcm, Sw, Boundary),
            "Cannot set the start threshold");
        Check(snd_pcm_sw_params(Pcm, Sw), "Cannot apply the software parameters");
    }

    static void Check(int Result, const std::string& What)
    {
        if (Result < 0)
            throw EWaveDeviceError(AlsaError(What, Result));
    }

    void CheckOpen() const
    {
        if (!FThread.joinable())
            throw EWaveDeviceError("The capture device is closed");
    }

    // Asks the thread to reset (or end) and waits until it has.
    void Request(bool& Flag)
    {
        std::unique_lock Lock(FMutex);
        Flag = true;
        FInterrupt = true;
        Wake();
        if (!FChanged.wait_for(Lock, ThreadAnswerBound, [&] { return !Flag; }))
            throw EWaveDeviceError("The capture thread does not answer");
    }

    void Wake()
    {
        const uint64_t One = 1;
        [[maybe_unused]] auto Written = write(FWakeFd, &One, sizeof One);
        FChanged.notify_all();
    }

    void DrainWake()
    {
        uint64_t Count;
        [[maybe_unused]] auto Read = read(FWakeFd, &Count, sizeof Count);
    }

    // The capture thread.
    void Run()
    {
        std::unique_lock Lock(FMutex);
        for (;;) {
            if (FCloseRequest || FResetRequest) {
                ReturnQueued(Lock);
                if (FCloseRequest)
                    break;
                continue;
            }
            if (!FStarted || !FError.empty()) {
                FChanged.wait(Lock);
                continue;
            }
            if (FQueue.empty()) {
                // The ring keeps the sound for a while; a buffer may be queued before it is lost.
                if (!FChanged.wait_for(Lock, FDropAfter, [&] { return Interrupted(); }))
                    DropAvailable(Lock);
                continue;
            }
            FillFront(Lock);
        }
        FCloseRequest = false;
        FChanged.notify_all();
    }

    bool Interrupted() const { return !FQueue.empty() || FResetRequest || FCloseRequest; }

    // Returns every queued buffer, as far as it is filled, and leaves the PCM idle.
    void ReturnQueued(std::unique_lock<std::mutex>& Lock)
    {
        snd_pcm_drop(FPcm.Get());
        FStarted = false;
        std::deque<TWaveHeader*> Pending;
        Pending.swap(FQueue);
        Lock.unlock();
        for (TWaveHeader* Header : Pending) {
            MarkDone(*Header);
            FCallback(FInstance, wimData, Header);
        }
        Lock.lock();
        FResetRequest = false;
        FInterrupt = FCloseRequest;
        FChanged.notify_all();
    }

    // Reads into the oldest queued buffer until it is full or the thread is interrupted.
    void FillFront(std::unique_lock<std::mutex>& Lock)
    {
        TWaveHeader* Header = FQueue.front();
        const uint32_t Length
            = std::min(Header->BufferLength, WaveBufferLength) / FFrameBytes * FFrameBytes;
        while (Header->BytesRecorded < Length && !FInterrupt) {
            Lock.unlock();
            const snd_pcm_uframes_t Frames = (Length - Header->BytesRecorded) / FFrameBytes;
            const int Result = ReadFrames(Header->Data + Header->BytesRecorded, Frames);
            Lock.lock();
            if (Result < 0) {
                Fail(Lock, Result);
                return;
            }
            if (Result > 0 && FFirstFrames) {
                FFirstFrames = false;
                DebugLog("ALSA: first " + std::to_string(Result) + " frames read, after "
                    + std::to_string(FIdleWakeups) + " wake-ups without sound");
                FIdleWakeups = 0;
            }
            Header->BytesRecorded += static_cast<uint32_t>(Result) * FFrameBytes;
        }
        if (Header->BytesRecorded < Length)
            return; // interrupted: the reset returns it as far as it is filled
        FQueue.pop_front();
        MarkDone(*Header);
        Lock.unlock();
        FCallback(FInstance, wimData, Header);
        Lock.lock();
    }

    // Reads up to Frames frames, waiting in poll when none has come; 0 when interrupted. Runs
    // without the lock. Recovers overruns and suspends; a negative result is a failure.
    int ReadFrames(uint8_t* Data, snd_pcm_uframes_t Frames)
    {
        while (!FInterrupt) {
            const snd_pcm_sframes_t Read = snd_pcm_readi(FPcm.Get(), Data, Frames);
            if (Read >= 0)
                return static_cast<int>(Read);
            if (Read == -EAGAIN)
                AwaitInput();
            else if (int Error = Recover(static_cast<int>(Read)); Error < 0)
                return Error;
        }
        return 0;
    }

    // 0 when the read may be tried again, else the error that fails the device.
    int Recover(int Error)
    {
        if (Error == -ESTRPIPE) {
            const int Resumed = snd_pcm_resume(FPcm.Get());
            if (Resumed == -EAGAIN) {
                AwaitWake(std::chrono::milliseconds(100)); // the driver is still resuming
                return 0;
            }
            if (Resumed >= 0)
                return 0;
        } else if (Error == -EPIPE) {
            ++FOverruns;
        } else {
            return Error;
        }
        if ((Error = snd_pcm_prepare(FPcm.Get())) < 0)
            return Error;
        return std::min(0, snd_pcm_start(FPcm.Get()));
    }

    // Waits in poll for the PCM or the wake-up descriptor, at most twice the drop delay.
    void AwaitInput()
    {
        const auto Count
            = static_cast<size_t>(std::max(0, snd_pcm_poll_descriptors_count(FPcm.Get())));
        if (FPollFds.size() < Count + 1)
            FPollFds.resize(Count + 1); // once: a PCM keeps its descriptors
        pollfd* Fds = FPollFds.data();
        Fds[0] = { FWakeFd, POLLIN, 0 };
        snd_pcm_poll_descriptors(FPcm.Get(), Fds + 1, static_cast<unsigned>(Count));
        if (poll(Fds, Count + 1, static_cast<int>(FDropAfter.count()) * 2) <= 0)
            return;
        const bool Woken = Fds[0].revents & POLLIN;
        if (Woken)
            DrainWake();
        unsigned short Events = 0;
        snd_pcm_poll_descriptors_revents(
            FPcm.Get(), Fds + 1, static_cast<unsigned>(Count), &Events);
        if (!Woken && (Events & (POLLIN | POLLERR | POLLHUP | POLLNVAL)) == 0) {
            // The PCM's descriptors woke poll without sound to read: a sound server's plugin
            // does so while its stream is starting. Waiting a little keeps the thread from
            // spinning on poll until the sound comes.
            ++FIdleWakeups;
            AwaitWake(IdleWakeupPause);
        }
    }

    // Sleeps up to Bound unless woken.
    void AwaitWake(std::chrono::milliseconds Bound)
    {
        pollfd Fd{ FWakeFd, POLLIN, 0 };
        if (poll(&Fd, 1, static_cast<int>(Bound.count())) > 0)
            DrainWake();
    }

    // Reads and drops what the ring holds, while no buffer is queued.
    void DropAvailable(std::unique_lock<std::mutex>& Lock)
    {
        Lock.unlock();
        int Error = 0;
        // What the ring holds now, and no more: a device that always has sound (ALSA's null
        // device) must not keep the thread here.
        snd_pcm_sframes_t Left = snd_pcm_avail_update(FPcm.Get());
        if (Left < 0 && (Error = Recover(static_cast<int>(Left))) >= 0)
            Left = 0;
        while (Left > 0 && !FInterrupt) {
            const auto Chunk = std::min<snd_pcm_uframes_t>(
                static_cast<snd_pcm_uframes_t>(Left), WaveBufferLength / FFrameBytes);
            const snd_pcm_sframes_t Read = snd_pcm_readi(FPcm.Get(), FScratch, Chunk);
            if (Read > 0) {
                FDroppedFrames += static_cast<uint64_t>(Read);
                Left -= Read;
                continue;
            }
            if (Read == 0 || Read == -EAGAIN || (Error = Recover(static_cast<int>(Read))) < 0)
                break;
        }
        Lock.lock();
        if (Error < 0)
            Fail(Lock, Error);
    }

    void Fail(std::unique_lock<std::mutex>& Lock, int Error)
    {
        FError = AlsaError("Capture failed", Error);
        Lock.unlock();
        FCallback(FInstance, wimError, nullptr);
        Lock.lock();
    }

    TPcmHandle FPcm;
    TWaveInCallback FCallback;
    void* FInstance;
    uint32_t FFrameBytes;
    int FWakeFd = -1;
    std::chrono::milliseconds FDropAfter{ 500 };
    uint8_t FScratch[WaveBufferLength]; // dropped sound is read here; capture thread only
    std::vector<pollfd> FPollFds; // the wake-up descriptor and the PCM's; capture thread
    uint64_t FIdleWakeups = 0; // poll's wake-ups without sound, for the debug log; capture thread
    std::atomic<uint64_t> FDroppedFrames{ 0 }; // written by the capture thread
    std::atomic<uint64_t> FOverruns{ 0 }; // written by the capture thread
    // Set with a reset or close request, so that reads and waits without the lock give way.
    std::atomic<bool> FInterrupt{ false };

    mutable std::mutex FMutex; // guards everything below
    std::condition_variable FChanged;
    std::deque<TWaveHeader*> FQueue;
    bool FStarted = false;
    bool FFirstFrames = false; // until the first frames of a start are read, for the debug log
    bool FResetRequest = false;
    bool FCloseRequest = false;
    std::string FError;
    std::thread FThread;
};

} // namespace

std::unique_ptr<TWaveInDevice> OpenCaptureDevice(
    const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
{
    return std::make_unique<TAlsaWaveInDevice>(Device, Format, Callback, Instance);
}

} // namespace Alsa
