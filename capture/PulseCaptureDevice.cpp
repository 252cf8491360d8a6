// One open PulseAudio record stream, served as a wave-in device.
//
// How it works: the stream has a connection and a main-loop thread of its own. The library
// calls back on that thread, with the loop's lock held, whenever sound has arrived; the callback
// copies it into the oldest queued buffer and hands each full buffer to the notification, in the
// order they were added, without allocating (the queue is linked through the headers). The
// sound stays in the library's buffer while no buffer is queued, up to half a second; what comes
// beyond that is dropped and counted, as is a hole that the server reports in the sound (sound
// it lost itself). Every other operation takes the loop's lock on the caller's thread.
//
// The stream is connected corked; Start uncorks it. Reset corks it, asks the server to flush it
// and waits for that at most AnswerBound, discards what has come meanwhile and returns every
// queued buffer with the bytes recorded so far. A server that goes away fails the stream: the
// notification gets wimError and LastError says why. Close ends the stream and the connection's
// thread, after which nothing calls back.
#include "LossCounters.h"
#include "PulseWave.h"

#include <algorithm>
#include <cstring>

namespace Pulse {

namespace {

// Sound kept while no buffer is queued, and the fragments the server sends.
constexpr uint32_t KeepMilliseconds = 500;
constexpr uint32_t FragmentMilliseconds = 50;

uint32_t BytesOf(uint32_t Milliseconds, const TPcmFormat& Format)
{
    const uint64_t Frames = uint64_t{ Format.SamplesPerSec } * Milliseconds / 1000;
    return static_cast<uint32_t>(std::max<uint64_t>(1, Frames) * Format.BlockAlign);
}

pa_sample_spec SampleSpec(const TPcmFormat& Format)
{
    pa_sample_spec Spec{};
    if (Format.BitsPerSample == 8)
        Spec.format = PA_SAMPLE_U8;
    else if (Format.BitsPerSample == 16)
        Spec.format = PA_SAMPLE_S16LE;
    else
        throw EWaveDeviceError(
            "Unsupported sample size of " + std::to_string(Format.BitsPerSample) + " bits");
    Spec.rate = Format.SamplesPerSec;
    Spec.channels = static_cast<uint8_t>(std::min<uint16_t>(Format.Channels, 255));
    if (!pa_sample_spec_valid(&Spec) || Format.Channels != Spec.channels
        || Format.BlockAlign != pa_frame_size(&Spec))
        throw EWaveDeviceError("Unsupported format: " + std::to_string(Format.Channels)
            + " channels of " + std::to_string(Format.BitsPerSample) + " bits at "
            + std::to_string(Format.SamplesPerSec) + " Hz");
    return Spec;
}

class TPulseWaveInDevice final : public TWaveInDevice {
public:
    TPulseWaveInDevice(
        const TDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
        : FCallback(Callback)
        , FInstance(Instance)
        , FFrameBytes(Format.BlockAlign)
        , FKeepBytes(BytesOf(KeepMilliseconds, Format))
    {
        const pa_sample_spec Spec = SampleSpec(Format);
        FConnection = std::make_unique<TConnection>();
        Connect(Device, Spec, BytesOf(FragmentMilliseconds, Format));
    }

    ~TPulseWaveInDevice() override { Close(); }

    void AddBuffer(TWaveHeader& Header) override
    {
        TConnection::TLock Lock(Connection());
        CheckAddBuffer(Header);
        MarkQueued(Header);
        *FTail = &Header;
        FTail = &Header.Next;
        // Sound kept meanwhile goes into it now, not with the next fragment.
        FConnection->Api()->defer_enable(FDeferred, 1);
    }

    void Start() override
    {
        TConnection::TLock Lock(Connection());
        if (FStarted || FFailed)
            return;
        Discard(); // what came before the start is not part of the recording
        if (pa_operation* Operation = pa_stream_cork(FStream, 0, nullptr, nullptr))
            pa_operation_unref(Operation);
        else
            throw EWaveDeviceError("Cannot start the recording: " + FConnection->LastError());
        FStarted = true;
    }

    void Reset() override
    {
        bool Answered = true;
        {
            TConnection::TLock Lock(Connection());
            FStarted = false;
        }
        if (Streaming())
            Answered = CorkAndFlush();
        TWaveHeader* Returned;
        {
            TConnection::TLock Lock(*FConnection);
            Discard();
            Returned = FHead;
            FHead = nullptr;
            FTail = &FHead;
        }
        // The thread that resets gets them, in the order they were queued.
        while (Returned != nullptr) {
            TWaveHeader* Next = Returned->Next;
            MarkDone(*Returned);
            FCallback(FInstance, wimData, Returned);
            Returned = Next;
        }
        if (!Answered)
            throw EWaveDeviceError("The sound server does not answer");
    }

    // A pause: what came before it goes into the queued buffers, the stream is corked and
    // flushed as for a reset, and the buffer being filled comes back when it holds sound; the
    // others stay queued for Start.
    void Stop() override
    {
        TWaveHeader* Partial = nullptr;
        {
            TConnection::TLock Lock(Connection());
            if (!FStarted || FFailed)
                return;
            Drain();
            FStarted = false;
            if (FHead != nullptr && FHead->BytesRecorded > 0) {
                Partial = FHead;
                FHead = Partial->Next;
                if (FHead == nullptr)
                    FTail = &FHead;
            }
        }
        const bool Answered = !Streaming() || CorkAndFlush();
        if (Partial != nullptr) {
            MarkDone(*Partial);
            FCallback(FInstance, wimData, Partial);
        }
        if (!Answered)
            throw EWaveDeviceError("The sound server does not answer");
    }

    void Close() override
    {
        if (!FConnection)
            return;
        {
            TConnection::TLock Lock(*FConnection);
            FClosed = true;
            FHead = nullptr;
            FTail = &FHead;
            if (FDeferred)
                FConnection->Api()->defer_free(FDeferred);
            FDeferred = nullptr;
            if (FStream) {
                pa_stream_set_read_callback(FStream, nullptr, nullptr);
                pa_stream_set_state_callback(FStream, nullptr, nullptr);
                pa_stream_disconnect(FStream);
                pa_stream_unref(FStream);
            }
            FStream = nullptr;
        }
        FConnection.reset(); // ends the loop's thread: nothing calls back any more
    }

    std::string LastError() const override
    {
        std::lock_guard Guard(FErrorMutex);
        return FError;
    }

    TWaveInCounters Counters() const override { return FLosses.Read(); }

private:
    void Connect(const TDevice& Device, const pa_sample_spec& Spec, uint32_t FragmentBytes)
    {
        pa_channel_map Map;
        pa_channel_map_init_extend(&Map, Spec.channels, PA_CHANNEL_MAP_DEFAULT);
        pa_buffer_attr Attributes;
        Attributes.maxlength = static_cast<uint32_t>(-1);
        Attributes.tlength = Attributes.prebuf = Attributes.minreq = static_cast<uint32_t>(-1);
        Attributes.fragsize = FragmentBytes;
        // A chosen source is recorded or nothing: when it goes, the recording fails instead of
        // going on from another source. The default follows the user's choice of source.
        const bool Default = Device.Name == DefaultSourceName;
        const auto Flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED
            | PA_STREAM_ADJUST_LATENCY | (Default ? 0 : PA_STREAM_DONT_MOVE));
        const std::string What = "Cannot record from \"" + Device.Description + "\"";
        {
            TConnection::TLock Lock(*FConnection);
            FStream = pa_stream_new(FConnection->Context(), "Recording", &Spec, &Map);
            if (FStream == nullptr)
                throw EWaveDeviceError(What + ": " + FConnection->LastError());
            pa_stream_set_state_callback(FStream, &TPulseWaveInDevice::StateChanged, this);
            pa_stream_set_read_callback(FStream, &TPulseWaveInDevice::Arrived, this);
            if (pa_stream_connect_record(
                    FStream, Default ? nullptr : Device.Name.c_str(), &Attributes, Flags)
                < 0) {
                const std::string Failure = FConnection->LastError();
                CloseOnFailure();
                throw EWaveDeviceError(What + ": " + Failure);
            }
        }
        const bool Answered = FConnection->Await([&] {
            const pa_stream_state_t State = pa_stream_get_state(FStream);
            return State == PA_STREAM_READY || !PA_STREAM_IS_GOOD(State);
        });
        TConnection::TLock Lock(*FConnection);
        if (!Answered || pa_stream_get_state(FStream) != PA_STREAM_READY) {
            const std::string Failure
                = Answered ? FConnection->LastError() : "the sound server did not answer";
            CloseOnFailure();
            throw EWaveDeviceError(What + ": " + Failure);
        }
        FDeferred = FConnection->Api()->defer_new(
            FConnection->Api(), &TPulseWaveInDevice::DeferredDrain, this);
        FConnection->Api()->defer_enable(FDeferred, 0);
    }

