// End to end: the capture source on the simulated sound card into the MP3 sink, decoded again.
#include "ACS_Audio.h"
#include "ACS_LAME.h"
#include "DiskSpace.h"
#include "Mp3Decoding.h"
#include "SimulatedWaveDevice.h"
#include "SinkTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr double ToneLevel = 0.25; // of full scale
constexpr double ToneAmplitude16 = ToneLevel * 32767;

class MP3RecordingTest : public testing::Test {
protected:
    MP3RecordingTest()
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
    TAudioIn AudIn{ nullptr };
    TMP3Out MP3Out{ nullptr };
    TRunWatch Watch{ MP3Out };
};

struct TRecordingCase {
    const char* Name;
    TSimulatedPacing Pacing;
    int32_t SampleRate;
    int32_t Channels;
    int32_t RecTime;
    TMP3BitRate BitRate;
};

// Cases show by their names in test listings.
void PrintTo(const TRecordingCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class MP3Recording : public MP3RecordingTest,
                     public testing::WithParamInterface<TRecordingCase> { };

TEST_P(MP3Recording, RecordsRecTimeSecondsOfTheCardsSound)
{
    const TRecordingCase& Case = GetParam();
    Card->SetPacing(Case.Pacing);
    AudIn.InSampleRate = Case.SampleRate;
    AudIn.InChannels = Case.Channels;
    AudIn.RecTime = Case.RecTime;
    MP3Out.SetBitRate(Case.BitRate);
    const TDecodedMp3 Sound = Record();

    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, Case.SampleRate);
    EXPECT_EQ(Sound.FramesByBitRate,
        (std::map<int, int>{ { MP3BitRateKbps(Case.BitRate), Sound.Frames } }));
    ExpectLengthOf(Sound, static_cast<std::size_t>(Case.RecTime) * Case.SampleRate,
        16384 / (2 * Case.Channels));
    ExpectTone(Sound, 0, ToneAmplitude16, Case.SampleRate / 2, Case.SampleRate / 2);
    ExpectTone(Sound, 1, ToneAmplitude16, Case.SampleRate / 2, Case.SampleRate / 2);
    EXPECT_EQ(Card->OpenDevices(), 0) << "the run's end closes the device";
    // The room asked for before a run holds the file the encoder writes.
    const auto Bytes = std::filesystem::file_size(FileName);
    EXPECT_GE(Bytes, Mp3StreamBytes(Case.RecTime, MP3BitRateKbps(Case.BitRate)));
    EXPECT_LE(
        Bytes + 65536, Mp3FileBytes(Case.RecTime, MP3BitRateKbps(Case.BitRate), Case.SampleRate));
}

INSTANTIATE_TEST_SUITE_P(Card, MP3Recording,
    testing::Values(
        TRecordingCase{ "FlatOutStereo", TSimulatedPacing::FlatOut, 44100, 2, 3, br192 },
        TRecordingCase{ "FlatOutMono", TSimulatedPacing::FlatOut, 44100, 1, 2, br128 },
        TRecordingCase{ "RealTime", TSimulatedPacing::RealTime, 22050, 2, 1, br64 }),
    [](const testing::TestParamInfo<TRecordingCase>& Info) { return Info.param.Name; });

TEST_F(MP3RecordingTest, StopDuringTheRecordingLeavesACompleteShorterFile)
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

} // namespace
