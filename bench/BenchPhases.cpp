#include "BenchPhases.h"

#include "BareEncoder.h"
#include "CliEncoders.h"
#include "MeteringCost.h"
#include "ProcessStats.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <vector>

namespace {

constexpr int32_t BlockBytes = 16384;

const TEncodeCase Cases[] = { { 44100, br128 }, { 44100, br320 }, { 22050, br64 } };

} // namespace

TBenchPhases::TBenchPhases(const TBenchOptions& Options, std::string WorkDir)
    : FOptions(Options)
    , FWorkDir(std::move(WorkDir))
    , FPcm44(MakeBenchPcm(44100, Options.PcmSeconds))
    , FPcm22(MakeBenchPcm(22050, Options.PcmSeconds))
{
}

const TBenchPcm& TBenchPhases::PcmFor(int32_t SampleRate) const
{
    return SampleRate == FPcm44.SampleRate ? FPcm44 : FPcm22;
}

std::string TBenchPhases::File(const std::string& Name) const
{
    return FWorkDir + "/" + Name;
}

// A file that does not exist yet: every contender creates its output anew, so that none of them
// pays for truncating a file of its own that the system may still be writing back.
std::string TBenchPhases::FreshFile(const std::string& Name) const
{
    const std::string Path = File(Name);
    std::filesystem::remove(Path);
    return Path;
}

// ---------------------------------------------------------------------------------------------
// Encoding cases

std::string TBenchPhases::RawFile(int32_t SampleRate) const
{
    return File("pcm-" + std::to_string(SampleRate) + ".raw");
}

// The command-line encoders read the same PCM from files.
void TBenchPhases::PrepareCli(TBenchFigures& Figures)
{
    Figures.CliVersion = FOptions.UseCli ? LameCli::Version() : std::string();
    Figures.FfmpegVersion = FOptions.UseCli ? FfmpegCli::Version() : std::string();
    if (Figures.CliVersion.empty() && Figures.FfmpegVersion.empty())
        return;
    for (const TBenchPcm* Pcm : { &FPcm44, &FPcm22 }) {
        std::ofstream Raw(RawFile(Pcm->SampleRate), std::ios::binary);
        Raw.write(reinterpret_cast<const char*>(Pcm->Bytes->data()),
            static_cast<std::streamsize>(Pcm->Bytes->size()));
        if (!Raw)
            throw std::runtime_error("Cannot write the raw PCM for the command-line encoders");
    }
    FCliReady = !Figures.CliVersion.empty();
    FFfmpegReady = !Figures.FfmpegVersion.empty();
}

void TBenchPhases::EncodingCases(TBenchFigures& Figures)
{
    PrepareCli(Figures);
    Figures.Cases.clear();
    for (const TEncodeCase& Case : Cases) {
        if (FOptions.OnlySampleRate > 0 && Case.SampleRate != FOptions.OnlySampleRate)
            continue;
        Figures.Cases.emplace_back();
        Figures.Cases.back().Case = Case;
    }
    for (int Repetition = 0; Repetition < FOptions.Repetitions; ++Repetition) {
        std::cerr << "repetition " << Repetition + 1 << " of " << FOptions.Repetitions << "\n";
        for (TCaseFigures& Case : Figures.Cases)
            MeasureOnce(Case, Repetition);
    }
}

TRecordResult TBenchPhases::RecordCase(TCaseFigures& Figures, bool Indicator)
{
    const TEncodeCase& Case = Figures.Case;
    TRecordSettings Settings;
    Settings.Pcm = &PcmFor(Case.SampleRate);
    Settings.Seconds = FOptions.PcmSeconds;
    Settings.BitRate = Case.BitRate;
    Settings.Indicator = Indicator;
    Settings.Card = TBenchCard::FlatOut;
    Settings.FileName = FreshFile(Indicator ? "chain.mp3" : "direct.mp3");
    const TRecordResult Result = FChain.Record(Settings);
    const int64_t Blocks = (Result.CapturedBytes + BlockBytes - 1) / BlockBytes;
    Figures.PeakBuffersHeld = std::max(Figures.PeakBuffersHeld, Result.PeakBuffersHeld);
    Figures.BuffersAllocated += Result.BuffersAllocated;
    Figures.RecordedBlocks += Blocks;
    if (Indicator) {
        Figures.ChainAllocations += Result.Allocations;
        Figures.ChainCopies += Result.Copies;
        Figures.ChainCopiedBytes += Result.CopiedBytes;
        Figures.ChainWaits
            = Result.Waits < 0 || Figures.ChainWaits < 0 ? -1 : Figures.ChainWaits + Result.Waits;
        Figures.ChainBlocks += Blocks;
    }
    return Result;
}