    // Lets go of a stream that did not connect; the connection ends with the device. Lock held.
    void CloseOnFailure()
    {
        pa_stream_set_read_callback(FStream, nullptr, nullptr);
        pa_stream_set_state_callback(FStream, nullptr, nullptr);
        pa_stream_disconnect(FStream);
        pa_stream_unref(FStream);
        FStream = nullptr;
    }

    // The device's connection; raises once the device is closed. The thread that drives it.
    TConnection& Connection() const
    {
        if (!FConnection)
            throw EWaveDeviceError("The capture device is closed");
        return *FConnection;
    }

    bool Streaming()
    {
        TConnection::TLock Lock(*FConnection);
        return !FFailed && pa_stream_get_state(FStream) == PA_STREAM_READY;
    }

    // Corks the stream and drops what the server holds for it; false when the server does not
    // answer within its bound. A stream that fails meanwhile has nothing left to stop.
    bool CorkAndFlush()
    {
        try {
            FConnection->Complete("Cannot stop the recording", [&]() -> pa_operation* {
                if (pa_operation* Cork = pa_stream_cork(FStream, 1, nullptr, nullptr))
                    pa_operation_unref(Cork);
                return pa_stream_flush(FStream, nullptr, nullptr);
            });
        } catch (const EWaveDeviceError&) {
            // A failed stream has been reported through the notification already; only a
            // server that does not answer makes the reset fail.
            return !Streaming();
        }
        return true;
    }

