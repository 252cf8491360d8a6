// The wave-in device interface that the sound-card source records through.
//
// A backend answers the device queries (counts and capabilities of input and output devices)
// and opens input devices. An open input device takes capture buffers (wave headers with their
// own data blocks), fills them in the order they were added, and hands each filled one back
// through the notification given at open. The source never touches a buffer's data while the
// device holds it.
//
// Buffer life: Prepare (flag wbPrepared) -> AddBuffer (wbInQueue, the device owns the contents)
// -> notification wimData (wbDone, BytesRecorded set, the source owns it again) -> Unprepare.
//
// The backends of one platform are built, chosen by CMake: WinmmWaveDevice.cpp on Windows; on
// Linux the sound server's (Pulse*.cpp) and ALSA's (Alsa*.cpp), between which
// LinuxWaveBackend.cpp chooses. CreatePlatformWaveBackend gives the platform's; the simulated
// device (SimulatedWaveDevice.h) is always built and is installed by tests with UseWaveBackend
// (ACS_Audio.h).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

// Bytes of one capture buffer's data block.
inline constexpr uint32_t WaveBufferLength = 16384;

// Device number that stands for the system's default input (the platform's wave mapper).
inline constexpr int32_t WaveMapper = -1;

// Header flags.
inline constexpr uint32_t wbDone = 0x01; // filled and returned by the device
inline constexpr uint32_t wbPrepared = 0x02; // prepared for the device
inline constexpr uint32_t wbInQueue = 0x10; // held by the device

// One capture buffer's header. Data points at the buffer's own block of BufferLength bytes.
struct TWaveHeader {
    uint8_t* Data = nullptr;
    uint32_t BufferLength = 0;
    uint32_t BytesRecorded = 0;
    uint32_t Flags = 0;
    TWaveHeader* Next = nullptr; // link of the source's filled list
};

// The PCM format an input device is opened with (format tag 1, PCM).
struct TPcmFormat {
    uint16_t FormatTag = 1;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
};

// The platform's standard-format bits, as a device reports them (rate 1 = 11.025 kHz,
// 2 = 22.05 kHz, 4 = 44.1 kHz; M/S mono or stereo; 08/16 bits).
inline constexpr uint32_t WaveFormat1M08 = 0x001;
inline constexpr uint32_t WaveFormat1S08 = 0x002;
inline constexpr uint32_t WaveFormat1M16 = 0x004;
inline constexpr uint32_t WaveFormat1S16 = 0x008;
inline constexpr uint32_t WaveFormat2M08 = 0x010;
inline constexpr uint32_t WaveFormat2S08 = 0x020;
inline constexpr uint32_t WaveFormat2M16 = 0x040;
inline constexpr uint32_t WaveFormat2S16 = 0x080;
inline constexpr uint32_t WaveFormat4M08 = 0x100;
inline constexpr uint32_t WaveFormat4S08 = 0x200;
inline constexpr uint32_t WaveFormat4M16 = 0x400;
inline constexpr uint32_t WaveFormat4S16 = 0x800;

// The platform bit of a standard format, as used in TWaveCaps::Formats.
uint32_t PlatformFormatBit(uint32_t SamplesPerSec, uint16_t Channels, uint16_t BitsPerSample);

// Capabilities of one device.
struct TWaveCaps {
    std::string Name; // product name (winmm's and ALSA's have at most 31 characters)
    uint32_t DriverVersion = 0; // major version in the high byte, minor in the low byte
    uint32_t Formats = 0; // WaveFormat* bits of the standard formats the device accepts
    uint16_t Channels = 0;
};

// A device query, open or operation failed; the message says why.
class EWaveDeviceError : public std::runtime_error {
public:
    explicit EWaveDeviceError(const std::string& Message)
        : std::runtime_error(Message)
    {
    }
};

enum TWaveInMessage {
    wimData, // Header has been filled (or returned by Reset) and belongs to the source again
    wimError, // the device has failed and delivers no more; LastError says why; Header is null
};

// Notification of an open input device. Runs on the device's own thread, or on the thread that
// calls Reset; it must only take a short lock and link the header, and must not call the device.
using TWaveInCallback = void (*)(void* Instance, TWaveInMessage Message, TWaveHeader* Header);

