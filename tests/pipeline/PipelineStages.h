// Stages written for the pipeline tests: a counting source, a pass-through converter and a sink
// whose steps can be scripted and observed from the test's thread.
#pragma once

#include "ACS_Classes.h"
#include "TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A log that several threads append to.
class TTestLog {
public:
    void Add(const std::string& Line)
    {
        std::lock_guard Lock(FMutex);
        FLines.push_back(Line);
    }
    std::vector<std::string> Lines()
    {
        std::lock_guard Lock(FMutex);
        return FLines;
    }
    bool Has(const std::string& Line)
    {
        std::lock_guard Lock(FMutex);
        return std::find(FLines.begin(), FLines.end(), Line) != FLines.end();
    }

private:
    std::mutex FMutex;
    std::vector<std::string> FLines;
};

// Delivers ChunkBytes per call until TotalBytes are out, then 0. Logs Init and Flush.
class TTestSource : public TACSInput {
public:
    TTestSource(TComponent* AOwner, TTestLog* ALog = nullptr, std::string ALabel = "src")
        : TACSInput(AOwner)
        , FLog(ALog)
        , FLabel(std::move(ALabel))
    {
    }

    int32_t GetBitsPerSample() override { return 16; }
    int32_t GetChannels() override { return 2; }
    int32_t GetSampleRate() override { return 44100; }

    int32_t GetData(void* Buffer, int32_t BufferSize) override
    {
        if (!Busy)
            throw EACSException("The Stream is not opened");
        Reads++;
        if (BeforeRead)
            BeforeRead();
        if (FailReads)
            throw EACSException("read failed");
        const int32_t Left = TotalBytes < 0 ? ChunkBytes : TotalBytes - Position;
        const int32_t Count = std::min({ ChunkBytes, BufferSize, std::max(Left, 0) });
        std::memset(Buffer, 0x11, static_cast<size_t>(Count));
        Position += Count;
        return Count;
    }
    void Init() override
    {
        Log("Init " + FLabel);
        if (FailInit)
            throw EACSException("init failed");
        Busy = true;
        Position = 0;
        Size = PlannedSize;
    }
    void Flush() override
    {
        Log("Flush " + FLabel);
        Busy = false;
        if (FailFlush)
            throw EACSException("flush failed");
    }

    int32_t ChunkBytes = 100;
    int32_t TotalBytes = -1; // -1: never ends by itself
    int32_t PlannedSize = -1;
    std::atomic<bool> FailReads{ false };
    bool FailInit = false;
    bool FailFlush = false;
    std::atomic<int> Reads{ 0 };
    std::function<void()> BeforeRead; // runs on the reading thread inside GetData

private:
    void Log(const std::string& Line)
    {
        if (FLog)
            FLog->Add(Line);
    }

    TTestLog* FLog;
    std::string FLabel;
};

// A source that leaves the chain before it goes, as every stage that others read from does, so
// that it can be deleted while a run reads from it.
class TWithdrawingSource : public TTestSource {
public:
    using TTestSource::TTestSource;
    ~TWithdrawingSource() override { Withdraw(); }
};

// Hands on its input's bytes unchanged.
class TTestConverter : public TACSConverter {
public:
    using TACSConverter::TACSConverter;

    int32_t GetBitsPerSample() override { return GetInput()->GetBitsPerSample(); }
    int32_t GetChannels() override { return GetInput()->GetChannels(); }
    int32_t GetSampleRate() override { return GetInput()->GetSampleRate(); }
    int32_t GetData(void* Buffer, int32_t BufferSize) override
    {
        // The input may be exchanged as soon as the lock is released.
        InputLock.Acquire();
        TACSInput* In = GetInput();
        const int32_t Count = In->GetData(Buffer, BufferSize);
        Position = In->Position.load();
        InputLock.Release();
        return Count;
    }
    void Init() override
    {
        Busy = true;
        GetInput()->Init();
        Size = GetInput()->Size.load();
        Position = 0;
    }
    void Flush() override
    {
        if (GetInput())
            GetInput()->Flush();
        Busy = false;
    }

    bool InputLockSet() const { return InputLock.IsSet(); }
    void HoldInputLock() { InputLock.Acquire(); }
};

// A sink that reads blocks and counts what happens; Prepare and Done can be made to fail.
class TTestSink : public TACSOutput {
public:
    explicit TTestSink(TComponent* AOwner)
        : TACSOutput(AOwner)
    {
    }
    ~TTestSink() override { TerminateWorker(); }

    bool DoOutput(bool Abort) override
    {
        if (!CanOutput)
            return true;
        ReportProgress();
        if (Abort) {
            AbortedPasses++;
            if (Log)
                Log->Add("Abort");
            return false;
        }
        uint8_t Block[256];
        const int32_t Count = ReadInput(Block, sizeof Block);
        if (Count == 0)
            return false;
        BytesRead += Count;
        Passes++;
        return true;
    }
    void Done() override
    {
        DoneCalls++;
        if (Log)
            Log->Add("Done");
        if (FailDone)
            throw EACSException("done failed");
        FlushInput();
    }
    void Prepare() override
    {
        PrepareCalls++;
        if (FailPrepare)
            throw EACSException("prepare failed");
        GetInput()->Init();
    }

    bool InputLockSet() const { return InputLock.IsSet(); }
    bool WorkerSuspended() const { return Thread.Suspended(); }
    bool TerminateRequested() const { return Thread.TerminateRequest; }

    std::atomic<int> PrepareCalls{ 0 };
    std::atomic<int> DoneCalls{ 0 };
    std::atomic<int> Passes{ 0 };
    std::atomic<int> AbortedPasses{ 0 };
    std::atomic<int64_t> BytesRead{ 0 };
    bool FailPrepare = false;
    std::atomic<bool> FailDone{ false };
    TTestLog* Log = nullptr; // outlives the sink, so a test can read it after destruction
};