    static void StateChanged(pa_stream* Stream, void* Self)
    {
        auto& Device = *static_cast<TPulseWaveInDevice*>(Self);
        const pa_stream_state_t State = pa_stream_get_state(Stream);
        if (State == PA_STREAM_FAILED || State == PA_STREAM_TERMINATED)
            Device.Fail(Device.FConnection->Ready()
                    ? "The sound server ended the recording: its source has gone or the recording "
                      "was stopped on the server"
                    : "Lost the connection to the sound server: "
                        + Device.FConnection->LastError());
        Device.FConnection->Signal();
    }

    static void Arrived(pa_stream*, size_t, void* Self)
    {
        static_cast<TPulseWaveInDevice*>(Self)->Drain();
    }

    static void DeferredDrain(pa_mainloop_api* Api, pa_defer_event* Event, void* Self)
    {
        Api->defer_enable(Event, 0);
        static_cast<TPulseWaveInDevice*>(Self)->Drain();
    }

    // Reports the failure once. Loop's thread, lock held.
    void Fail(const std::string& Message)
    {
        if (FFailed || FClosed)
            return;
        FFailed = true;
        {
            std::lock_guard Guard(FErrorMutex);
            FError = Message;
        }
        FCallback(FInstance, wimError, nullptr);
    }

    // Holds the next fragment of the library's buffer; false when there is none. Lock held.
    bool Peek()
    {
        if (FHeld)
            return true;
        if (Readable() == 0)
            return false;
        const void* Data = nullptr;
        size_t Bytes = 0;
        if (pa_stream_peek(FStream, &Data, &Bytes) < 0 || Bytes == 0)
            return false;
        FHeld = true;
        FFragment = static_cast<const uint8_t*>(Data); // null for a hole
        FFragmentBytes = Bytes;
        FFragmentUsed = 0;
        return true;
    }

