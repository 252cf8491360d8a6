// End to end through the real ALSA backend: the "default" capture PCM is ALSA's file plugin,
// reading a raw 1 kHz stereo sine, and the recording goes into the MP3 sink.
//
// The configuration lies under a temporary XDG_CONFIG_HOME that is set before the process's
// first ALSA call, which is why this executable holds no other test.
#include "ACS_Audio.h"
#include "ACS_LAME.h"
#include "LinuxWaveBackends.h"
#include "Mp3Decoding.h"
#include "ScriptedSource.h"
#include "SinkTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

constexpr double ToneAmplitude16 = 8000;

class AlsaMP3RecordingTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Root = std::filesystem::temp_directory_path()
            / ("corvatone-alsa-mp3-" + std::to_string(getpid()));
        std::filesystem::create_directories(Root / "alsa");
        const std::vector<uint8_t> Sine = SinePcm(44100, 2, 6.0, 1000, { ToneAmplitude16 });
        std::ofstream(Root / "sine.pcm", std::ios::binary)
            .write(reinterpret_cast<const char*>(Sine.data()),
                static_cast<std::streamsize>(Sine.size()));
        std::ofstream(Root / "alsa" / "asoundrc")
            << "pcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n"
            << "  infile \"" << (Root / "sine.pcm").string() << "\"\n  format \"raw\"\n}\n";
        setenv("XDG_CONFIG_HOME", Root.c_str(), 1);
        // ALSA's devices even where a sound server runs, which would otherwise be chosen.
        UseWaveBackend(CreateAlsaWaveBackend());
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(Root); }

    static inline std::filesystem::path Root;
};

// The file plugin hands out data as fast as it is read and drops what comes while no buffer is
// queued, so the recording may skip; its level is measured in short windows, the best of which
// lies between two skips.
double BestToneAmplitude(const TDecodedMp3& Sound, std::size_t From, std::size_t To)
{
    const std::size_t Window = 4410; // 100 cycles
    double Best = 0;
    for (std::size_t At = From; At + Window <= To; At += Window)
        Best = std::max(Best, ToneAmplitude(Sound, 0, 1000, At, Window));
    return Best;
}

TEST_F(AlsaMP3RecordingTest, RecordsFromTheDefaultDeviceIntoAnMp3)
{
    TTempDir Dir;
    TAudioIn AudIn(nullptr);
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;
    AudIn.RecTime = 2;
    TMP3Out MP3Out(nullptr);
    TRunWatch Watch(MP3Out);
    MP3Out.SetInput(&AudIn);
    MP3Out.SetFileName(Dir.File("alsa.mp3"));
    MP3Out.SetBitRate(br160);
    MP3Out.Run();
    ASSERT_TRUE(Watch.AwaitEnd()) << Watch.Failure();

    const TDecodedMp3 Sound = DecodeMp3(Dir.File("alsa.mp3"));
    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, 44100);
    EXPECT_EQ(Sound.FramesByBitRate, (std::map<int, int>{ { 160, Sound.Frames } }));
    ExpectLengthOf(Sound, 2 * 44100, 16384 / 4);
    EXPECT_NEAR(Decibels(BestToneAmplitude(Sound, 4096, 2 * 44100) / ToneAmplitude16), 0.0, 1.0);
}

} // namespace
