// The recording chain of the window, capture source -> level indicator -> MP3 sink, on the
// simulated sound card: the indicator must not change what is recorded, and a reader on another
// thread must see the level of the sound while the run goes on.
#include "ACS_Audio.h"
#include "ACS_Indicator.h"
#include "ACS_LAME.h"
#include "SimulatedWaveDevice.h"
#include "TestSupport.h"

#include <array>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A constant signal gives every 64-frame block the same bin 0 value: 20 log10(c * 0.0124807).
constexpr int32_t SignalValue = 1000;
const double BlockLevel = 20.0 * std::log10(SignalValue * 0.0124807);

std::vector<char> ReadFile(const fs::path& Path)
{
    std::ifstream File(Path, std::ios::binary);
    return { std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>() };
}

class IndicatorChainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Card->SetSignal(TSimulatedSignal::Constant(SignalValue));
        Card->SetPacing(TSimulatedPacing::FlatOut);
        UseWaveBackend(Card);
        AudIn.InBitsPerSample = 16;
        AudIn.InChannels = 2;
        AudIn.InSampleRate = 44100;
        AudIn.RecTime = 3;
        MP3Out.SetBitRate(br128);
        MP3Out.OnDone = [this](TComponent*) { Ends.Raise(); };
        // A failed run ends too, so the test reports its message at once instead of waiting.
        MP3Out.OnThreadException = [this](TComponent*, const std::exception& E) {
            {
                std::lock_guard Lock(FailureLock);
                Failure = E.what();
            }
            Ends.Raise();
        };
        Dir = fs::temp_directory_path()
            / ("corvatone-chain-" + std::to_string(std::random_device()()));
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    // Records one run into Name and waits for its end; Reader runs on its own thread meanwhile.
    std::vector<char> Record(const std::string& Name, const std::function<void()>& Reader = {})
    {
        const int EndsBefore = Ends.Count();
        MP3Out.SetFileName((Dir / Name).string());
        std::atomic<bool> Running{ true };
        std::thread ReaderThread;
        if (Reader)
            ReaderThread = std::thread([&] {
                while (Running)
                    Reader();
            });
        MP3Out.Run();
        const bool Ended = Ends.WaitFor(EndsBefore + 1);
        Running = false;
        if (ReaderThread.joinable())
            ReaderThread.join();
        EXPECT_TRUE(Ended);
        {
            std::lock_guard Lock(FailureLock);
            EXPECT_EQ(Failure, "");
        }
        return ReadFile(Dir / Name);
    }

    std::shared_ptr<TSimulatedWaveBackend> Card = std::make_shared<TSimulatedWaveBackend>();
    // Runs that ended, through OnDone or OnThreadException.
    TestSupport::TSignal Ends;
    std::mutex FailureLock;
    std::string Failure; // the last failure's message, under FailureLock
    fs::path Dir;
    // Destroyed in reverse: the sink (and its worker) first.
    TAudioIn AudIn{ nullptr };
    TSoundIndicator SndIndic{ nullptr };
    TMP3Out MP3Out{ nullptr };
};

} // namespace

TEST_F(IndicatorChainTest, MetersTheRecordingWithoutChangingIt)
{
    MP3Out.SetInput(&AudIn);
    const std::vector<char> Direct = Record("direct.mp3");
    ASSERT_GT(Direct.size(), 10000u);

    SndIndic.SetInput(&AudIn);
    MP3Out.SetInput(&SndIndic);
    int Reads = 0;
    int LevelReads = 0;
    int Garbage = 0;
    std::array<double, TSoundIndicator::LevelCount> Values;
    // Between two reads the accumulators are cleared (0), hold one delivery (the block value) or
    // several folded deliveries of 64 blocks each (at most 64/63 of it).
    auto Check = [&] {
        ++Reads;
        if (Values[0] == 0.0)
            return;
        ++LevelReads;
        Garbage += Values[0] < BlockLevel - 1e-4 || Values[0] > BlockLevel * 64 / 63 + 1e-4;
        for (double V : Values)
            Garbage += !std::isfinite(V) || V < 0.0 || V > Values[0];
    };
    const std::vector<char> Metered = Record("metered.mp3", [&] {
        SndIndic.TakeLevels(Values);
        Check();
        std::this_thread::yield();
    });
    // The accumulators outlive the run: a delivery after the last read is still there.
    SndIndic.TakeLevels(Values);
    Check();

    EXPECT_TRUE(Direct == Metered) << Direct.size() << " and " << Metered.size() << " bytes";
    EXPECT_GT(LevelReads, 0) << Reads << " reads";
    EXPECT_EQ(Garbage, 0);
    EXPECT_FALSE(SndIndic.Busy);
    EXPECT_EQ(Card->OpenDevices(), 0);
}

