// The parts of the PulseAudio backend of the wave-in device interface, shared by its files: the
// connection to the sound server (PulseConnection.cpp), the list of its sources and sinks
// (PulseDeviceList.cpp), one open record stream (PulseCaptureDevice.cpp) and the backend
// (PulseWaveDevice.cpp). PipeWire serves the same client library through its PulseAudio service.
#pragma once

#include "WaveDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <pulse/pulseaudio.h>
#include <string>
#include <vector>

namespace Pulse {

// How long a connection attempt and each request to the server may take: a server that does
// not answer within it is taken for gone.
inline constexpr std::chrono::milliseconds AnswerBound{ 3000 };

// Name of the server's default source or sink, which follows the user's choice on the desktop.
inline constexpr const char* DefaultSourceName = "@DEFAULT_SOURCE@";
inline constexpr const char* DefaultSinkName = "@DEFAULT_SINK@";

// A connection to the sound server: a context on a main loop with a thread of its own. Every call
// into the client library is made with the main loop's lock held (TLock), from any thread; the
// library's callbacks run on the main loop's thread with the lock held.
//
// A waiter never waits on the library's own condition, which has no bound: it waits on the
// connection's own one (Await), which every callback that may end a wait signals (Signal).
class TConnection {
public:
    // Connects to the server that the environment names (PULSE_SERVER, the client configuration)
    // or the user's, never starting one; raises EWaveDeviceError saying why when none answers
    // within Bound.
    explicit TConnection(std::chrono::milliseconds Bound = AnswerBound);
    // Ends the connection and the main loop's thread. Any thread but the main loop's.
    ~TConnection();
    TConnection(const TConnection&) = delete;
    TConnection& operator=(const TConnection&) = delete;

    // Holds the main loop's lock for its life.
    class TLock {
    public:
        explicit TLock(TConnection& Connection);
        ~TLock();
        TLock(const TLock&) = delete;
        TLock& operator=(const TLock&) = delete;

    private:
        pa_threaded_mainloop* FLoop;
    };

    // Lock held.
    pa_context* Context() const { return FContext; }
    pa_mainloop_api* Api() const;
    bool Ready() const; // lock held
    // The context's last error, as the library words it. Lock held.
    std::string LastError() const;

    // Waits, without the lock, until Done (called with the lock held) is true or Bound has
    // passed; false when the bound has passed. Not on the main loop's thread.
    bool Await(const std::function<bool()>& Done, std::chrono::milliseconds Bound = AnswerBound);
    // Wakes the waiters of Await. Main loop's thread (a callback), lock held.
    void Signal();

    // Runs Request (which starts an operation, lock held) and waits for it to finish, at most
    // AnswerBound; raises naming What when the request fails or the server does not answer.
    void Complete(const std::string& What, const std::function<pa_operation*()>& Request);

private:
    static void StateChanged(pa_context* Context, void* Self);
    void Release();

    pa_threaded_mainloop* FLoop = nullptr;
    bool FStarted = false; // the loop's thread runs
    pa_context* FContext = nullptr;
    std::mutex FMutex; // guards FGeneration, taken inside the main loop's lock
    std::condition_variable FChanged;
    uint64_t FGeneration = 0; // raised by every Signal
};

// One source or sink of the server as the device list offers it.
struct TDevice {
    std::string Name; // the server's name of it, by which a stream is connected
    std::string Description; // what a person reads
    uint16_t Channels = 2;
};

// The devices of one direction: the server's default first (it follows the user's choice), then
// each source (or sink) in the server's order. A sink's monitor is named after what it records,
// "Playback of" the sink's description. Raises when the server does not answer.
std::vector<TDevice> ListDevices(TConnection& Connection, bool Input);

// Version of the server as a device's driver version: major in the high byte, minor in the low.
uint32_t ServerVersion(TConnection& Connection);

// Opens a record stream from Device in Format on a connection of its own; corked until Start.
std::unique_ptr<TWaveInDevice> OpenCaptureDevice(
    const TDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance);

} // namespace Pulse