    // Bytes in the library's buffer, the held fragment's included; none when it cannot tell.
    size_t Readable() const
    {
        const size_t Bytes = pa_stream_readable_size(FStream);
        return Bytes == static_cast<size_t>(-1) ? 0 : Bytes;
    }

    void Release()
    {
        pa_stream_drop(FStream);
        FHeld = false;
        FFragment = nullptr;
        FFragmentBytes = FFragmentUsed = 0;
    }

    // Copies what has come into the queued buffers. Loop's thread, lock held.
    void Drain()
    {
        while (FStarted && !FFailed && !FClosed && Peek()) {
            if (FFragment == nullptr) {
                CountLoss(FFragmentBytes, true);
                Release();
            } else if (FHead == nullptr) {
                DropBeyondKept();
                return;
            } else {
                FillFront();
            }
        }
    }

    void FillFront()
    {
        TWaveHeader& Header = *FHead;
        const uint32_t Length
            = std::min(Header.BufferLength, WaveBufferLength) / FFrameBytes * FFrameBytes;
        const size_t Bytes
            = std::min<size_t>(Length - Header.BytesRecorded, FFragmentBytes - FFragmentUsed);
        std::memcpy(Header.Data + Header.BytesRecorded, FFragment + FFragmentUsed, Bytes);
        Header.BytesRecorded += static_cast<uint32_t>(Bytes);
        FFragmentUsed += Bytes;
        FDropping = false; // sound is kept again: the next loss is a new dropout
        if (FFragmentUsed == FFragmentBytes)
            Release();
        if (Header.BytesRecorded < Length)
            return;
        FHead = Header.Next;
        if (FHead == nullptr)
            FTail = &FHead;
        MarkDone(Header);
        FCallback(FInstance, wimData, &Header);
    }

    // While no buffer is queued: drops the oldest sound beyond what is kept.
    void DropBeyondKept()
    {
        size_t Pending = Readable() - std::min(Readable(), FFragmentUsed);
        while (Pending > FKeepBytes && Peek()) {
            const size_t Bytes = FFragmentBytes - FFragmentUsed;
            CountLoss(Bytes, FFragment == nullptr);
            Release();
            Pending -= std::min(Pending, Bytes);
        }
    }

    // Sound lost: dropped here, or a hole (Overrun) that the server left in it.
    void CountLoss(size_t Bytes, bool Overrun)
    {
        if (Overrun)
            FLosses.Overrun(Bytes / FFrameBytes);
        else
            FLosses.Dropped(Bytes / FFrameBytes, !FDropping);
        FDropping = true;
    }

    // Drops what the library holds. Lock held.
    void Discard()
    {
        if (FStream == nullptr || FFailed)
            return;
        while (Peek())
            Release();
    }

    TWaveInCallback FCallback;
    void* FInstance;
    const uint32_t FFrameBytes;
    const size_t FKeepBytes;
    std::unique_ptr<TConnection> FConnection;
    TLossCounters FLosses; // counted on the loop's thread
    mutable std::mutex FErrorMutex; // guards FError, which any thread may read
    std::string FError;

    // Guarded by the loop's lock.
    pa_stream* FStream = nullptr;
    pa_defer_event* FDeferred = nullptr;
    TWaveHeader* FHead = nullptr; // queued buffers, linked through their headers
    TWaveHeader** FTail = &FHead;
    bool FStarted = false;
    bool FFailed = false;
    bool FClosed = false;
    bool FDropping = false; // the last sound was dropped
    bool FHeld = false; // a fragment is peeked and not yet dropped
    const uint8_t* FFragment = nullptr; // its data, null for a hole
    size_t FFragmentBytes = 0;
    size_t FFragmentUsed = 0;
};

} // namespace

std::unique_ptr<TWaveInDevice> OpenCaptureDevice(
    const TDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
{
    return std::make_unique<TPulseWaveInDevice>(Device, Format, Callback, Instance);
}

} // namespace Pulse
