#include "BenchFigures.h"
#include "JsonWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double MinChainRatio = 0.97;
constexpr double MaxMeteringShare = 0.02;
constexpr int64_t MaxGrowth = 1 << 20;
constexpr double MaxRealTimeCpuPercent = 3.0;
constexpr double MaxBuffersPerBlock = 0.01;
constexpr double MaxCpuOverBare = 1.1;
// By CPU time, which other load on the machine moves less than wall time.
constexpr double MinChainCpuRatio = 0.98;
constexpr double MinDirectCpuRatio = 0.99;
constexpr double MaxCopiesPerBlock = 2.01;

std::string Format(const char* Pattern, double Value)
{
    if (!std::isfinite(Value))
        return "n/a";
    char Text[64];
    std::snprintf(Text, sizeof Text, Pattern, Value);
    return Text;
}

std::string CaseName(const TEncodeCase& Case)
{
    return std::to_string(Case.SampleRate) + " Hz " + std::to_string(MP3BitRateKbps(Case.BitRate))
        + " kbit/s";
}

double Mebibytes(int64_t Bytes)
{
    return Bytes < 0 ? std::nan("") : Bytes / 1048576.0;
}

std::string SignedKibibytes(int64_t Bytes)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%+.0f KiB", Bytes / 1024.0);
    return Text;
}

// The worst value over the cases of one per-repetition figure's medians.
template <typename TPick> double Worst(const TBenchFigures& Figures, TPick Pick, bool Lowest)
{
    double Result = Lowest ? std::numeric_limits<double>::infinity() : -1.0;
    for (const TCaseFigures& Case : Figures.Cases) {
        const double Value = Median(Pick(Case));
        Result = Lowest ? std::min(Result, Value) : std::max(Result, Value);
    }
    return Result;
}

// The lowest over the cases of one ratio to the bare encoder.
template <typename TPick> double LowestRatio(const TBenchFigures& Figures, TPick Pick)
{
    double Result = std::numeric_limits<double>::infinity();
    for (const TCaseFigures& Case : Figures.Cases)
        Result = std::min(Result, Pick(Case));
    return Result;
}

class TTable {
public:
    TTable(const TBenchFigures& Figures, std::ostream& Out)
        : FFigures(Figures)
        , FOut(Out)
    {
    }

    void Header()
    {
        FOut << "| measurement |";
        for (const TCaseFigures& Case : FFigures.Cases)
            FOut << ' ' << CaseName(Case.Case) << " |";
        FOut << " target |\n|---|";
        for (size_t I = 0; I < FFigures.Cases.size(); ++I)
            FOut << "---:|";
        FOut << "---|\n";
    }

    // One row of per-case medians, each followed by the range of the repetitions' values when
    // there are several.
    template <typename TPick>
    void Medians(const std::string& Name, const char* Pattern, TPick Pick, double Scale = 1.0,
        const std::string& Target = "")
    {
        FOut << "| " << Name << " |";
        for (const TCaseFigures& Case : FFigures.Cases) {
            const std::vector<double> Values = Pick(Case);
            FOut << ' ' << Format(Pattern, Median(Values) * Scale);
            if (Values.size() > 1) {
                const auto [Low, High] = Range(Values);
                FOut << " (" << Format(Pattern, Low * Scale) << " - "
                     << Format(Pattern, High * Scale) << ")";
            }
            FOut << " |";
        }
        FOut << ' ' << Target << " |\n";
    }

    // One row of ratios to the bare encoder, each followed by the range of the single
    // repetitions' ratios when there are several.
    template <typename TRatio, typename TPick>
    void Ratios(const std::string& Name, TRatio Ratio, TPick Pick, const std::string& Target = "")
    {
        FOut << "| " << Name << " |";
        for (const TCaseFigures& Case : FFigures.Cases) {
            const std::vector<double> Values = Pick(Case);
            FOut << ' ' << Format("%.3f", Ratio(Case));
            if (Values.size() > 1) {
                const auto [Low, High] = Range(Values);
                FOut << " (" << Format("%.3f", Low) << " - " << Format("%.3f", High) << ")";
            }
            FOut << " |";
        }
        FOut << ' ' << Target << " |\n";
    }

