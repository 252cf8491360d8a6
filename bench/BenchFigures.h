// The figures of one benchmark run, and the table and JSON they are reported as. One thread.
#pragma once

#include "ACS_LAME.h"
#include "ProcessStats.h"

#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// One encoder setting measured on the same PCM: a sample rate and a constant bit rate.
struct TEncodeCase {
    int32_t SampleRate = 44100;
    TMP3BitRate BitRate = br128;
};

// The smallest value; NaN for no values.
double Smallest(const std::vector<double>& Values);

// A contender's speed against the bare encoder's from the repetitions' seconds (wall or CPU):
// the bare encoder's fastest over the contender's fastest. Other load on the machine only ever
// adds time, so the fastest repetition of each is the one it disturbed least; both sides take
// the same estimator.
inline double FastestOver(
    const std::vector<double>& BareSeconds, const std::vector<double>& Seconds)
{
    return Smallest(BareSeconds) / Smallest(Seconds);
}

// Per repetition, in the order the repetitions ran; the report gives their medians, and the
// ratios to the bare encoder by FastestOver.
struct TCaseFigures {
    TEncodeCase Case;
    std::vector<double> Bare; // the bare encoder loop, multiples of real time
    std::vector<double> Chain; // source -> indicator -> sink
    std::vector<double> Direct; // source -> sink
    // The bare encoder run a second time in the same repetition: the A/A comparison that shows
    // how finely the method resolves a difference at all.
    std::vector<double> BareAgain;
    std::vector<double> Cli; // the lame command-line encoder; empty when not installed
    std::vector<double> Ffmpeg; // ffmpeg with libmp3lame; empty when not installed
    // Each over the same repetition's bare encoder.
    std::vector<double> ChainRatio, DirectRatio, CliRatio, FfmpegRatio;
    std::vector<double> BareAgainRatio;
    std::vector<double> BareWallSeconds, BareAgainWallSeconds, ChainWallSeconds, DirectWallSeconds;
    std::vector<double> ChainCpuSeconds, DirectCpuSeconds, BareCpuSeconds, BareAgainCpuSeconds;
    // Bare CPU time over the chain's (all the process's threads): less moved by other load.
    std::vector<double> ChainCpuRatio, DirectCpuRatio, BareAgainCpuRatio;
    std::vector<double> MeteringMicros; // the indicator, per 16384-byte block
    std::vector<double> EncodeMicros; // the bare encoder, per 16384-byte block
    std::vector<double> MeteringShare; // MeteringMicros / EncodeMicros
    // Over all the case's recordings, with and without the indicator: capture buffers held at
    // most, capture buffers the source allocated, and the 16384-byte blocks recorded.
    int64_t PeakBuffersHeld = 0;
    int64_t BuffersAllocated = 0;
    int64_t RecordedBlocks = 0;
    // Over the recordings with the indicator, from Run to the sink's end: heap allocations,
    // copies of 1 KiB or more and their bytes, and the blocks recorded.
    int64_t ChainAllocations = 0;
    int64_t ChainCopies = 0;
    int64_t ChainCopiedBytes = 0;
    int64_t ChainBlocks = 0;
    // The threads' waits over the same recordings, as the copies; -1 where not counted.
    int64_t ChainWaits = 0;

    double ChainOverBare() const { return FastestOver(BareWallSeconds, ChainWallSeconds); }
    double DirectOverBare() const { return FastestOver(BareWallSeconds, DirectWallSeconds); }
    double BareOverBare() const { return FastestOver(BareWallSeconds, BareAgainWallSeconds); }
    double ChainOverBareCpu() const { return FastestOver(BareCpuSeconds, ChainCpuSeconds); }
    double DirectOverBareCpu() const { return FastestOver(BareCpuSeconds, DirectCpuSeconds); }
    double BareOverBareCpu() const { return FastestOver(BareCpuSeconds, BareAgainCpuSeconds); }

    double PerChainBlock(int64_t Count) const
    {
        return ChainBlocks > 0 ? static_cast<double>(Count) / ChainBlocks : 0.0;
    }
    // The voluntary context switches of the whole process per block (the device's and the
    // worker's waits for each other); NaN where not counted.
    double WaitsPerBlock() const
    {
        return ChainWaits < 0 ? std::nan("") : PerChainBlock(ChainWaits);
    }
};

struct TLongFigures {
    bool Ran = false;
    int32_t Seconds = 0;
    TEncodeCase Case;
    double WallSeconds = 0.0;
    double CpuSeconds = 0.0;
    int64_t PeakResident = -1; // the kernel's high-water mark, or the largest sample if higher
    bool PeakFromKernel = false; // false: the largest of the samples below
    int64_t ResidentAfterFirstPart = -1; // after the first third (the first hour of 10800 s)
    int64_t ResidentAtEnd = -1; // after the last third
    int64_t Mp3Bytes = 0;
    int64_t PeakBuffersHeld = 0;
    int64_t BuffersAllocated = 0; // by the capture source
    // (seconds of sound captured, resident bytes) at each progress report.
    std::vector<std::pair<double, int64_t>> Samples;

    int64_t Growth() const { return ResidentAtEnd - ResidentAfterFirstPart; }
};

struct TRealTimeFigures {
    bool Ran = false;
    int32_t Seconds = 0;
    TEncodeCase Case;
    double WallSeconds = 0.0;
    double CpuSeconds = 0.0;
    int64_t DroppedBuffers = 0;
    int64_t PeakBuffersHeld = 0;
    // The bare encoder fed the same sound at the same pace.
    double BareWallSeconds = 0.0;
    double BareCpuSeconds = 0.0;

    double CpuPercent() const { return WallSeconds > 0 ? 100.0 * CpuSeconds / WallSeconds : 0.0; }
    double BareCpuPercent() const
    {
        return BareWallSeconds > 0 ? 100.0 * BareCpuSeconds / BareWallSeconds : 0.0;
    }
    double CpuOverBare() const
    {
        return BareCpuPercent() > 0 ? CpuPercent() / BareCpuPercent() : std::nan("");
    }
};

struct TBenchFigures {
    ProcessStats::TMachine Machine;
    std::string LoadAtEnd;
    std::string BuildType;
    bool Smoke = false;
    int32_t PcmSeconds = 0;
    int Repetitions = 0;
    std::string CliVersion; // empty when the lame command-line encoder is not installed
    std::string FfmpegVersion; // empty when ffmpeg is not installed
    std::vector<TCaseFigures> Cases;
    TLongFigures Long;
    TRealTimeFigures RealTime;
    double TotalSeconds = 0.0;
};

// The median; NaN for no values.
double Median(std::vector<double> Values);
// The smallest and the largest value; NaN for no values.
std::pair<double, double> Range(const std::vector<double>& Values);

void PrintTable(const TBenchFigures& Figures, std::ostream& Out);
void WriteJson(const TBenchFigures& Figures, std::ostream& Out);
