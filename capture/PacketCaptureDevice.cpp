#include "PacketCaptureDevice.h"

#include <algorithm>

TPacketCaptureDevice::TPacketCaptureDevice(
    TOpener Open, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance, TNow Now)
    : FOutRate(Format.SamplesPerSec)
    , FNow(std::move(Now))
    , FFiller(Callback, Instance, 4)
{
    if (Format.FormatTag != 1 || Format.Channels != 2 || Format.BitsPerSample != 16
        || Format.SamplesPerSec == 0)
        throw EWaveDeviceError("What the computer plays is recorded in 16-bit stereo only");
    FThread = std::thread([this, Open = std::move(Open)] { Run(Open); });
    std::unique_lock Lock(FMutex);
    // Opening asks the platform only; it answers or fails.
    FChanged.wait(Lock, [&] { return FOpened || FEnded; });
    if (!FOpened) {
        Lock.unlock();
        FThread.join();
        throw EWaveDeviceError(FError);
    }
}

TPacketCaptureDevice::~TPacketCaptureDevice()
{
    Close();
}

void TPacketCaptureDevice::AddBuffer(TWaveHeader& Header)
{
    CheckAddBuffer(Header);
    MarkQueued(Header);
    try {
        FFiller.Add(Header);
    } catch (const EWaveDeviceError&) {
        Header.Flags &= ~wbInQueue;
        throw;
    }
}

void TPacketCaptureDevice::Start()
{
    Ask([&] { FWantRunning = true; });
}

void TPacketCaptureDevice::Reset()
{
    std::unique_lock Lock(FMutex);
    FWantRunning = false;
    FResetWanted = true;
    FWake.notify_all();
    if (!FChanged.wait_for(Lock, ReturnBound, [&] { return !FResetWanted || FEnded; }))
        throw EWaveDeviceError("The loopback capture did not return "
            + std::to_string(FFiller.Queued()) + " buffers after its reset");
}

void TPacketCaptureDevice::Close()
{
    if (!FThread.joinable())
        return;
    Ask([&] { FQuit = true; });
    FThread.join();
}

std::string TPacketCaptureDevice::LastError() const
{
    std::lock_guard Lock(FMutex);
    return FError;
}

template <typename F> void TPacketCaptureDevice::Ask(F Change)
{
    std::lock_guard Lock(FMutex);
    Change();
    FWake.notify_all();
    FChanged.notify_all();
}

void TPacketCaptureDevice::Run(const TOpener& Open)
{
    try {
        FSource = Open();
        const TMixFormat Format = FSource->Format();
        FConverter.emplace(Format, FOutRate);
        FInRate = Format.SamplesPerSec;
        FChunkFrames = std::max<uint32_t>(FSource->PacketCapacity(), 1);
        FStaging.resize(size_t{ FConverter->MaxOutputFrames(FChunkFrames) } * 2);
    } catch (const EWaveDeviceError& E) {
        FSource.reset();
        Ask([&] {
            FError = E.what();
            FEnded = true;
        });
        return;
    }
    Ask([&] { FOpened = true; });
    Loop();
    FSource.reset();
    Ask([&] { FEnded = true; });
}

void TPacketCaptureDevice::Loop()
{
    for (;;) {
        std::unique_lock Lock(FMutex);
        FWake.wait_for(Lock, PollPeriod);
        const bool Quit = FQuit, WantRunning = FWantRunning, ResetWanted = FResetWanted;
        Lock.unlock();
        try {
            Follow(WantRunning);
            if (ResetWanted && !FFailed) {
                FSource->Reset();
                FConverter->Restart();
                FHavePosition = false;
            }
        } catch (const EWaveDeviceError& E) {
            Fail(E.what());
        }
        if (ResetWanted) {
            FFiller.ReturnAll();
            Ask([&] { FResetWanted = false; });
        }
        if (Quit)
            return;
    }
}

// Starts or stops the source as asked, and takes the packets of a running one.
void TPacketCaptureDevice::Follow(bool WantRunning)
{
    if (FFailed)
        return;
    if (WantRunning != FRunning) {
        // What the source delivered before a reset is recorded, not dropped with its stop.
        if (!WantRunning)
            Drain();
        // The idle time counts from the request on, before the source may have sent anything.
        FProgressAt = FNow();
        if (WantRunning)
            FSource->Start();
        else
            FSource->Stop();
        FRunning = WantRunning;
    }
    if (FRunning)
        Drain();
}

void TPacketCaptureDevice::Drain()
{
    TSoundPacket Packet;
    while (FSource->Next(Packet)) {
        // After a stretch recorded as silence the source's position may have moved on without
        // sound: that is the silence, no loss.
        if (Packet.Discontinuity && FHavePosition && !FSilenceRecorded)
            FFiller.Lost(Packet.Position > FNextPosition
                    ? (Packet.Position - FNextPosition) * FOutRate / FInRate
                    : 0);
        FHavePosition = true;
        FSilenceRecorded = false;
        FNextPosition = Packet.Position + Packet.Frames;
        Convert(Packet.Data, Packet.Frames, Packet.Silent);
        FProgressAt = FNow();
        FSource->Release(Packet);
    }
    RecordIdleTime();
}

// Nothing plays: the silence of the time since the last packet.
void TPacketCaptureDevice::RecordIdleTime()
{
    const auto Idle = std::chrono::duration_cast<std::chrono::nanoseconds>(FNow() - FProgressAt);
    if (Idle < IdleAfter)
        return;
    const uint64_t Frames = static_cast<uint64_t>(Idle.count()) * FInRate / 1000000000;
    Convert(nullptr, static_cast<uint32_t>(std::min<uint64_t>(Frames, UINT32_MAX)), true);
    FSilenceRecorded = true;
    FProgressAt += std::chrono::nanoseconds(Frames * 1000000000 / FInRate);
}

void TPacketCaptureDevice::Convert(const uint8_t* Data, uint32_t Frames, bool Silent)
{
    for (uint32_t Done = 0; Done < Frames;) {
        const uint32_t Chunk = std::min(Frames - Done, FChunkFrames);
        const uint32_t Made = FConverter->Convert(
            Silent ? nullptr : Data + size_t{ Done } * FConverter->InFrameBytes(), Chunk, Silent,
            FStaging.data());
        FFiller.Deliver(reinterpret_cast<const uint8_t*>(FStaging.data()), Made);
        Done += Chunk;
    }
}

void TPacketCaptureDevice::Fail(const std::string& Why)
{
    FFailed = true;
    FRunning = false;
    {
        std::lock_guard Lock(FMutex);
        FError = Why;
    }
    FFiller.Fail();
}