    // One row of a single value per case.
    template <typename TPick>
    void Values(
        const std::string& Name, const char* Pattern, TPick Pick, const std::string& Target = "")
    {
        FOut << "| " << Name << " |";
        for (const TCaseFigures& Case : FFigures.Cases)
            FOut << ' ' << Format(Pattern, Pick(Case)) << " |";
        FOut << ' ' << Target << " |\n";
    }

    // One row with a value for the first case only (the long and real-time recordings).
    void FirstCase(const std::string& Name, const std::string& Value, const std::string& Target)
    {
        FOut << "| " << Name << " | " << Value << " |";
        for (size_t I = 1; I < FFigures.Cases.size(); ++I)
            FOut << " |";
        FOut << ' ' << Target << " |\n";
    }

private:
    const TBenchFigures& FFigures;
    std::ostream& FOut;
};

double BuffersPerBlock(const TCaseFigures& Case)
{
    return Case.RecordedBlocks > 0 ? double(Case.BuffersAllocated) / double(Case.RecordedBlocks)
                                   : std::nan("");
}

void PrintEncodingRows(const TBenchFigures& Figures, TTable& Table)
{
    Table.Medians("bare encoder, x real time", "%.1f", [](auto& C) { return C.Bare; });
    Table.Medians("chain with indicator, x real time", "%.1f", [](auto& C) { return C.Chain; });
    Table.Medians("chain without indicator, x real time", "%.1f", [](auto& C) { return C.Direct; });
    Table.Medians("bare encoder again, x real time", "%.1f", [](auto& C) { return C.BareAgain; });
    Table.Ratios(
        "with indicator / bare", [](auto& C) { return C.ChainOverBare(); },
        [](auto& C) { return C.ChainRatio; }, ">= 0.97");
    Table.Ratios(
        "without indicator / bare", [](auto& C) { return C.DirectOverBare(); },
        [](auto& C) { return C.DirectRatio; });
    Table.Ratios(
        "bare again / bare (A/A)", [](auto& C) { return C.BareOverBare(); },
        [](auto& C) { return C.BareAgainRatio; });
    Table.Ratios(
        "with indicator / bare, by CPU time", [](auto& C) { return C.ChainOverBareCpu(); },
        [](auto& C) { return C.ChainCpuRatio; }, ">= 0.98");
    Table.Ratios(
        "without indicator / bare, by CPU time", [](auto& C) { return C.DirectOverBareCpu(); },
        [](auto& C) { return C.DirectCpuRatio; }, ">= 0.99");
    Table.Ratios(
        "bare again / bare (A/A), by CPU time", [](auto& C) { return C.BareOverBareCpu(); },
        [](auto& C) { return C.BareAgainCpuRatio; });
    if (!Figures.CliVersion.empty()) {
        Table.Medians("lame CLI, x real time", "%.1f", [](auto& C) { return C.Cli; });
        Table.Medians("lame CLI / bare", "%.3f", [](auto& C) { return C.CliRatio; });
    }
    if (!Figures.FfmpegVersion.empty()) {
        Table.Medians("ffmpeg, x real time", "%.1f", [](auto& C) { return C.Ffmpeg; });
        Table.Medians("ffmpeg / bare", "%.3f", [](auto& C) { return C.FfmpegRatio; });
    }
    Table.Values("chain: capture buffers held at most", "%.0f",
        [](auto& C) { return double(C.PeakBuffersHeld); });
    Table.Values(
        "chain: capture buffers allocated per block", "%.4f",
        [](auto& C) { return BuffersPerBlock(C); }, "<= 0.01");
    Table.Values("chain with indicator: heap allocations per block", "%.4f",
        [](auto& C) { return C.PerChainBlock(C.ChainAllocations); });
    Table.Values(
        "chain with indicator: copies of 1 KiB or more per block", "%.2f",
        [](auto& C) { return C.PerChainBlock(C.ChainCopies); }, "<= 2.01");
    Table.Values("chain with indicator: threads' waits per block", "%.2f",
        [](auto& C) { return C.WaitsPerBlock(); });
    Table.Values("chain with indicator: bytes copied per byte recorded", "%.2f",
        [](auto& C) { return C.PerChainBlock(C.ChainCopiedBytes) / 16384.0; });
    Table.Medians(
        "metering, us per 16384-byte block", "%.1f", [](auto& C) { return C.MeteringMicros; });
    Table.Medians("bare encoding, us per block", "%.0f", [](auto& C) { return C.EncodeMicros; });
    Table.Medians(
        "metering / encoding per block", "%.2f %%", [](auto& C) { return C.MeteringShare; }, 100.0,
        "<= 2 %");
}