// The variants of one case, in an order that rotates with the repetition and runs backwards in
// every other one, so that none of them always runs first (on a cold cache) or right after the
// same neighbour.
void TBenchPhases::MeasureOnce(TCaseFigures& Figures, int Repetition)
{
    enum TVariant { vBare, vBareAgain, vChain, vDirect, vLame, vFfmpeg, VariantCount };
    const TEncodeCase& Case = Figures.Case;
    const TBenchPcm& Pcm = PcmFor(Case.SampleRate);
    const int Kbps = MP3BitRateKbps(Case.BitRate);
    const double Seconds = FOptions.PcmSeconds;
    std::vector<TVariant> Variants = { vBare, vBareAgain, vChain, vDirect };
    if (FCliReady)
        Variants.push_back(vLame);
    if (FFfmpegReady)
        Variants.push_back(vFfmpeg);
    double Wall[VariantCount] = {}, Cpu[VariantCount] = {};
    int64_t BareBlocks = 1;
    for (size_t Step = 0; Step < Variants.size(); ++Step) {
        const size_t Place = Repetition % 2 ? Variants.size() - 1 - Step : Step;
        const TVariant Variant = Variants[(Place + Repetition) % Variants.size()];
        if (Variant == vBare || Variant == vBareAgain) {
            const TBareEncodeResult Bare
                = EncodeBare(Pcm, FOptions.PcmSeconds, Kbps, FreshFile("bare.mp3"));
            Wall[Variant] = Bare.WallSeconds;
            Cpu[Variant] = Bare.CpuSeconds;
            BareBlocks = std::max<int64_t>(1, Bare.Blocks);
        } else if (Variant == vLame) {
            Wall[vLame]
                = LameCli::Encode(RawFile(Case.SampleRate), Case.SampleRate, Kbps, File("cli.mp3"));
        } else if (Variant == vFfmpeg) {
            Wall[vFfmpeg] = FfmpegCli::Encode(
                RawFile(Case.SampleRate), Case.SampleRate, Kbps, File("ffmpeg.mp3"));
        } else {
            const TRecordResult Recorded = RecordCase(Figures, Variant == vChain);
            Wall[Variant] = Recorded.WallSeconds;
            Cpu[Variant] = Recorded.CpuSeconds;
        }
    }
    Figures.Bare.push_back(Seconds / Wall[vBare]);
    Figures.Chain.push_back(Seconds / Wall[vChain]);
    Figures.Direct.push_back(Seconds / Wall[vDirect]);
    Figures.BareAgain.push_back(Seconds / Wall[vBareAgain]);
    Figures.BareWallSeconds.push_back(Wall[vBare]);
    Figures.BareAgainWallSeconds.push_back(Wall[vBareAgain]);
    Figures.ChainWallSeconds.push_back(Wall[vChain]);
    Figures.DirectWallSeconds.push_back(Wall[vDirect]);
    Figures.BareAgainRatio.push_back(Wall[vBare] / Wall[vBareAgain]);
    Figures.BareAgainCpuSeconds.push_back(Cpu[vBareAgain]);
    Figures.BareAgainCpuRatio.push_back(Cpu[vBare] / Cpu[vBareAgain]);
    Figures.ChainRatio.push_back(Wall[vBare] / Wall[vChain]);
    Figures.DirectRatio.push_back(Wall[vBare] / Wall[vDirect]);
    Figures.BareCpuSeconds.push_back(Cpu[vBare]);
    Figures.ChainCpuSeconds.push_back(Cpu[vChain]);
    Figures.DirectCpuSeconds.push_back(Cpu[vDirect]);
    Figures.ChainCpuRatio.push_back(Cpu[vBare] / Cpu[vChain]);
    Figures.DirectCpuRatio.push_back(Cpu[vBare] / Cpu[vDirect]);
    if (FCliReady) {
        Figures.Cli.push_back(Seconds / Wall[vLame]);
        Figures.CliRatio.push_back(Wall[vBare] / Wall[vLame]);
    }
    if (FFfmpegReady) {
        Figures.Ffmpeg.push_back(Seconds / Wall[vFfmpeg]);
        Figures.FfmpegRatio.push_back(Wall[vBare] / Wall[vFfmpeg]);
    }
    Figures.EncodeMicros.push_back(Wall[vBare] * 1e6 / static_cast<double>(BareBlocks));
    MeasureMeteringOnce(Figures);
}

