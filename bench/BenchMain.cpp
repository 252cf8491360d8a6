// corvatone_bench: how much the recording chain costs beyond the encoder itself, what the level
// meter costs per block, whether a three-hour recording holds its memory, and what a real-time
// recording takes of one core. Prints one table and, with --json PATH, writes the same figures.
//
//   corvatone_bench [--smoke] [--json PATH] [--repetitions N] [--seconds N]
//                   [--long-seconds N] [--realtime-seconds N] [--no-cli] [--sample-rate HZ]
//
// --smoke runs every part on a few seconds of sound, once, only to show that it runs; --no-cli
// leaves out the command-line encoders (lame, ffmpeg) even when they are installed;
// --sample-rate keeps only the encoding cases at that rate (for profiling one of them).
#include "BenchPhases.h"
#include "ProcessStats.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <stdexcept>
#include <string>

#ifndef CORVATONE_BENCH_BUILD_TYPE
#define CORVATONE_BENCH_BUILD_TYPE ""
#endif

namespace {

int32_t PositiveNumber(const std::string& Option, const char* Text, int32_t Least)
{
    char* End = nullptr;
    const long Value = std::strtol(Text, &End, 10);
    if (*Text == '\0' || *End != '\0' || Value < Least || Value > 10800)
        throw std::invalid_argument(Option + " takes a whole number from " + std::to_string(Least)
            + " to 10800, not \"" + Text + "\"");
    return static_cast<int32_t>(Value);
}

TBenchOptions ParseOptions(int Argc, char** Argv)
{
    TBenchOptions Options;
    for (int I = 1; I < Argc; ++I) {
        const std::string Option = Argv[I];
        const auto Next = [&]() -> const char* {
            if (I + 1 >= Argc)
                throw std::invalid_argument(Option + " needs a value");
            return Argv[++I];
        };
        if (Option == "--smoke") {
            Options.Smoke = true;
            Options.PcmSeconds = 3;
            Options.Repetitions = 1;
            Options.LongSeconds = 60;
            Options.RealTimeSeconds = 1;
        } else if (Option == "--json") {
            Options.JsonPath = Next();
        } else if (Option == "--repetitions") {
            Options.Repetitions = PositiveNumber(Option, Next(), 1);
        } else if (Option == "--seconds") {
            Options.PcmSeconds = PositiveNumber(Option, Next(), 1);
        } else if (Option == "--long-seconds") {
            Options.LongSeconds = PositiveNumber(Option, Next(), 0);
        } else if (Option == "--realtime-seconds") {
            Options.RealTimeSeconds = PositiveNumber(Option, Next(), 0);
        } else if (Option == "--no-cli") {
            Options.UseCli = false;
        } else if (Option == "--sample-rate") {
            const std::string Rate = Next();
            if (Rate != "22050" && Rate != "44100")
                throw std::invalid_argument(Option + " takes 22050 or 44100, not \"" + Rate + "\"");
            Options.OnlySampleRate = std::stoi(Rate);
        } else {
            throw std::invalid_argument("Unknown option \"" + Option + "\"");
        }
    }
    return Options;
}

// A folder of the run's own for the MP3 and raw files, removed when the run ends.
class TWorkDir {
public:
    TWorkDir()
    {
        // A new folder under a name nobody holds: create_directory is false for an existing one.
        std::random_device Random;
        for (int Attempt = 0; Attempt < 100 && FPath.empty(); ++Attempt) {
            const auto Candidate = std::filesystem::temp_directory_path()
                / ("corvatone-bench-" + std::to_string(Random()));
            if (std::filesystem::create_directory(Candidate))
                FPath = Candidate.string();
        }
        if (FPath.empty())
            throw std::runtime_error("Cannot create a temporary folder for the benchmark");
    }
    ~TWorkDir()
    {
        std::error_code Ignored; // a leftover temporary folder is not worth failing the run
        std::filesystem::remove_all(FPath, Ignored);
    }
    TWorkDir(const TWorkDir&) = delete;
    TWorkDir& operator=(const TWorkDir&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

void Run(const TBenchOptions& Options)
{
    const auto Start = std::chrono::steady_clock::now();
    TBenchFigures Figures;
    Figures.Machine = ProcessStats::DescribeMachine();
    Figures.BuildType = *CORVATONE_BENCH_BUILD_TYPE ? CORVATONE_BENCH_BUILD_TYPE
                                                    : "unoptimised (no CMAKE_BUILD_TYPE)";
    Figures.Smoke = Options.Smoke;
    Figures.PcmSeconds = Options.PcmSeconds;
    Figures.Repetitions = Options.Repetitions;

    TWorkDir Dir;
    TBenchPhases Phases(Options, Dir.Path());
    Phases.EncodingCases(Figures);
    if (Options.LongSeconds > 0)
        Phases.LongRecording(Figures.Long);
    if (Options.RealTimeSeconds > 0)
        Phases.RealTimeRecording(Figures.RealTime);
    Figures.LoadAtEnd = ProcessStats::DescribeMachine().LoadAverage;
    Figures.TotalSeconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();

    PrintTable(Figures, std::cout);
    if (!Options.JsonPath.empty()) {
        std::ofstream Json(Options.JsonPath);
        WriteJson(Figures, Json);
        if (!Json)
            throw std::runtime_error("Cannot write \"" + Options.JsonPath + "\"");
    }
}

} // namespace

int main(int Argc, char** Argv)
{
    try {
        Run(ParseOptions(Argc, Argv));
        return 0;
    } catch (const std::exception& E) {
        std::cerr << "corvatone_bench: " << E.what() << "\n";
        return 1;
    }
}