void PrintLongRows(const TLongFigures& Long, TTable& Table)
{
    if (!Long.Ran)
        return;
    const std::string Length = std::to_string(Long.Seconds) + " s";
    Table.FirstCase(Length + ": wall time",
        Format("%.1f s", Long.WallSeconds) + " (" + Format("%.1f", Long.Seconds / Long.WallSeconds)
            + "x real time)",
        "");
    Table.FirstCase(
        Length + ": peak resident", Format("%.1f MiB", Mebibytes(Long.PeakResident)), "");
    Table.FirstCase(Length + ": resident growth, first to last third",
        Format("%.1f", Mebibytes(Long.ResidentAfterFirstPart)) + " -> "
            + Format("%.1f MiB", Mebibytes(Long.ResidentAtEnd)) + " ("
            + SignedKibibytes(Long.Growth()) + ")",
        "< 1 MiB");
    Table.FirstCase(Length + ": capture buffers held at most / allocated",
        std::to_string(Long.PeakBuffersHeld) + " / " + std::to_string(Long.BuffersAllocated), "");
}

void PrintRealTimeRow(const TRealTimeFigures& RealTime, TTable& Table)
{
    if (!RealTime.Ran)
        return;
    const std::string Length = std::to_string(RealTime.Seconds) + " s in real time";
    Table.FirstCase(Length + ": chain's CPU of one core",
        Format("%.2f %%", RealTime.CpuPercent()) + " (" + Format("%.2f s", RealTime.CpuSeconds)
            + " over " + Format("%.1f s", RealTime.WallSeconds) + ", "
            + std::to_string(RealTime.DroppedBuffers) + " dropped, "
            + std::to_string(RealTime.PeakBuffersHeld) + " buffers held at most)",
        "< 3 %");
    Table.FirstCase(Length + ": bare encoder's CPU of one core",
        Format("%.2f %%", RealTime.BareCpuPercent()) + " ("
            + Format("%.2f s", RealTime.BareCpuSeconds) + " over "
            + Format("%.1f s", RealTime.BareWallSeconds) + ")",
        "");
    Table.FirstCase(
        Length + ": chain / bare, by CPU", Format("%.2f", RealTime.CpuOverBare()), "<= 1.1");
}

std::string Verdict(bool Met)
{
    return Met ? "met" : "MISSED";
}

void PrintTargets(const TBenchFigures& Figures, std::ostream& Out)
{
    const double Ratio = LowestRatio(Figures, [](auto& C) { return C.ChainOverBare(); });
    const double Share = Worst(
        Figures, [](auto& C) { return C.MeteringShare; }, false);
    Out << "\nTargets: chain with indicator >= " << MinChainRatio << " of bare (worst "
        << Format("%.3f", Ratio) << "): " << Verdict(Ratio >= MinChainRatio)
        << "; metering <= 2 % of encoding (worst " << Format("%.2f %%", Share * 100)
        << "): " << Verdict(Share <= MaxMeteringShare);
    if (Figures.Long.Ran)
        Out << "; resident growth < 1 MiB: " << Verdict(Figures.Long.Growth() < MaxGrowth);
    double Buffers = 0.0;
    for (const TCaseFigures& Case : Figures.Cases)
        Buffers = std::max(Buffers, BuffersPerBlock(Case));
    Out << "; capture buffers allocated <= " << MaxBuffersPerBlock << " per block (worst "
        << Format("%.4f", Buffers) << "): " << Verdict(Buffers <= MaxBuffersPerBlock);
    const double ChainCpu = LowestRatio(Figures, [](auto& C) { return C.ChainOverBareCpu(); });
    const double DirectCpu = LowestRatio(Figures, [](auto& C) { return C.DirectOverBareCpu(); });
    double Copies = 0.0;
    for (const TCaseFigures& Case : Figures.Cases)
        Copies = std::max(Copies, Case.PerChainBlock(Case.ChainCopies));
    Out << "; by CPU time, chain with indicator >= " << MinChainCpuRatio << " of bare (worst "
        << Format("%.3f", ChainCpu) << "): " << Verdict(ChainCpu >= MinChainCpuRatio)
        << "; without it >= " << MinDirectCpuRatio << " (worst " << Format("%.3f", DirectCpu)
        << "): " << Verdict(DirectCpu >= MinDirectCpuRatio) << "; copies <= " << MaxCopiesPerBlock
        << " per block (worst " << Format("%.2f", Copies)
        << "): " << Verdict(Copies <= MaxCopiesPerBlock);
    if (Figures.RealTime.Ran)
        Out << "; real time < 3 % of one core: "
            << Verdict(Figures.RealTime.CpuPercent() < MaxRealTimeCpuPercent)
            << "; real-time CPU <= " << MaxCpuOverBare << " of the bare encoder's ("
            << Format("%.2f", Figures.RealTime.CpuOverBare())
            << "): " << Verdict(Figures.RealTime.CpuOverBare() <= MaxCpuOverBare);
    Out << ".\n";
}

} // namespace

