// Recording in real time from a private PulseAudio server, through each backend of Linux: the
// server's own sources (the PulseAudio backend) and ALSA's "default" device, which the server
// serves too. Every device test runs on both.
//
// CTest starts the server (tools/sound-server) before these tests and names its folder in
// CORVATONE_SOUND_SERVER_DIR; the process points itself at the server through PULSE_SERVER and
// XDG_CONFIG_HOME before its first call into ALSA or the server's client library, and a test can
// kill the server and start it again. The server plays a 440 Hz tone at half of full scale into
// a null sink whose monitor is the default source.
#include "ACS_Audio.h"
#include "ACS_LAME.h"
#include "LinuxWaveBackends.h"
#include "Mp3Decoding.h"
#include "SinkTestSupport.h"
#include "SoundServerModules.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double ToneHz = 440;
constexpr double ToneAmplitude16 = 16384; // the tone's amplitude in 16-bit samples
constexpr int32_t Rate = 44100;
constexpr int32_t BytesPerSecond = Rate * 4;
constexpr std::size_t Window = Rate / 10; // frames of one level measurement

const bool ServerEnvironment = TestSupport::UsePrivateSoundServer();

void SoundServer(const std::string& Arguments)
{
    const std::string Command = std::string(SOUND_SERVER_SCRIPT) + " " + Arguments + " >/dev/null";
    ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
}

void Use16BitStereo(TAudioIn& AudIn, int32_t Seconds)
{
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = Rate;
    AudIn.RecTime = Seconds;
}

TDecodedMp3 AsSound(const std::vector<uint8_t>& Pcm)
{
    TDecodedMp3 Sound;
    Sound.SampleRate = Rate;
    Sound.Channels = 2;
    Sound.Samples.resize(Pcm.size() / 2);
    std::memcpy(Sound.Samples.data(), Pcm.data(), Sound.Samples.size() * 2);
    return Sound;
}

// Windows of the left channel from From on whose tone lies within 1 dB of the played one.
int WindowsWithTheTone(const TDecodedMp3& Sound, std::size_t From)
{
    int Count = 0;
    for (std::size_t At = From; At + Window <= Sound.FramesPerChannel(); At += Window)
        Count += std::abs(Decibels(ToneAmplitude(Sound, 0, ToneHz, At, Window) / ToneAmplitude16))
            < 1.0;
    return Count;
}

// A backend of Linux and what it calls the server's default source.
struct TServerBackend {
    const char* Name;
    std::unique_ptr<TWaveBackend> (*Create)();
    const char* DefaultName;
    const char* LossReason; // what the failure says of the server's end
};

const TServerBackend Backends[] = {
    { "Pulse", &CreatePulseWaveBackend, "Default (Playback of Corvatone)",
        "Lost the connection to the sound server: Connection terminated" },
    { "Alsa", &CreateAlsaWaveBackend, "Default (PulseAudio)", "Capture failed" },
};

class ServerTest : public testing::TestWithParam<TServerBackend> {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(TestSupport::SoundServerDir().empty())
            << "CTest's sound server fixture sets up the server";
        UseWaveBackend(GetParam().Create());
        ASSERT_GE(WaveInDeviceCount(), 1);
    }
};

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

class ServerRecordingTest : public ServerTest {
protected:
    ServerRecordingTest()
    {
        Watch = std::make_unique<TRunWatch>(MP3Out);
        MP3Out.SetInput(&AudIn);
        MP3Out.SetBitRate(br160);
    }

    void Record(const std::string& Name, int32_t Seconds)
    {
        Use16BitStereo(AudIn, Seconds);
        MP3Out.SetFileName(Dir.File(Name));
        MP3Out.Run();
    }

    bool AwaitSeconds(int32_t Seconds)
    {
        return TestSupport::WaitUntil([&] { return AudIn.Position >= Seconds * BytesPerSecond; });
    }

    TTempDir Dir;
    TAudioIn AudIn{ nullptr };
    // The sink, and with it its worker, ends before the watch of its events.
    std::unique_ptr<TRunWatch> Watch;
    TMP3Out MP3Out{ nullptr };
};

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

// A server that dies mid-run ends the run with a failure that names the device, leaves a file
// that decodes, and once the server is back the inputs are listed and recorded from again.
TEST_P(ServerRecordingTest, AServerKilledMidRunFailsTheRunAndARestartedOneRecordsAgain)
{
    Record("killed.mp3", 20);
    ASSERT_TRUE(AwaitSeconds(1));
    SoundServer("stop " + TestSupport::SoundServerDir() + " --kill");
    const bool Ended = Watch->AwaitEnd();
    SoundServer("start " + TestSupport::SoundServerDir());
    ASSERT_FALSE(Ended);
    EXPECT_EQ(Watch->Done.Count(), 0);
    const std::string Device = std::string("capture device 0 \"") + GetParam().DefaultName + "\"";
    EXPECT_NE(Watch->Failure().find(Device), std::string::npos) << Watch->Failure();
    EXPECT_NE(Watch->Failure().find(GetParam().LossReason), std::string::npos) << Watch->Failure();
    EXPECT_FALSE(AudIn.Busy);

    const TDecodedMp3 Cut = DecodeMp3(Dir.File("killed.mp3"));
    EXPECT_TRUE(Cut.Clean);
    EXPECT_GE(Cut.FramesPerChannel(), static_cast<std::size_t>(Rate))
        << "the second recorded before the kill";
    EXPECT_LT(Cut.FramesPerChannel(), static_cast<std::size_t>(20 * Rate));

    // The inputs can be listed again from the new server (a new connection for the server's own
    // backend), and the same objects record again.
    const std::vector<TWaveInput> Inputs = ListWaveInputs();
    ASSERT_FALSE(Inputs.empty());
    EXPECT_EQ(Inputs[0].Name, GetParam().DefaultName);
    Record("again.mp3", 2);
    ASSERT_TRUE(Watch->Done.WaitFor(1)) << Watch->Failure();
    EXPECT_EQ(Watch->Failed.Count(), 1);
    const TDecodedMp3 Again = DecodeMp3(Dir.File("again.mp3"));
    ASSERT_TRUE(Again.Clean);
    ExpectLengthOf(Again, 2 * Rate, 16384 / 4);
    EXPECT_GE(WindowsWithTheTone(Again, Window + DelayAndPaddingBound), 2 * 10 - 3);
}

} // namespace
