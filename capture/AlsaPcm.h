// The parts of the ALSA backend of the wave-in device interface, shared by its files: the
// device list (AlsaDeviceList.cpp), the formats a device accepts (AlsaFormat.cpp), one open
// capture device with its thread (AlsaCaptureDevice.cpp) and the backend (AlsaWaveDevice.cpp).
#pragma once

#include "LossCounters.h"
#include "WaveDevice.h"

#include <alsa/asoundlib.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace Alsa {

inline constexpr size_t MaxNameLength = 31;

inline std::string AlsaError(const std::string& What, int Error)
{
    return What + ": " + snd_strerror(Error);
}

// A PCM handle that closes itself.
class TPcmHandle {
public:
    TPcmHandle() = default;
    ~TPcmHandle() { Reset(); }
    TPcmHandle(const TPcmHandle&) = delete;
    TPcmHandle& operator=(const TPcmHandle&) = delete;

    int Open(const std::string& Name, snd_pcm_stream_t Stream, int Mode)
    {
        Reset();
        return snd_pcm_open(&FPcm, Name.c_str(), Stream, Mode);
    }
    void Reset()
    {
        if (FPcm)
            snd_pcm_close(FPcm);
        FPcm = nullptr;
    }
    snd_pcm_t* Get() const { return FPcm; }

private:
    snd_pcm_t* FPcm = nullptr;
};

// An eventfd that closes itself.
class TWakeDescriptor {
public:
    TWakeDescriptor()
        : FFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    {
        if (FFd < 0)
            throw EWaveDeviceError("Cannot create the capture thread's wake-up descriptor");
    }
    ~TWakeDescriptor() { close(FFd); }
    TWakeDescriptor(const TWakeDescriptor&) = delete;
    TWakeDescriptor& operator=(const TWakeDescriptor&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

snd_pcm_format_t SampleFormat(uint16_t BitsPerSample);

// Sets an open capture PCM up for Format (interleaved, a ring of about a second, 50 ms periods,
// started only explicitly) and returns the ring's frames; raises saying what is not supported.
snd_pcm_uframes_t ConfigureCapture(snd_pcm_t* Pcm, const TPcmFormat& Format);

// Frames that an overrun of a capture PCM has lost, asked before its recovery: the overrun stops
// the PCM with a full ring, which the recovery's prepare discards, and the time from the stop to
// the restart is lost as well. Ring frames alone when the PCM cannot tell its state.
uint64_t OverrunLostFrames(snd_pcm_t* Pcm, snd_pcm_uframes_t RingFrames, uint32_t Rate);

struct TAlsaDevice {
    std::string Pcm; // ALSA PCM name to open
    std::string Name; // product name for the capabilities
    // Stable identifier: ALSA's hint name ("default", "hw:CARD=PCH,DEV=0"), which names the card
    // by its id and so stays the same when the cards are numbered in another order.
    std::string Id;
};

// Text shortened to at most MaxNameLength bytes at a word boundary, without the separator before
// the cut ("Card Name: Device" may become "Card Name"); a single long word is cut.
std::string ShortName(const std::string& Text);

// The devices of one direction: "default" when it opens, then each card's devices.
std::vector<TAlsaDevice> EnumerateDevices(snd_pcm_stream_t Stream);

// The capabilities of a listed device; raises when it cannot be opened.
TWaveCaps QueryCaps(const TAlsaDevice& Device, snd_pcm_stream_t Stream);

// Faults that tests inject into the capture devices (the program never sets them): a capture
// thread that cannot be started, a read of the PCM that hangs, a shorter bound on the wait for
// the thread's answer.
struct TCaptureFaults {
    bool ThreadStartFails = false; // taken at open
    std::function<void()> BeforeRead; // taken at open; runs on the capture thread before a read
    std::chrono::milliseconds AnswerBound{ 10000 }; // taken at each request to the thread
};
// The faults in force; set by tests while no other thread uses a capture device.
TCaptureFaults& CaptureFaults();

// Reading one capture PCM on its capture thread: reads that do not block, waits in poll on the
// PCM's descriptors and a wake-up eventfd, the recovery of overruns and suspends, and the count
// of what is lost. The capture device (AlsaCaptureDevice.cpp) builds its thread on it.
class TPcmReader {
protected:
    explicit TPcmReader(uint32_t Rate)
        : FRate(Rate)
    {
    }

    // Reads up to Frames frames, waiting in poll when none has come (unless Wait is false); 0
    // when interrupted, or when nothing has come and Wait is false. Runs without the capture's
    // lock. Recovers overruns and suspends; a negative result is a failure.
    int ReadFrames(uint8_t* Data, snd_pcm_uframes_t Frames, bool Wait = true);
    // 0 when the read may be tried again, else the error that fails the device.
    int Recover(int Error);
    // Capture thread, before the recovery's prepare.
    void CountOverrun();
    // Waits in poll for the PCM or the wake-up descriptor, at most twice the drop delay.
    void AwaitInput();
    // Sleeps up to Bound unless woken.
    void AwaitWake(std::chrono::milliseconds Bound);
    void DrainWake();

    TPcmHandle FPcm;
    std::function<void()> FBeforeRead; // an injected fault
    TWakeDescriptor FWake;
    std::chrono::milliseconds FDropAfter{ 500 };
    std::vector<pollfd> FPollFds; // the wake-up descriptor and the PCM's; capture thread
    uint64_t FIdleWakeups = 0; // poll's wake-ups without sound, for the debug log; capture thread
    TLossCounters FLosses; // counted by the capture thread
    bool FDropping = false; // the last sound read was dropped; capture thread
    uint32_t FRate;
    snd_pcm_uframes_t FRingFrames = 0;
    // Set with a request to the thread, so that reads and waits without the lock give way.
    std::atomic<bool> FInterrupt{ false };
};

// Opens Device for capture in Format and starts its capture thread (idle until Start).
std::unique_ptr<TWaveInDevice> OpenCaptureDevice(
    const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance);

} // namespace Alsa
