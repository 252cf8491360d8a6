#include "BenchChain.h"

#include "ProcessStats.h"

#include <array>
#include <filesystem>
#include <stdexcept>
#include <thread>

void TTimedAudioIn::Init()
{
    FEndSeen = false;
    TAudioIn::Init();
}

int32_t TTimedAudioIn::GetData(void* Buffer, int32_t BufferSize)
{
    const int32_t Count = TAudioIn::GetData(Buffer, BufferSize);
    if (Count == 0 && !FEndSeen) {
        FEndSeen = true;
        EndTime = std::chrono::steady_clock::now();
        EndCpu = ProcessStats::CpuSeconds();
        EndResident = ProcessStats::ResidentBytes();
        EndWaits = ProcessStats::Waits();
        EndCounts = ChainCounters::Take();
    }
    return Count;
}

TBenchChain::TBenchChain()
{
    UseWaveBackend(FCountedCard);
    FAudIn.InBitsPerSample = 16;
    FAudIn.InChannels = 2;
    FSndIndic.SetInput(&FAudIn);
    FMP3Out.OnProgress = [this](TComponent*) {
        if (FProgressHook)
            FProgressHook(FAudIn.Position.load());
    };
    FMP3Out.OnDone = [this](TComponent*) {
        const auto Now = std::chrono::steady_clock::now();
        const double Cpu = ProcessStats::CpuSeconds();
        std::lock_guard Guard(FLock);
        FEndTime = Now;
        FEndCpu = Cpu;
        FEnded = true;
        FEndedSignal.notify_all();
    };
    FMP3Out.OnThreadException = [this](TComponent*, const std::exception& E) {
        std::lock_guard Guard(FLock);
        FFailure = E.what();
        FEnded = true;
        FEndedSignal.notify_all();
    };
}

TRecordResult TBenchChain::Record(const TRecordSettings& Settings)
{
    TSimulatedSignal Signal;
    Signal.Kind = TSimulatedSignal::skPcm;
    Signal.Pcm = Settings.Pcm->Bytes; // shared, not copied
    FCard->SetSignal(Signal);
    FCard->SetPacing(Settings.Card == TBenchCard::RealTime ? TSimulatedPacing::RealTime
                                                           : TSimulatedPacing::FlatOut);
    FAudIn.InSampleRate = Settings.Pcm->SampleRate;
    FAudIn.RecTime = Settings.Seconds;
    FMP3Out.SetBitRate(Settings.BitRate);
    FMP3Out.SetFileName(Settings.FileName);
    FMP3Out.SetInput(Settings.Indicator ? static_cast<TACSInput*>(&FSndIndic) : &FAudIn);
    FProgressHook = Settings.OnProgress;
    {
        std::lock_guard Guard(FLock);
        FEnded = false;
        FFailure.clear();
    }
    const int64_t DroppedBefore = FCard->DroppedBuffers();
    TBufferCounts& Buffers = *FCountedCard->Counts();
    Buffers.ResetPeak();
    const int64_t PreparedBefore = Buffers.Prepared.load();
    const int64_t AllocatedBefore = FAudIn.BuffersAllocated();
    const ChainCounters::TSnapshot CountsBefore = ChainCounters::Take();

    const int64_t WaitsBefore = ProcessStats::Waits();
    const double StartCpu = ProcessStats::CpuSeconds();
    const auto Start = std::chrono::steady_clock::now();
    FMP3Out.Run();
    std::thread LevelReader;
    if (Settings.ReadLevels)
        LevelReader = std::thread([this] { ReadLevelsUntilEnd(); });
    try {
        AwaitEnd(Settings);
    } catch (...) {
        if (LevelReader.joinable())
            LevelReader.join();
        throw;
    }
    if (LevelReader.joinable())
        LevelReader.join();
    const ChainCounters::TSnapshot Counted = ChainCounters::Since(CountsBefore);

    TRecordResult Result;
    Result.WallSeconds = std::chrono::duration<double>(FAudIn.EndTime - Start).count();
    Result.CpuSeconds = FAudIn.EndCpu - StartCpu;
    Result.WallSecondsToDone = std::chrono::duration<double>(FEndTime - Start).count();
    Result.ResidentAtEnd = FAudIn.EndResident;
    Result.CapturedBytes = FAudIn.Position.load();
    Result.Mp3Bytes = static_cast<int64_t>(std::filesystem::file_size(Settings.FileName));
    Result.DroppedBuffers = FCard->DroppedBuffers() - DroppedBefore;
    Result.PeakBuffersHeld = Buffers.PeakHeld.load();
    Result.BuffersPrepared = Buffers.Prepared.load() - PreparedBefore;
    Result.BuffersAllocated = FAudIn.BuffersAllocated() - AllocatedBefore;
    Result.Allocations = Counted.Allocations;
    Result.CopiedBytes = FAudIn.EndCounts.CopiedBytes - CountsBefore.CopiedBytes;
    Result.Copies = FAudIn.EndCounts.Copies - CountsBefore.Copies;
    if (WaitsBefore >= 0 && FAudIn.EndWaits >= 0)
        Result.Waits = FAudIn.EndWaits - WaitsBefore;
    FProgressHook = nullptr;
    return Result;
}

void TBenchChain::AwaitEnd(const TRecordSettings& Settings)
{
    std::unique_lock Guard(FLock);
    const auto Bound = std::chrono::seconds(Settings.Seconds) + std::chrono::minutes(2);
    if (!FEndedSignal.wait_for(Guard, Bound, [&] { return FEnded; })) {
        Guard.unlock();
        FMP3Out.Stop();
        throw std::runtime_error("The recording of " + std::to_string(Settings.Seconds)
            + " s did not end within its length plus two minutes");
    }
    if (!FFailure.empty())
        throw std::runtime_error("The recording failed: " + FFailure);
}

void TBenchChain::ReadLevelsUntilEnd()
{
    std::array<double, TSoundIndicator::LevelCount> Levels{};
    std::unique_lock Guard(FLock);
    // The window's 100 ms timer; the wait ends early when the run does.
    while (!FEndedSignal.wait_for(Guard, std::chrono::milliseconds(100), [&] { return FEnded; })) {
        Guard.unlock();
        FSndIndic.TakeLevels(Levels);
        Guard.lock();
    }
}