double Median(std::vector<double> Values)
{
    if (Values.empty())
        return std::nan("");
    std::sort(Values.begin(), Values.end());
    const size_t Mid = Values.size() / 2;
    return Values.size() % 2 ? Values[Mid] : (Values[Mid - 1] + Values[Mid]) / 2.0;
}

double Smallest(const std::vector<double>& Values)
{
    return Values.empty() ? std::nan("") : *std::min_element(Values.begin(), Values.end());
}

std::pair<double, double> Range(const std::vector<double>& Values)
{
    if (Values.empty())
        return { std::nan(""), std::nan("") };
    const auto [Low, High] = std::minmax_element(Values.begin(), Values.end());
    return { *Low, *High };
}

void PrintTable(const TBenchFigures& Figures, std::ostream& Out)
{
    Out << "Corvatone benchmark" << (Figures.Smoke ? " (smoke mode: figures mean nothing)" : "")
        << ", " << Figures.BuildType << " build\n"
        << "Machine: " << Figures.Machine.Cores << " cores, " << Figures.Machine.CpuModel
        << "; load average " << Figures.Machine.LoadAverage << " at the start, "
        << Figures.LoadAtEnd << " at the end\n"
        << "Sound: " << Figures.PcmSeconds
        << " s of 16-bit stereo pink noise with a sine sweep; medians of " << Figures.Repetitions
        << " interleaved repetitions (smallest - largest in brackets); ratios to the bare "
           "encoder: its fastest repetition over the contender's fastest (the single "
           "repetitions' ratios in brackets); total "
        << Format("%.0f s", Figures.TotalSeconds) << "\n";
    if (!Figures.CliVersion.empty())
        Out << "Outside reference: " << Figures.CliVersion << "\n";
    if (!Figures.FfmpegVersion.empty())
        Out << "Outside reference: " << Figures.FfmpegVersion << "\n";
    Out << "\n";
    TTable Table(Figures, Out);
    Table.Header();
    PrintEncodingRows(Figures, Table);
    PrintLongRows(Figures.Long, Table);
    PrintRealTimeRow(Figures.RealTime, Table);
    PrintTargets(Figures, Out);
    Out << "Times run from the start of a run to its last block written (encoder flush and file "
           "close left out on both sides). The chain records from the simulated card flat out, "
           "which delivers as fast as the chain takes the sound; the real-time recording from "
           "the same card paced at the sample rate, and the bare encoder fed at the same pace. "
           "Allocations count every thread of the process from Run to the sink's end, copies "
           "from Run to the end of the sound; the simulated card's own copy into a buffer is "
           "one of the copies.\n";
}