// What an open input device has lost so far. A dropout is one stretch of lost sound: an overrun
// of the platform's ring, a stretch of time without a queued buffer, or a gap in the sound the
// device delivers; LostFrames counts the frames of all of them (an overrun's as far as the
// platform tells, else estimated from the time the device stood still).
struct TWaveInCounters {
    uint64_t DroppedFrames = 0; // recorded while no buffer was queued
    uint64_t Overruns = 0; // times the platform's ring overflowed and was recovered
    uint64_t Dropouts = 0;
    uint64_t LostFrames = 0;
};

// An open input device. Every operation is called from the one thread that drives the source
// (never from the notification) unless it says otherwise. Failures raise EWaveDeviceError.
class TWaveInDevice {
public:
    virtual ~TWaveInDevice() = default;
    TWaveInDevice() = default;
    TWaveInDevice(const TWaveInDevice&) = delete;
    TWaveInDevice& operator=(const TWaveInDevice&) = delete;

    // Marks a header as ready for the device. Does not block.
    virtual void Prepare(TWaveHeader& Header);
    // Queues a prepared header at the end of the device's queue. Does not block.
    virtual void AddBuffer(TWaveHeader& Header) = 0;
    // Starts recording into the queued buffers, also after Stop. Does not block.
    virtual void Start() = 0;
    // Stops recording without losing anything: the buffer being filled comes back through the
    // notification with the sound recorded so far, when it holds any; the other queued buffers
    // stay queued, and Start records into them. The time while stopped is neither recorded nor
    // counted as lost. Start and Stop may be called on another thread than the one that queues
    // buffers, never at the same time as each other, Reset or Close. Blocks briefly. A device
    // that cannot stop so raises (the base's version).
    virtual void Stop();
    // Stops recording and returns every queued buffer through the notification (with the bytes
    // recorded so far) before it returns. The device stays open and can be started again.
    // Blocks until the device's thread has let go of the buffers.
    virtual void Reset() = 0;
    // Releases a header that the device no longer holds. Does not block.
    virtual void Unprepare(TWaveHeader& Header);
    // Stops the device's thread and releases the device; buffers still queued are not returned
    // (Reset first). Idempotent; the destructor closes too. Blocks until the thread has ended.
    virtual void Close() = 0;
    // Why the device failed, empty while it works. Any thread.
    virtual std::string LastError() const = 0;
    // Sound lost so far. Any thread.
    virtual TWaveInCounters Counters() const = 0;
};

// The device queries and the open of one platform (or of the simulated device). Any thread;
// the queries may block briefly while the platform is asked.
class TWaveBackend {
public:
    virtual ~TWaveBackend() = default;

    virtual int32_t OutputDeviceCount() = 0;
    virtual int32_t InputDeviceCount() = 0;
    // Capabilities of device Device (0-based, or WaveMapper); raises for an unknown device.
    virtual TWaveCaps OutputCaps(int32_t Device) = 0;
    virtual TWaveCaps InputCaps(int32_t Device) = 0;
    // The name of input device Device for messages: InputCaps(Device).Name unless the backend
    // knows it without asking the device (which may be the one that has just failed).
    virtual std::string InputName(int32_t Device) { return InputCaps(Device).Name; }
    // A stable identifier of input device Device: it names the same input at the program's next
    // start, when the input's number may have changed. The input's name unless the backend knows
    // a better one (ALSA's PCM name, a sound server's source name, an endpoint's id).
    virtual std::string InputId(int32_t Device) { return InputName(Device); }
    // Lists the inputs afresh, so that inputs that have appeared or gone since count; numbers
    // given out before may name other inputs afterwards. Nothing to do where the list is read
    // from the platform at every query.
    virtual void RefreshInputs() { }
    // Opens input device Device (0-based, or WaveMapper) for Format; Callback(Instance, ...) is
    // called for each buffer the device returns. Raises when the device cannot be opened.
    virtual std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
        = 0;
};

// The backend of the platform this program is built for.
std::unique_ptr<TWaveBackend> CreatePlatformWaveBackend();

// Shared checks of the buffer life above, for the backends: AddBuffer needs a prepared header
// with a data block, not already queued; the device marks it done when it returns it.
void CheckAddBuffer(const TWaveHeader& Header);
void MarkQueued(TWaveHeader& Header);
void MarkDone(TWaveHeader& Header);
