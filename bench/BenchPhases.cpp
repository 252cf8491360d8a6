#include "BenchPhases.h"

#include "BareEncoder.h"
#include "LameCli.h"
#include "MeteringCost.h"
#include "ProcessStats.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <stdexcept>

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

// ---------------------------------------------------------------------------------------------
// Encoding cases

void TBenchPhases::PrepareCli(TBenchFigures& Figures)
{
    Figures.CliVersion = FOptions.UseCli ? LameCli::Version() : std::string();
    if (Figures.CliVersion.empty())
        return;
    for (const TBenchPcm* Pcm : { &FPcm44, &FPcm22 }) {
        std::ofstream Raw(
            File("pcm-" + std::to_string(Pcm->SampleRate) + ".raw"), std::ios::binary);
        Raw.write(reinterpret_cast<const char*>(Pcm->Bytes->data()),
            static_cast<std::streamsize>(Pcm->Bytes->size()));
        if (!Raw)
            throw std::runtime_error("Cannot write the raw PCM for the lame encoder");
    }
    FCliReady = true;
}

void TBenchPhases::EncodingCases(TBenchFigures& Figures)
{
    PrepareCli(Figures);
    Figures.Cases.clear();
    for (const TEncodeCase& Case : Cases) {
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
    Settings.FileName = File(Indicator ? "chain.mp3" : "direct.mp3");
    const TRecordResult Result = FChain.Record(Settings);
    Figures.PeakBuffersHeld = std::max(Figures.PeakBuffersHeld, Result.PeakBuffersHeld);
    Figures.BuffersPrepared = std::max(Figures.BuffersPrepared, Result.BuffersPrepared);
    Figures.BlocksPerRecording
        = (int64_t{ Settings.Seconds } * Case.SampleRate * TBenchPcm::FrameBytes + BlockBytes - 1)
        / BlockBytes;
    return Result;
}

// The variants of one case, in an order that rotates with the repetition, so that none of them
// always runs first (on a cold cache) or right after the same neighbour.
void TBenchPhases::MeasureOnce(TCaseFigures& Figures, int Repetition)
{
    const TEncodeCase& Case = Figures.Case;
    const TBenchPcm& Pcm = PcmFor(Case.SampleRate);
    const int Kbps = MP3BitRateKbps(Case.BitRate);
    const double Seconds = FOptions.PcmSeconds;
    const int Variants = FCliReady ? 4 : 3;
    double Wall[4] = {}, Cpu[4] = {};
    int64_t BareBlocks = 1;
    for (int Step = 0; Step < Variants; ++Step) {
        const int Variant = (Step + Repetition) % Variants;
        const double CpuBefore = ProcessStats::CpuSeconds();
        if (Variant == 0) {
            const TBareEncodeResult Bare
                = EncodeBare(Pcm, FOptions.PcmSeconds, Kbps, File("bare.mp3"));
            Wall[0] = Bare.WallSeconds;
            Cpu[0] = ProcessStats::CpuSeconds() - CpuBefore;
            BareBlocks = std::max<int64_t>(1, Bare.Blocks);
        } else if (Variant == 3) {
            Wall[3] = LameCli::Encode(File("pcm-" + std::to_string(Case.SampleRate) + ".raw"),
                Case.SampleRate, Kbps, File("cli.mp3"));
        } else {
            const TRecordResult Recorded = RecordCase(Figures, Variant == 1);
            Wall[Variant] = Recorded.WallSeconds;
            Cpu[Variant] = Recorded.CpuSeconds;
        }
    }
    Figures.Bare.push_back(Seconds / Wall[0]);
    Figures.Chain.push_back(Seconds / Wall[1]);
    Figures.Direct.push_back(Seconds / Wall[2]);
    Figures.ChainRatio.push_back(Wall[0] / Wall[1]);
    Figures.DirectRatio.push_back(Wall[0] / Wall[2]);
    Figures.BareCpuSeconds.push_back(Cpu[0]);
    Figures.ChainCpuSeconds.push_back(Cpu[1]);
    Figures.DirectCpuSeconds.push_back(Cpu[2]);
    Figures.ChainCpuRatio.push_back(Cpu[0] / Cpu[1]);
    Figures.DirectCpuRatio.push_back(Cpu[0] / Cpu[2]);
    if (FCliReady) {
        Figures.Cli.push_back(Seconds / Wall[3]);
        Figures.CliRatio.push_back(Wall[0] / Wall[3]);
    }
    Figures.EncodeMicros.push_back(Wall[0] * 1e6 / static_cast<double>(BareBlocks));
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
    Long.BuffersPrepared = Result.BuffersPrepared;
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
    RealTime.Ran = true;
}
