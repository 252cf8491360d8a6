#include "ACS_Indicator.h"
#include "IndicatorTestInput.h"
#include "TestSupport.h"

#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <thread>

namespace {

// The mean of the first 64 entries of the indicator's window: a constant signal c gives bin 0 a
// magnitude of c times this.
constexpr double WindowMean = 0.0124807;

using TLevels = std::array<double, TSoundIndicator::LevelCount>;

// Opens the indicator's protected parts to the tests.
class TTestIndicator : public TSoundIndicator {
public:
    TTestIndicator()
        : TSoundIndicator(nullptr)
    {
    }
    TSpinFlag& ValuesLock() { return FValuesLock; }
    bool InputLockSet() const { return InputLock.IsSet(); }
    void AddBlock(const double* Levels)
    {
        FValuesLock.Acquire();
        AccumulateBlock(Levels);
        FValuesLock.Release();
    }
};

TLevels Take(TSoundIndicator& Indicator)
{
    TLevels Values;
    Values.fill(-1.0);
    Indicator.TakeLevels(Values);
    return Values;
}

double ConstantLevel(double Value)
{
    return 20.0 * std::log10(Value * WindowMean);
}

void ExpectMessage(const std::function<void()>& Call, const std::string& Message)
{
    try {
        Call();
        ADD_FAILURE() << "no exception, expected \"" << Message << "\"";
    } catch (const EACSException& E) {
        EXPECT_EQ(E.what(), Message);
    }
}

// A source and a running indicator on it, with helpers that pass deliveries through.
class IndicatorTest : public ::testing::Test {
protected:
    void Start(int32_t Bits, int32_t Channels)
    {
        Indicator.Flush();
        Indicator.SetInput(nullptr);
        Source = std::make_unique<TScriptedInput>(Bits, Channels);
        Indicator.SetInput(Source.get());
        Indicator.Init();
    }

    // Queues Bytes, reads them through the indicator with a larger request and checks that they
    // arrive unchanged and that nothing beyond them is written.
    void Pass(const std::vector<uint8_t>& Bytes)
    {
        Source->Queue(Bytes);
        std::vector<uint8_t> Buffer(Bytes.size() + 16, 0xA5);
        const int32_t Count = Indicator.GetData(Buffer.data(), static_cast<int32_t>(Buffer.size()));
        ASSERT_EQ(Count, static_cast<int32_t>(Bytes.size()));
        EXPECT_TRUE(std::equal(Bytes.begin(), Bytes.end(), Buffer.begin()));
        EXPECT_TRUE(
            std::all_of(Buffer.begin() + Count, Buffer.end(), [](uint8_t B) { return B == 0xA5; }));
    }

    // The bin 0 value that one delivery of Bytes alone gives.
    double Bin0Of(const std::vector<uint8_t>& Bytes)
    {
        Take(Indicator);
        Pass(Bytes);
        return Take(Indicator)[0];
    }

