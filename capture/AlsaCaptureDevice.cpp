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
// recorded so far, and goes idle (Reset) or ends (Close); the caller waits for that, at most
// one bound in all: a thread that has not answered in time is not waited for again. The thread
// shares the capture's state (the PCM, the descriptor, the queue) with the device; when the
// device is destroyed while its thread does not answer (a read hung in a sound server's plugin),
// the thread is left to end by itself and releases that state then, without touching the
// caller's buffers or calling back again. The PCM is read into the capture's own block and
// copied into the caller's buffer under the lock, so that a hung read cannot write into a
// buffer that has been freed meanwhile.
#include "AlsaPcm.h"
#include "DebugLog.h"
#include "LossCounters.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Alsa {

namespace {

constexpr auto IdleWakeupPause = std::chrono::milliseconds(5);

// The state of one open capture device that its thread uses, and the thread's work.
class TCapture {
public:
    TCapture(const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback,
        void* Instance)
        : FCallback(Callback)
        , FInstance(Instance)
        , FFrameBytes(Format.BlockAlign)
        , FRate(Format.SamplesPerSec)
    {
        if (FFrameBytes == 0 || FFrameBytes > WaveBufferLength)
            throw EWaveDeviceError(
                "Unsupported frame size of " + std::to_string(FFrameBytes) + " bytes");
        if (int Error = FPcm.Open(Device.Pcm, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK); Error < 0)
            throw EWaveDeviceError(AlsaError("Cannot open \"" + Device.Pcm + "\"", Error));
        DebugLog("ALSA: \"" + Device.Pcm + "\" opened");
        FRingFrames = ConfigureCapture(FPcm.Get(), Format);
        // The ring keeps the sound for a while; a buffer may be queued before it is lost.
        FDropAfter
            = std::chrono::milliseconds(500 * FRingFrames / std::max(1u, Format.SamplesPerSec));
        DebugLog("ALSA: configured");
        FBeforeRead = CaptureFaults().BeforeRead;
    }

    void AddBuffer(TWaveHeader& Header)
    {
        std::lock_guard Lock(FMutex);
        CheckOpen();
        CheckAddBuffer(Header);
        MarkQueued(Header);
        FQueue.push_back(&Header);
        FChanged.notify_all();
    }

    void Start()
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

    void Reset() { Request(FResetRequest); }
    // Asks the thread to end and waits until it has answered.
    void RequestEnd() { Request(FCloseRequest); }

    // Lets the thread end by itself: from now on it neither touches a queued buffer nor calls
    // back. Waits for a notification in progress, which is short. Caller's thread.
    void Abandon()
    {
        {
            std::lock_guard Lock(FMutex);
            FAbandoned = true;
            FCloseRequest = true;
            FInterrupt = true;
            Wake();
        }
        std::lock_guard Guard(FNotifyMutex);
    }

    // The capture thread's work, until it is asked to end.
    void Work() { Run(); }

    std::string LastError() const
    {
        std::lock_guard Lock(FMutex);
        return FError;
    }

    TWaveInCounters Counters() const { return FLosses.Read(); }

private:
    void CheckOpen() const
    {
        if (FEnded)
            throw EWaveDeviceError("The capture device is closed");
    }

    // Asks the thread to reset (or end) and waits until it has, at most until the bound of the
    // first request that is still unanswered; once a request has found the thread unanswering,
    // the next ones do not wait for it again.
    void Request(bool& Flag)
    {
        std::unique_lock Lock(FMutex);
        CheckOpen();
        if (FUnanswered)
            throw EWaveDeviceError("The capture thread does not answer");
        Flag = true;
        FInterrupt = true;
        Wake();
        if (!FAnswerDeadline)
            FAnswerDeadline = std::chrono::steady_clock::now() + CaptureFaults().AnswerBound;
        if (!FChanged.wait_until(Lock, *FAnswerDeadline, [&] { return !Flag; })) {
            FUnanswered = true;
            throw EWaveDeviceError("The capture thread does not answer");
        }
    }

    // The thread has answered every request so far.
    void Answered()
    {
        FAnswerDeadline.reset();
        FUnanswered = false;
        FChanged.notify_all();
    }

    void Wake()
    {
        const uint64_t One = 1;
        [[maybe_unused]] auto Written = write(FWake.Get(), &One, sizeof One);
        FChanged.notify_all();
    }

    void DrainWake()
    {
        uint64_t Count;
        [[maybe_unused]] auto Read = read(FWake.Get(), &Count, sizeof Count);
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
        FEnded = true;
        FPcm.Reset();
        Answered();
    }

    bool Interrupted() const { return !FQueue.empty() || FResetRequest || FCloseRequest; }

    // Returns every queued buffer, as far as it is filled, and leaves the PCM idle.
    void ReturnQueued(std::unique_lock<std::mutex>& Lock)
    {
        snd_pcm_drop(FPcm.Get());
        FStarted = false;
        FDropping = false;
        std::deque<TWaveHeader*> Pending;
        Pending.swap(FQueue);
        Lock.unlock();
        for (TWaveHeader* Header : Pending)
            Notify(wimData, Header);
        Lock.lock();
        FResetRequest = false;
        FInterrupt = FCloseRequest;
        if (!FCloseRequest)
            Answered();
    }

