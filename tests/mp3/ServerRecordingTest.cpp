// Recording in real time from the private sound server that CTest starts, through each backend of
// Linux (ServerRecording.h): every device test runs on both. The server is shared with the other
// tests of the fixture, so none of these ends it; ServerLossTest.cpp kills a server of its own.
#include "ServerRecording.h"

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace ServerRecording;

const bool ServerEnvironment = TestSupport::UsePrivateSoundServer();

TDecodedMp3 AsSound(const std::vector<uint8_t>& Pcm)
{
    TDecodedMp3 Sound;
    Sound.SampleRate = Rate;
    Sound.Channels = 2;
    Sound.Samples.resize(Pcm.size() / 2);
    std::memcpy(Sound.Samples.data(), Pcm.data(), Sound.Samples.size() * 2);
    return Sound;
}

INSTANTIATE_TEST_SUITE_P(Backends, ServerTest, testing::ValuesIn(Backends),
    [](const auto& Backend) { return std::string(Backend.param.Name); });

TEST_P(ServerTest, TheDefaultDeviceIsNamedAfterTheServerBehindIt)
{
    TWaveDeviceInfo Info;
    GetWaveDeviceInfo(0, false, Info);
    EXPECT_EQ(Info.Name, GetParam().DefaultName);
    EXPECT_TRUE(HasFormat(Info.Formats, wf4S16));
    EXPECT_TRUE(Info.Stereo);
}

// What arrives is the tone, whole, and no faster than the server plays it.
TEST_P(ServerTest, ThreeSecondsOfTheToneArriveWholeAndInRealTime)
{
    TAudioIn AudIn(nullptr);
    Use16BitStereo(AudIn, 3);
    std::vector<uint8_t> Pcm;
    std::vector<std::pair<double, std::size_t>> Arrivals; // seconds after Init, bytes so far
    uint8_t Block[16384];
    const auto Start = Clock::now();
    AudIn.Init();
    while (const int32_t Count = AudIn.GetData(Block, sizeof Block)) {
        Pcm.insert(Pcm.end(), Block, Block + Count);
        Arrivals.emplace_back(
            std::chrono::duration<double>(Clock::now() - Start).count(), Pcm.size());
    }
    AudIn.Flush();

    ASSERT_EQ(Pcm.size(), 33u * 16384); // 3 s of 176400 bytes, in whole buffers
    EXPECT_EQ(AudIn.Losses().Dropouts, 0);
    EXPECT_EQ(AudIn.Losses().LostFrames, 0);
    // The server makes the sound in real time, so by any moment at most the sound of the time
    // since the start can have come, plus what the device's first period may hold. A delivery
    // faster than that (a device that reads a file) fails here; load can only make it slower.
    constexpr double Slack = 0.25;
    for (const auto& [Seconds, Bytes] : Arrivals)
        EXPECT_LE(static_cast<double>(Bytes) / BytesPerSecond, Seconds + Slack)
            << Bytes << " bytes had arrived after " << Seconds << " s";
    // Not a speed requirement: a generous bound that only a stall or a doubled wait breaks.
    EXPECT_LT(Arrivals.back().first, 3 + 10.0);

    const TDecodedMp3 Sound = AsSound(Pcm);
    const std::size_t Frames = Sound.FramesPerChannel();
    // The tone's level in every window after the first (which may hold the stream's start).
    EXPECT_EQ(WindowsWithTheTone(Sound, Window), static_cast<int>(Frames / Window) - 1);
    EXPECT_EQ(MaxChannelDifference(Sound), 0);
    // Over the whole recording the tone stays one coherent 440 Hz sine: a lost or doubled piece
    // would break its phase, and a wrong clock would move its frequency (the 3 s span resolves
    // a third of a hertz).
    const double Whole = ToneAmplitude(Sound, 0, ToneHz, Window, Frames - Window);
    EXPECT_NEAR(Decibels(Whole / ToneAmplitude16), 0.0, 1.0);
    EXPECT_LT(ToneAmplitude(Sound, 0, ToneHz - 1, Window, Frames - Window), Whole / 5);
    EXPECT_LT(ToneAmplitude(Sound, 0, ToneHz + 1, Window, Frames - Window), Whole / 5);
}

// A reader that stops taking sound for two seconds leaves the device without a queued buffer
// once the four it had are full: the device drops what comes, counted as one stretch of at most
// the stall's frames, and the run goes on to its end.
TEST_P(ServerTest, AStalledReaderIsOneDropoutAndTheRunGoesOn)
{
    TAudioIn AudIn(nullptr);
    Use16BitStereo(AudIn, 4);
    uint8_t Block[16384];
    AudIn.Init();
    ASSERT_GT(AudIn.GetData(Block, sizeof Block), 0);
    const auto Stall = std::chrono::seconds(2);
    const auto StallStart = Clock::now();
    std::this_thread::sleep_for(Stall); // the fault itself, not a wait for an event
    const auto Stalled = Clock::now() - StallStart;
    while (AudIn.GetData(Block, sizeof Block) > 0) { }
    AudIn.Flush();

    const TCaptureLosses Losses = AudIn.Losses();
    EXPECT_EQ(Losses.Dropouts, 1);
    EXPECT_GT(Losses.LostFrames, 0);
    EXPECT_LE(Losses.LostFrames, std::chrono::duration<double>(Stalled).count() * Rate);
    EXPECT_GE(AudIn.Position, 4 * BytesPerSecond); // the run went on to its end
}

INSTANTIATE_TEST_SUITE_P(Backends, ServerRecordingTest, testing::ValuesIn(Backends),
    [](const auto& Backend) { return std::string(Backend.param.Name); });

TEST_P(ServerRecordingTest, PauseAndResumeRecordTheWholeDurationOfTheTone)
{
    Record("paused.mp3", 3);
    ASSERT_TRUE(AwaitSeconds(1));
    MP3Out.Pause();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return MP3Out.Status() == osPaused; }));
    // The length of the pause under test, longer than the device's queued buffers and half its
    // ring: the device drops what it cannot hold and goes on.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    MP3Out.Resume();
    ASSERT_TRUE(Watch->AwaitEnd()) << Watch->Failure();

    const TDecodedMp3 Sound = DecodeMp3(Dir.File("paused.mp3"));
    ASSERT_TRUE(Sound.Clean);
    ExpectLengthOf(Sound, 3 * Rate, 16384 / 4);
    // Every window but those of the start and of the resumption holds the tone at its level.
    const int Windows = static_cast<int>(3 * Rate / Window);
    EXPECT_GE(WindowsWithTheTone(Sound, Window + DelayAndPaddingBound), Windows - 4);
}

} // namespace