    // Declared before the indicator, so the indicator goes first.
    std::unique_ptr<TScriptedInput> Source;
    TTestIndicator Indicator;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Measured values

TEST_F(IndicatorTest, WorkedValuesOfOneMonoBlock)
{
    Start(16, 1);
    const std::pair<int32_t, double> Cases[] = { { 1000, 21.92 }, { 32767, 52.23 }, { 100, 1.92 } };
    for (auto [Value, Level] : Cases) {
        SCOPED_TRACE(Value);
        const double Measured = Bin0Of(Mono16(64, Value));
        EXPECT_NEAR(Measured, Level, 0.005);
        EXPECT_NEAR(Measured, ConstantLevel(Value), 1e-4);
    }
    EXPECT_EQ(std::lround(Bin0Of(Mono16(64, 1000))), 22); // what the level bar shows
}

TEST_F(IndicatorTest, QuietAndSilentBlocksGiveZeroInEveryBin)
{
    Start(16, 1);
    for (int32_t Value : { 10, 5, 1, 0, -10 }) {
        SCOPED_TRACE(Value);
        Pass(Mono16(64, Value));
        for (double Level : Take(Indicator))
            EXPECT_EQ(Level, 0.0);
    }
}

TEST_F(IndicatorTest, EightBitSilenceCarriesTheOffsetInBinZero)
{
    Start(8, 1);
    EXPECT_NEAR(Bin0Of(std::vector<uint8_t>(64, 128)), 4.07, 0.005);
    Start(8, 2);
    EXPECT_NEAR(Bin0Of(std::vector<uint8_t>(128, 128)), ConstantLevel(128), 1e-4);
}

TEST_F(IndicatorTest, StereoFramesAreTheMeanOfBothSamples)
{
    Start(16, 2);
    // Halved in floating point, not by integer division.
    EXPECT_NEAR(Bin0Of(Stereo16(64, 1001, 0)), ConstantLevel(500.5), 1e-4);
    // Summed wider than 16 bits: two full-scale negative samples do not wrap.
    EXPECT_NEAR(Bin0Of(Stereo16(64, -32768, -32768)), ConstantLevel(32768), 1e-4);
    EXPECT_NEAR(Bin0Of(Stereo16(64, 20000, -20000)), 0.0, 1e-12);

    Start(8, 2);
    std::vector<uint8_t> Bytes;
    for (int I = 0; I < 64; ++I)
        Bytes.insert(Bytes.end(), { 255, 254 });
    EXPECT_NEAR(Bin0Of(Bytes), ConstantLevel(254.5), 1e-4);
}

// ---------------------------------------------------------------------------------------------
// Blocks and accumulators

TEST_F(IndicatorTest, OnlyWholeBlocksOf64FramesAreMeasured)
{
    Start(16, 2);
    const double A = Bin0Of(Stereo16(64, 1000, 1000)); // 256 bytes: one block
    EXPECT_NEAR(A, ConstantLevel(1000), 1e-4);

    // 252 bytes are 63 frames, no block: the accumulators keep what they hold.
    Pass(Stereo16(64, 1000, 1000));
    Pass(Stereo16(63, 30000, 30000));
    EXPECT_DOUBLE_EQ(Take(Indicator)[0], A);

    // The 63 frames after a whole block are not measured.
    EXPECT_DOUBLE_EQ(Bin0Of(Concat(Stereo16(64, 1000, 1000), Stereo16(63, 30000, -5))), A);
}

TEST_F(IndicatorTest, BlocksOfOneDeliveryAverageAndDeliveriesBetweenReadsAdd)
{
    Start(16, 1);
    const TLevels A = (Pass(Mono16(64, 1000)), Take(Indicator));
    const TLevels B = (Pass(Mono16(64, 20000)), Take(Indicator));

    Pass(Concat(Mono16(64, 1000), Mono16(64, 20000)));
    const TLevels Mean = Take(Indicator);
    Pass(Mono16(64, 1000));
    Pass(Mono16(64, 20000));
    const TLevels Sum = Take(Indicator);
    for (int K = 0; K < TSoundIndicator::LevelCount; ++K) {
        SCOPED_TRACE(K);
        EXPECT_NEAR(Mean[K], (A[K] + B[K]) / 2, 1e-9);
        EXPECT_NEAR(Sum[K], A[K] + B[K], 1e-9);
    }
    EXPECT_GT(A[0], 0.0);
    EXPECT_GT(B[0], A[0]);
}

TEST_F(IndicatorTest, TakeLevelsClearsAndInitStartsFromZero)
{
    Start(16, 1);
    Pass(Mono16(64, 1000));
    EXPECT_GT(Take(Indicator)[0], 0.0);
    for (double Level : Take(Indicator))
        EXPECT_EQ(Level, 0.0);

    // The values survive the end of a run, and the next run starts from zero.
    Pass(Mono16(64, 1000));
    Indicator.Flush();
    EXPECT_NEAR(Take(Indicator)[0], ConstantLevel(1000), 1e-4);
    Indicator.Init();
    Pass(Mono16(64, 1000));
    Indicator.Init();
    for (double Level : Take(Indicator))
        EXPECT_EQ(Level, 0.0);
}

TEST_F(IndicatorTest, DeliveryWhileTheReaderHoldsTheValuesIsPassedOnUnmeasured)
{
    Start(16, 1);
    Pass(Mono16(64, 1000));
    Pass(Mono16(64, 1000));
    const TLevels Before = Take(Indicator);
    Pass(Mono16(64, 1000));
    Pass(Mono16(64, 1000));

    ASSERT_TRUE(Indicator.ValuesLock().TryAcquire());
    Pass(Mono16(64, 30000)); // bytes still checked unchanged
    Indicator.ValuesLock().Release();
    EXPECT_EQ(Take(Indicator), Before);
}

TEST_F(IndicatorTest, NonFiniteSumResetsAllAccumulators)
{
    Start(16, 1);
    constexpr double Max = std::numeric_limits<double>::max();
    const std::vector<std::vector<double>> Cases = {
        { std::numeric_limits<double>::infinity() }, { std::numeric_limits<double>::quiet_NaN() },
        { Max, Max }, // finite on its own, overflows when added again
    };
    for (const auto& Values : Cases) {
        Pass(Mono16(64, 1000)); // the low bins hold something to lose
        for (double Value : Values) {
            std::array<double, TSoundIndicator::LevelCount> Block{};
            Block[5] = Value;
            Indicator.AddBlock(Block.data());
        }
        for (double Level : Take(Indicator))
            EXPECT_EQ(Level, 0.0) << Values[0];
    }
    // One huge value on its own is kept: only a fault resets.
    std::array<double, TSoundIndicator::LevelCount> Block{};
    Block[5] = Max / 40;
    Indicator.AddBlock(Block.data());
    EXPECT_DOUBLE_EQ(Take(Indicator)[5], Max / 2);
}

TEST_F(IndicatorTest, TakeLevelsFillsNoMoreThanItsArrayAndNoMoreThan32)
{
    Start(16, 1);
    Pass(Mono16(64, 1000));
    std::array<double, 4> Short{};
    Indicator.TakeLevels(Short);
    EXPECT_NEAR(Short[0], ConstantLevel(1000), 1e-4);

    Pass(Mono16(64, 1000));
    std::array<double, 40> Long;
    Long.fill(-7.0);
    Indicator.TakeLevels(Long);
    EXPECT_NEAR(Long[0], ConstantLevel(1000), 1e-4);
    for (size_t K = TSoundIndicator::LevelCount; K < Long.size(); ++K)
        EXPECT_EQ(Long[K], -7.0);
}

// ---------------------------------------------------------------------------------------------
// Pass-through and the stage contract

TEST_F(IndicatorTest, BytesArePassedOnUnchangedWhateverTheirSizeAndFormat)
{
    std::mt19937 Generator(11);
    std::uniform_int_distribution<int> Byte(0, 255);
    for (auto [Bits, Channels] : { std::pair{ 16, 2 }, { 16, 1 }, { 8, 1 }, { 8, 2 }, { 24, 6 } }) {
        Start(Bits, Channels);
        for (size_t Length : { 1u, 3u, 63u, 255u, 256u, 1000u, 16384u, 16387u }) {
            std::vector<uint8_t> Bytes(Length);
            for (auto& B : Bytes)
                B = static_cast<uint8_t>(Byte(Generator));
            Pass(Bytes);
        }
    }
}

TEST_F(IndicatorTest, ShortReadsFollowTheSourceAndPositionIsTheSources)
{
    Start(16, 2);
    const auto Bytes = Stereo16(100, 1234, -4321);
    Source->Queue(Bytes);
    std::vector<uint8_t> Front(256);
    EXPECT_EQ(Indicator.GetData(Front.data(), 256), 256);
    EXPECT_EQ(Indicator.Position, 256);
    std::vector<uint8_t> Rest(1024);
    EXPECT_EQ(Indicator.GetData(Rest.data(), 1024), 144);
    EXPECT_EQ(Indicator.Position, 400);
    EXPECT_TRUE(std::equal(Front.begin(), Front.end(), Bytes.begin()));
    EXPECT_TRUE(std::equal(Bytes.begin() + 256, Bytes.end(), Rest.begin()));
    // 0 is the end of the data and is passed on as such.
    EXPECT_EQ(Indicator.GetData(Rest.data(), 1024), 0);
    // The first read was one block; the 36 frames of the second make none.
    EXPECT_NEAR(Take(Indicator)[0], ConstantLevel(1543.5), 1e-4);
}

TEST_F(IndicatorTest, InitAndFlushDriveTheInput)
{
    Start(16, 2);
    EXPECT_EQ(Source->InitCalls, 1);
    EXPECT_TRUE(Indicator.Busy);
    EXPECT_EQ(Indicator.Size, -1);
    Pass(Stereo16(64, 1, 1));
    Indicator.Flush();
    EXPECT_EQ(Source->FlushCalls, 1);
    EXPECT_FALSE(Indicator.Busy);

    Source->PlannedSize = 1764000;
    Indicator.Init();
    EXPECT_EQ(Source->InitCalls, 2);
    EXPECT_EQ(Indicator.Size, 1764000);
    EXPECT_EQ(Indicator.Position, 0);
    EXPECT_EQ(Indicator.GetBitsPerSample(), 16);
    EXPECT_EQ(Indicator.GetChannels(), 2);
    EXPECT_EQ(Indicator.GetSampleRate(), 44100);
    EXPECT_EQ(Indicator.GetTotalTime(), 0); // whatever the source answers
}

TEST_F(IndicatorTest, MisuseRaisesTheStagesMessages)
{
    for (auto Query : { &TSoundIndicator::GetBitsPerSample, &TSoundIndicator::GetChannels,
             &TSoundIndicator::GetSampleRate })
        ExpectMessage([&] { (Indicator.*Query)(); }, "Input is not assigned.");
    ExpectMessage([&] { Indicator.Init(); }, "Input is not assigned.");
    EXPECT_FALSE(Indicator.Busy);
    Indicator.Flush(); // without an input there is nothing to end

    Source = std::make_unique<TScriptedInput>(16, 2);
    Indicator.SetInput(Source.get());
    uint8_t Buffer[256];
    ExpectMessage([&] { Indicator.GetData(Buffer, 256); }, "The Stream is not opened");
    Indicator.Init();
    Indicator.Flush();
    ExpectMessage([&] { Indicator.GetData(Buffer, 256); }, "The Stream is not opened");

    // A failing Init of the input leaves the indicator idle, ready for the next start.
    Source->InitError = "The component is buisy";
    ExpectMessage([&] { Indicator.Init(); }, "The component is buisy");
    EXPECT_FALSE(Indicator.Busy);
    ExpectMessage([&] { Indicator.GetData(Buffer, 256); }, "The Stream is not opened");
}

TEST_F(IndicatorTest, InputTakenAwayDuringARunIsReportedNotRead)
{
    Start(16, 2);
    Indicator.SetInput(nullptr);
    EXPECT_EQ(Source->FlushCalls, 1);
    uint8_t Buffer[256];
    ExpectMessage([&] { Indicator.GetData(Buffer, 256); }, "Input is not assigned.");
    EXPECT_FALSE(Indicator.InputLockSet());
}

TEST_F(IndicatorTest, FailingReadPassesThroughAndKeepsTheInputLockUntilReleased)
{
    Start(16, 2);
    Source->FailMessage = "Wave-in device 0 failed";
    uint8_t Buffer[256];
    ExpectMessage([&] { Indicator.GetData(Buffer, 256); }, "Wave-in device 0 failed");
    EXPECT_TRUE(Indicator.InputLockSet());
    Indicator.ReleaseInputLocks();
    EXPECT_FALSE(Indicator.InputLockSet());

    Source->FailMessage.clear();
    Pass(Stereo16(64, 1000, 1000));
    EXPECT_NEAR(Take(Indicator)[0], ConstantLevel(1000), 1e-4);
}

// ---------------------------------------------------------------------------------------------
// The reader on another thread

TEST(IndicatorThreads, ReaderNeverSeesAHalfDoneAnalysis)
{
    // Every block of the signal gives bin 0 the value L. A reader sees 0 (already read), L after
    // one delivery, or at most 64/63 L after several folded deliveries of 64 blocks each; values
    // taken in the middle of an analysis would be up to 64 times larger.
    TScriptedInput Source(16, 2);
    TSoundIndicator Indicator(nullptr);
    Indicator.SetInput(&Source);
    Source.Repeat(Stereo16(4096, 1000, 1000));
    Indicator.Init();
    const double L = ConstantLevel(1000);

    std::atomic<bool> ReaderSawLevel{ false };
    std::atomic<bool> WriterDone{ false };
    int Garbage = 0;
    std::thread Reader([&] {
        TLevels Values;
        while (!WriterDone) {
            Indicator.TakeLevels(Values);
            if (Values[0] != 0.0)
                ReaderSawLevel = true;
            for (double V : Values)
                Garbage += !std::isfinite(V) || V < 0.0 || V > L * 64 / 63 + 1e-6;
            if (Values[0] != 0.0 && std::fabs(Values[0] - L) > 1e-4 && Values[0] < L)
                ++Garbage;
        }
    });

    std::vector<uint8_t> Buffer(16384);
    int Deliveries = 0;
    const auto Deadline = std::chrono::steady_clock::now() + TestSupport::FailAfter;
    while ((Deliveries < 200 || !ReaderSawLevel) && std::chrono::steady_clock::now() < Deadline) {
        ASSERT_EQ(Indicator.GetData(Buffer.data(), 16384), 16384);
        ++Deliveries;
    }
    WriterDone = true;
    Reader.join();
    Indicator.Flush();
    EXPECT_TRUE(ReaderSawLevel);
    EXPECT_EQ(Garbage, 0);
}