// ---------------------------------------------------------------------------------------------
// The chain as the window builds it, each stage owned by one component: a start that fails leaves
// everything as it was, and a stage destroyed directly during a run leaves the chain first.

namespace {

class OwnedChainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Card->SetSignal(TSimulatedSignal::Constant(SignalValue));
        Card->SetPacing(TSimulatedPacing::FlatOut);
        UseWaveBackend(Card);
        AudIn->InBitsPerSample = 16;
        AudIn->InChannels = 2;
        AudIn->InSampleRate = 44100;
        AudIn->RecTime = 3600;
        SndIndic->SetInput(AudIn);
        MP3Out->SetInput(SndIndic);
        MP3Out->OnDone = [this](TComponent*) { Ends.Raise(); };
        MP3Out->OnThreadException = [this](TComponent*, const std::exception&) {
            Failures.Raise();
            Ends.Raise();
        };
        Dir = fs::temp_directory_path()
            / ("corvatone-owned-chain-" + std::to_string(std::random_device()()));
        fs::create_directories(Dir);
        MP3Out->SetFileName((Dir / "take.mp3").string());
    }
    void TearDown() override { fs::remove_all(Dir); }

    std::shared_ptr<TSimulatedWaveBackend> Card = std::make_shared<TSimulatedWaveBackend>();
    TComponent Owner;
    TAudioIn* AudIn = new TAudioIn(&Owner);
    TSoundIndicator* SndIndic = new TSoundIndicator(&Owner);
    TMP3Out* MP3Out = new TMP3Out(&Owner);
    TestSupport::TSignal Ends;
    TestSupport::TSignal Failures;
    fs::path Dir;
};

} // namespace

TEST_F(OwnedChainTest, StartThatCannotOpenTheDeviceLeavesTheFileAndTheStagesAsTheyWere)
{
    const std::string Earlier = "an earlier take";
    std::ofstream(Dir / "take.mp3", std::ios::binary) << Earlier;
    TSimulatedFaults Faults;
    Faults.OpenError = "Device or resource busy";
    Card->SetFaults(Faults);
    MP3Out->Run();
    ASSERT_TRUE(Failures.WaitFor(1));
    const std::vector<char> After = ReadFile(Dir / "take.mp3");
    EXPECT_EQ(std::string(After.begin(), After.end()), Earlier);
    EXPECT_FALSE(SndIndic->Busy);
    EXPECT_FALSE(AudIn->Busy);
    EXPECT_EQ(MP3Out->Status(), osIdle);

    Card->SetFaults({});
    AudIn->RecTime = 1;
    MP3Out->Run();
    ASSERT_TRUE(Ends.WaitFor(2));
    EXPECT_EQ(Failures.Count(), 1);
    EXPECT_GT(ReadFile(Dir / "take.mp3").size(), Earlier.size());
}

class OwnedChainStageDestroyed : public OwnedChainTest,
                                 public ::testing::WithParamInterface<bool> { };

// Deleting the source or the indicator directly while the worker reads through them: the reader
// waits for the read in flight and forgets the stage, the run fails with a message, the device is
// released, and nothing reads freed memory (the sanitizer runs see it).
TEST_P(OwnedChainStageDestroyed, DuringARunEndsTheRunWithoutTouchingTheStageAgain)
{
    const bool Source = GetParam();
    MP3Out->Run();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return AudIn->Position > 4 * 16384; }));
    if (Source)
        delete AudIn;
    else
        delete SndIndic;
    ASSERT_TRUE(Ends.WaitFor(1));
    EXPECT_EQ(Failures.Count(), 1);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return MP3Out->Status() == osIdle; }));
    if (Source)
        EXPECT_EQ(SndIndic->GetInput(), nullptr);
    else
        EXPECT_FALSE(AudIn->Busy) << "the indicator ended its input's run as it went";
    EXPECT_EQ(Card->OpenDevices(), 0);
}

INSTANTIATE_TEST_SUITE_P(Stage, OwnedChainStageDestroyed, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& Info) { return Info.param ? "Source" : "Indicator"; });