    // Hands a buffer (marked done) or a failure to the notification, unless the device has been
    // abandoned. Capture thread, without the lock.
    void Notify(TWaveInMessage Message, TWaveHeader* Header)
    {
        std::lock_guard Guard(FNotifyMutex);
        if (FAbandoned)
            return;
        if (Header != nullptr)
            MarkDone(*Header);
        FCallback(FInstance, Message, Header);
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
            const int Result = ReadFrames(FBlock, Frames);
            Lock.lock();
            if (FAbandoned)
                return; // the buffer may be gone
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
            const uint32_t Bytes = static_cast<uint32_t>(Result) * FFrameBytes;
            std::memcpy(Header->Data + Header->BytesRecorded, FBlock, Bytes);
            Header->BytesRecorded += Bytes;
            if (Result > 0)
                FDropping = false; // sound is kept again: the next loss is a new dropout
        }
        if (Header->BytesRecorded < Length)
            return; // interrupted: the reset returns it as far as it is filled
        FQueue.pop_front();
        Lock.unlock();
        Notify(wimData, Header);
        Lock.lock();
    }

    // Reads up to Frames frames, waiting in poll when none has come; 0 when interrupted. Runs
    // without the lock. Recovers overruns and suspends; a negative result is a failure.
    int ReadFrames(uint8_t* Data, snd_pcm_uframes_t Frames)
    {
        while (!FInterrupt) {
            if (FBeforeRead)
                FBeforeRead();
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
            CountOverrun();
        } else {
            return Error;
        }
        if ((Error = snd_pcm_prepare(FPcm.Get())) < 0)
            return Error;
        return std::min(0, snd_pcm_start(FPcm.Get()));
    }

    // Capture thread, before the recovery's prepare.
    void CountOverrun()
    {
        FLosses.Overrun(OverrunLostFrames(FPcm.Get(), FRingFrames, FRate));
        FDropping = true; // sound dropped right after the recovery belongs to this dropout
    }

    // Waits in poll for the PCM or the wake-up descriptor, at most twice the drop delay.
    void AwaitInput()
    {
        const auto Count
            = static_cast<size_t>(std::max(0, snd_pcm_poll_descriptors_count(FPcm.Get())));
        if (FPollFds.size() < Count + 1)
            FPollFds.resize(Count + 1); // once: a PCM keeps its descriptors
        pollfd* Fds = FPollFds.data();
        Fds[0] = { FWake.Get(), POLLIN, 0 };
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
        pollfd Fd{ FWake.Get(), POLLIN, 0 };
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
            const snd_pcm_sframes_t Read = snd_pcm_readi(FPcm.Get(), FBlock, Chunk);
            if (Read > 0) {
                FLosses.Dropped(static_cast<uint64_t>(Read), !FDropping);
                FDropping = true;
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
        Notify(wimError, nullptr);
        Lock.lock();
    }

    TPcmHandle FPcm;
    std::function<void()> FBeforeRead; // an injected fault
    TWaveInCallback FCallback;
    void* FInstance;
    uint32_t FFrameBytes;
    TWakeDescriptor FWake;
    std::chrono::milliseconds FDropAfter{ 500 };
    uint8_t FBlock[WaveBufferLength]; // the PCM is read here; capture thread only
    std::vector<pollfd> FPollFds; // the wake-up descriptor and the PCM's; capture thread
    uint64_t FIdleWakeups = 0; // poll's wake-ups without sound, for the debug log; capture thread
    TLossCounters FLosses; // counted by the capture thread
    bool FDropping = false; // the last sound read was dropped; capture thread
    uint32_t FRate;
    snd_pcm_uframes_t FRingFrames = 0;
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
    bool FEnded = false; // the thread has ended
    bool FUnanswered = false; // a request found the thread unanswering
    std::optional<std::chrono::steady_clock::time_point> FAnswerDeadline; // of the pending one
    std::atomic<bool> FAbandoned{ false }; // set under FMutex and read under it or FNotifyMutex
    std::mutex FNotifyMutex; // held around each notification
};

// An open capture device: its thread, and the capture's state shared with the thread.
class TAlsaWaveInDevice final : public TWaveInDevice {
public:
    TAlsaWaveInDevice(const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback,
        void* Instance)
        : FCapture(std::make_shared<TCapture>(Device, Format, Callback, Instance))
    {
        if (CaptureFaults().ThreadStartFails)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again), "thread");
        FThread = std::thread([Capture = FCapture] { Capture->Work(); });
    }

    ~TAlsaWaveInDevice() override
    {
        try {
            Close();
        } catch (const EWaveDeviceError&) {
            // The thread did not answer within its bound. It is not waited for again: it keeps
            // the capture's state alive until it ends by itself, and leaves the buffers alone.
            FCapture->Abandon();
            FThread.detach();
        }
    }

    void AddBuffer(TWaveHeader& Header) override { FCapture->AddBuffer(Header); }
    void Start() override { FCapture->Start(); }
    void Reset() override { FCapture->Reset(); }

    void Close() override
    {
        if (!FThread.joinable())
            return;
        FCapture->RequestEnd();
        FThread.join(); // it has answered, and only returns from its loop
    }

    std::string LastError() const override { return FCapture->LastError(); }
    TWaveInCounters Counters() const override { return FCapture->Counters(); }

private:
    std::shared_ptr<TCapture> FCapture;
    std::thread FThread;
};

} // namespace

TCaptureFaults& CaptureFaults()
{
    static TCaptureFaults Faults;
    return Faults;
}

std::unique_ptr<TWaveInDevice> OpenCaptureDevice(
    const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
{
    return std::make_unique<TAlsaWaveInDevice>(Device, Format, Callback, Instance);
}

} // namespace Alsa
