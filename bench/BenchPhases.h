// The parts of one benchmark run, in the order they run: the encoding cases (bare encoder, the
// chain with and without the indicator, the lame command-line encoder, the metering cost),
// repeated and interleaved; the long recording; the real-time recording.
//
// Main thread only: each call blocks until its recordings have ended.
#pragma once

#include "BenchChain.h"
#include "BenchFigures.h"
#include "TestSignal.h"

#include <cstdint>
#include <string>

struct TBenchOptions {
    bool Smoke = false;
    std::string JsonPath;
    int32_t PcmSeconds = 60;
    int Repetitions = 5;
    int32_t LongSeconds = 10800; // 0 leaves the long recording out
    int32_t RealTimeSeconds = 30; // 0 leaves the real-time recording out
    bool UseCli = true; // the command-line encoders, when installed
    int32_t OnlySampleRate = 0; // > 0: only the encoding cases at this sample rate
};

class TBenchPhases {
public:
    // Generates the PCM at both rates; WorkDir takes the output files.
    TBenchPhases(const TBenchOptions& Options, std::string WorkDir);

    // Fills Figures.Cases and Figures.CliVersion.
    void EncodingCases(TBenchFigures& Figures);
    void LongRecording(TLongFigures& Long);
    void RealTimeRecording(TRealTimeFigures& RealTime);

private:
    const TBenchPcm& PcmFor(int32_t SampleRate) const;
    std::string File(const std::string& Name) const;
    std::string FreshFile(const std::string& Name) const;
    void PrepareCli(TBenchFigures& Figures);
    void MeasureOnce(TCaseFigures& Figures, int Repetition);
    void MeasureMeteringOnce(TCaseFigures& Figures);
    TRecordResult RecordCase(TCaseFigures& Figures, bool Indicator);
    std::string RawFile(int32_t SampleRate) const;

    TBenchOptions FOptions;
    std::string FWorkDir;
    TBenchPcm FPcm44;
    TBenchPcm FPcm22;
    bool FCliReady = false;
    bool FFfmpegReady = false;
    TBenchChain FChain;
};