void TBenchPhases::MeasureMeteringOnce(TCaseFigures& Figures)
{
    const TBenchPcm& Pcm = PcmFor(Figures.Case.SampleRate);
    // Two passes over the sound, so that the figure covers all of it.
    const int64_t Blocks
        = std::max<int64_t>(1, 2 * static_cast<int64_t>(Pcm.Bytes->size()) / BlockBytes);
    const TMeteringResult Metering = MeasureMetering(Pcm, Blocks);
    Figures.MeteringMicros.push_back(Metering.MicrosPerBlock);
    Figures.MeteringShare.push_back(Metering.MicrosPerBlock / Figures.EncodeMicros.back());
}

// ---------------------------------------------------------------------------------------------
// Long and real-time recordings

void TBenchPhases::LongRecording(TLongFigures& Long)
{
    Long.Seconds = FOptions.LongSeconds;
    Long.Case = Cases[0];
    const TBenchPcm& Pcm = PcmFor(Long.Case.SampleRate);
    const double BytesPerSecond = Pcm.SampleRate * TBenchPcm::FrameBytes;
    Long.Samples.clear();
    Long.Samples.reserve(256); // one per percent, and no allocation on the worker
    TRecordSettings Settings;
    Settings.Pcm = &Pcm;
    Settings.Seconds = Long.Seconds;
    Settings.BitRate = Long.Case.BitRate;
    Settings.Indicator = true;
    Settings.Card = TBenchCard::FlatOut;
    Settings.ReadLevels = true;
    Settings.FileName = File("long.mp3");
    Settings.OnProgress = [&](int64_t Captured) {
        if (Long.Samples.size() < Long.Samples.capacity())
            Long.Samples.emplace_back(Captured / BytesPerSecond, ProcessStats::ResidentBytes());
    };
    std::cerr << "long recording of " << Long.Seconds << " s\n";
    Long.PeakFromKernel = ProcessStats::ResetPeakResident();
    const TRecordResult Result = FChain.Record(Settings);
    Long.WallSeconds = Result.WallSecondsToDone;
    Long.CpuSeconds = Result.CpuSeconds;
    Long.Mp3Bytes = Result.Mp3Bytes;
    Long.PeakBuffersHeld = Result.PeakBuffersHeld;
    Long.BuffersAllocated = Result.BuffersAllocated;
    Long.Samples.emplace_back(Result.CapturedBytes / BytesPerSecond, Result.ResidentAtEnd);
    const double FirstPart = Long.Seconds / 3.0;
    const auto AfterFirst = std::find_if(Long.Samples.begin(), Long.Samples.end(),
        [&](const auto& S) { return S.first >= FirstPart; });
    Long.ResidentAfterFirstPart
        = (AfterFirst == Long.Samples.end() ? Long.Samples.back() : *AfterFirst).second;
    Long.ResidentAtEnd = Long.Samples.back().second;
    int64_t SampledPeak = 0;
    for (const auto& Sample : Long.Samples)
        SampledPeak = std::max(SampledPeak, Sample.second);
    // The kernel's mark can miss pages that the allocator handed back without unmapping them, so
    // the peak is never taken below a sample.
    Long.PeakResident = Long.PeakFromKernel
        ? std::max(ProcessStats::PeakResidentBytes(), SampledPeak)
        : SampledPeak;
    Long.Ran = true;
}

void TBenchPhases::RealTimeRecording(TRealTimeFigures& RealTime)
{
    RealTime.Seconds = FOptions.RealTimeSeconds;
    RealTime.Case = Cases[0];
    TRecordSettings Settings;
    Settings.Pcm = &PcmFor(RealTime.Case.SampleRate);
    Settings.Seconds = RealTime.Seconds;
    Settings.BitRate = RealTime.Case.BitRate;
    Settings.Indicator = true;
    Settings.Card = TBenchCard::RealTime;
    Settings.ReadLevels = true;
    Settings.FileName = File("realtime.mp3");
    std::cerr << "real-time recording of " << RealTime.Seconds << " s\n";
    const TRecordResult Result = FChain.Record(Settings);
    RealTime.WallSeconds = Result.WallSeconds;
    RealTime.CpuSeconds = Result.CpuSeconds;
    RealTime.DroppedBuffers = Result.DroppedBuffers;
    RealTime.PeakBuffersHeld = Result.PeakBuffersHeld;

    std::cerr << "bare encoder fed in real time for " << RealTime.Seconds << " s\n";
    const TBareEncodeResult Bare = EncodeBare(*Settings.Pcm, RealTime.Seconds,
        MP3BitRateKbps(RealTime.Case.BitRate), File("realtime-bare.mp3"), true);
    RealTime.BareCpuSeconds = Bare.CpuSeconds;
    RealTime.BareWallSeconds = Bare.WallSeconds;
    RealTime.Ran = true;
}
