// End to end: the capture source on the simulated sound card into the MP3 sink, decoded again.
#include "ACS_Audio.h"
#include "ACS_LAME.h"
#include "Mp3Decoding.h"
#include "Mp3Expectations.h"
#include "SimulatedWaveDevice.h"
#include "SinkTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr double ToneLevel = 0.25;  // of full scale
constexpr double ToneAmplitude16 = ToneLevel * 32767;

class RecordingTest : public testing::Test {
protected:
    RecordingTest()
    {
        Card->SetSignal(TSimulatedSignal::Sine(1000.0, ToneLevel));
        Card->SetPacing(TSimulatedPacing::FlatOut);
        UseWaveBackend(Card);
        AudIn.InBitsPerSample = 16;
        AudIn.InChannels = 2;
        AudIn.InSampleRate = 44100;
        MP3Out.SetInput(&AudIn);
        MP3Out.SetFileName(FileName);
    }

    TDecodedMp3 Record()
    {
        MP3Out.Run();
        EXPECT_TRUE(Watch.AwaitEnd()) << Watch.Failure();
        return DecodeMp3(FileName);
    }

    TTempDir Dir;
    std::string FileName = Dir.File("recording.mp3");
    std::shared_ptr<TSimulatedWaveBackend> Card = std::make_shared<TSimulatedWaveBackend>();
    // Destroyed in reverse: the sink and its worker first.
    TAudioIn AudIn{nullptr};
    TMP3Out MP3Out{nullptr};
    TRunWatch Watch{MP3Out};
};

TEST_F(RecordingTest, RecordsRecTimeSecondsOfTheCardsSound)
{
    AudIn.RecTime = 3;
    MP3Out.SetBitRate(br192);
    const TDecodedMp3 Sound = Record();

    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, 44100);
    EXPECT_EQ(Sound.FramesByBitRate, (std::map<int, int>{{192, Sound.Frames}}));
    ExpectLengthOf(Sound, 3 * 44100, 16384 / 4);
    ExpectTone(Sound, 0, ToneAmplitude16, 44100, 44100);
    ExpectTone(Sound, 1, ToneAmplitude16, 44100, 44100);
    EXPECT_EQ(Card->OpenDevices(), 0) << "the run's end closes the device";
}

TEST_F(RecordingTest, RecordsInRealTimeAtTheLowerSampleRate)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    AudIn.InSampleRate = 22050;
    AudIn.RecTime = 1;
    MP3Out.SetBitRate(br64);
    const TDecodedMp3 Sound = Record();

    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, 22050);
    EXPECT_EQ(Sound.FramesByBitRate, (std::map<int, int>{{64, Sound.Frames}}));
    ExpectLengthOf(Sound, 22050, 16384 / 4);
    ExpectTone(Sound, 0, ToneAmplitude16, 5512, 11025);
}

TEST_F(RecordingTest, MonoCaptureGivesTwoEqualChannels)
{
    AudIn.InChannels = 1;
    AudIn.RecTime = 1;
    const TDecodedMp3 Sound = Record();

    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    ExpectLengthOf(Sound, 44100, 16384 / 2);
    EXPECT_LE(MaxChannelDifference(Sound), 1);
    ExpectTone(Sound, 0, ToneAmplitude16, 11025, 22050);
}

TEST_F(RecordingTest, StopDuringTheRecordingLeavesACompleteShorterFile)
{
    AudIn.RecTime = 10;
    MP3Out.OnProgress = [&](TComponent*) {
        if (MP3Out.Progress() >= 10)
            MP3Out.Stop();
    };
    const TDecodedMp3 Sound = Record();

    EXPECT_EQ(Watch.Done.Count(), 1);
    ASSERT_TRUE(Sound.Clean);
    // Stop is seen one block after the report of 10 % (9.5 % rounded up).
    EXPECT_GE(Sound.FramesPerChannel(), 44100 * 95 / 100);
    EXPECT_LE(Sound.FramesPerChannel(), 44100 + 2 * 4096 + DelayAndPaddingBound);
    EXPECT_EQ(Card->OpenDevices(), 0);
}

TEST_F(RecordingTest, DeviceThatCannotOpenFailsTheRunWithTheFileClosed)
{
    TSimulatedFaults Faults;
    Faults.OpenError = "the simulated card is unplugged";
    Card->SetFaults(Faults);
    MP3Out.Run();
    EXPECT_EQ(Watch.Failed.Count(), 1);
    EXPECT_NE(Watch.Failure().find("the simulated card is unplugged"), std::string::npos)
        << Watch.Failure();
    EXPECT_FALSE(FileIsOpen(FileName));
    EXPECT_EQ(MP3Out.Status(), osIdle);
}

}  // namespace