namespace {

void WriteCase(const TCaseFigures& Case, TJsonWriter& Json)
{
    Json.BeginObject();
    Json.Value("sample_rate", Case.Case.SampleRate);
    Json.Value("kbps", MP3BitRateKbps(Case.Case.BitRate));
    Json.Value("bare_x_realtime", Median(Case.Bare));
    Json.Value("chain_x_realtime", Median(Case.Chain));
    Json.Value("direct_x_realtime", Median(Case.Direct));
    Json.Value("bare_again_x_realtime", Median(Case.BareAgain));
    Json.Value("chain_over_bare", Case.ChainOverBare());
    Json.Value("direct_over_bare", Case.DirectOverBare());
    Json.Value("bare_over_bare", Case.BareOverBare());
    Json.Value("chain_over_bare_cpu", Case.ChainOverBareCpu());
    Json.Value("direct_over_bare_cpu", Case.DirectOverBareCpu());
    Json.Value("bare_over_bare_cpu", Case.BareOverBareCpu());
    if (!Case.Cli.empty()) {
        Json.Value("lame_cli_x_realtime", Median(Case.Cli));
        Json.Value("lame_cli_over_bare", Median(Case.CliRatio));
    }
    if (!Case.Ffmpeg.empty()) {
        Json.Value("ffmpeg_x_realtime", Median(Case.Ffmpeg));
        Json.Value("ffmpeg_over_bare", Median(Case.FfmpegRatio));
    }
    Json.Value("chain_peak_buffers_held", Case.PeakBuffersHeld);
    Json.Value("buffers_allocated", Case.BuffersAllocated);
    Json.Value("blocks_recorded", Case.RecordedBlocks);
    Json.Value("buffers_allocated_per_block", BuffersPerBlock(Case));
    Json.Value("allocations_per_block", Case.PerChainBlock(Case.ChainAllocations));
    Json.Value("copies_per_block", Case.PerChainBlock(Case.ChainCopies));
    Json.Value("copied_bytes_per_block", Case.PerChainBlock(Case.ChainCopiedBytes));
    Json.Value("waits_per_block", Case.WaitsPerBlock());
    Json.Value("metering_us_per_block", Median(Case.MeteringMicros));
    Json.Value("encode_us_per_block", Median(Case.EncodeMicros));
    Json.Value("metering_share", Median(Case.MeteringShare));
    Json.BeginObject("ranges"); // the smallest and the largest of the repetitions
    const auto WriteRange = [&](const char* Name, const std::vector<double>& Values) {
        const auto [Low, High] = Range(Values);
        Json.Numbers(Name, { Low, High });
    };
    WriteRange("bare_x_realtime", Case.Bare);
    WriteRange("chain_x_realtime", Case.Chain);
    WriteRange("chain_over_bare", Case.ChainRatio);
    WriteRange("direct_over_bare", Case.DirectRatio);
    WriteRange("bare_over_bare", Case.BareAgainRatio);
    WriteRange("chain_over_bare_cpu", Case.ChainCpuRatio);
    WriteRange("direct_over_bare_cpu", Case.DirectCpuRatio);
    WriteRange("bare_over_bare_cpu", Case.BareAgainCpuRatio);
    WriteRange("metering_share", Case.MeteringShare);
    if (!Case.Cli.empty())
        WriteRange("lame_cli_over_bare", Case.CliRatio);
    if (!Case.Ffmpeg.empty())
        WriteRange("ffmpeg_over_bare", Case.FfmpegRatio);
    Json.EndObject();
    Json.BeginObject("repetitions");
    Json.Numbers("bare_x_realtime", Case.Bare);
    Json.Numbers("chain_x_realtime", Case.Chain);
    Json.Numbers("direct_x_realtime", Case.Direct);
    Json.Numbers("lame_cli_x_realtime", Case.Cli);
    Json.Numbers("ffmpeg_x_realtime", Case.Ffmpeg);
    Json.Numbers("chain_over_bare", Case.ChainRatio);
    Json.Numbers("direct_over_bare", Case.DirectRatio);
    Json.Numbers("chain_over_bare_cpu", Case.ChainCpuRatio);
    Json.Numbers("direct_over_bare_cpu", Case.DirectCpuRatio);
    Json.Numbers("bare_over_bare_cpu", Case.BareAgainCpuRatio);
    Json.Numbers("bare_cpu_s", Case.BareCpuSeconds);
    Json.Numbers("bare_again_cpu_s", Case.BareAgainCpuSeconds);
    Json.Numbers("chain_cpu_s", Case.ChainCpuSeconds);
    Json.Numbers("direct_cpu_s", Case.DirectCpuSeconds);
    Json.Numbers("metering_us_per_block", Case.MeteringMicros);
    Json.Numbers("encode_us_per_block", Case.EncodeMicros);
    Json.EndObject();
    Json.EndObject();
}

void WriteLong(const TLongFigures& Long, TJsonWriter& Json)
{
    Json.BeginObject("long_recording");
    Json.Value("seconds", Long.Seconds);
    Json.Value("sample_rate", Long.Case.SampleRate);
    Json.Value("kbps", MP3BitRateKbps(Long.Case.BitRate));
    Json.Value("wall_s", Long.WallSeconds);
    Json.Value("cpu_s", Long.CpuSeconds);
    Json.Value("x_realtime", Long.Seconds / Long.WallSeconds);
    Json.Value("peak_resident_bytes", Long.PeakResident);
    Json.Value("peak_from_kernel", Long.PeakFromKernel);
    Json.Value("resident_after_first_third_bytes", Long.ResidentAfterFirstPart);
    Json.Value("resident_at_end_bytes", Long.ResidentAtEnd);
    Json.Value("resident_growth_bytes", Long.Growth());
    Json.Value("mp3_bytes", Long.Mp3Bytes);
    Json.Value("peak_buffers_held", Long.PeakBuffersHeld);
    Json.Value("buffers_allocated", Long.BuffersAllocated);
    Json.BeginArray("resident_samples");
    for (const auto& [Seconds, Bytes] : Long.Samples)
        Json.Numbers(nullptr, { Seconds, static_cast<double>(Bytes) });
    Json.EndArray();
    Json.EndObject();
}

void WriteRealTime(const TRealTimeFigures& RealTime, TJsonWriter& Json)
{
    Json.BeginObject("real_time");
    Json.Value("seconds", RealTime.Seconds);
    Json.Value("sample_rate", RealTime.Case.SampleRate);
    Json.Value("kbps", MP3BitRateKbps(RealTime.Case.BitRate));
    Json.Value("wall_s", RealTime.WallSeconds);
    Json.Value("cpu_s", RealTime.CpuSeconds);
    Json.Value("cpu_percent_of_one_core", RealTime.CpuPercent());
    Json.Value("bare_wall_s", RealTime.BareWallSeconds);
    Json.Value("bare_cpu_s", RealTime.BareCpuSeconds);
    Json.Value("bare_cpu_percent_of_one_core", RealTime.BareCpuPercent());
    Json.Value("cpu_over_bare", RealTime.CpuOverBare());
    Json.Value("dropped_buffers", RealTime.DroppedBuffers);
    Json.Value("peak_buffers_held", RealTime.PeakBuffersHeld);
    Json.EndObject();
}

} // namespace

void WriteJson(const TBenchFigures& Figures, std::ostream& Out)
{
    TJsonWriter Json(Out);
    Json.BeginObject();
    Json.BeginObject("machine");
    Json.Value("cores", Figures.Machine.Cores);
    Json.Value("cpu_model", Figures.Machine.CpuModel);
    Json.Value("load_average_start", Figures.Machine.LoadAverage);
    Json.Value("load_average_end", Figures.LoadAtEnd);
    Json.EndObject();
    Json.Value("build_type", Figures.BuildType);
    Json.Value("smoke", Figures.Smoke);
    Json.Value("pcm_seconds", Figures.PcmSeconds);
    Json.Value("repetitions", Figures.Repetitions);
    Json.Value("lame_cli", Figures.CliVersion);
    Json.Value("ffmpeg", Figures.FfmpegVersion);
    Json.Value("total_s", Figures.TotalSeconds);
    Json.BeginArray("encoding");
    for (const TCaseFigures& Case : Figures.Cases)
        WriteCase(Case, Json);
    Json.EndArray();
    if (Figures.Long.Ran)
        WriteLong(Figures.Long, Json);
    if (Figures.RealTime.Ran)
        WriteRealTime(Figures.RealTime, Json);
    Json.EndObject();
}
