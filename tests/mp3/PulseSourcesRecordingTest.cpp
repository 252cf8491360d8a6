// Recording from a chosen source of the private sound server: besides the server's own sink
// playing its 440 Hz tone, a second sink plays 660 Hz (module-sine) and a source of its own makes
// 1000 Hz (module-sine-source). Each source, chosen by its number, records its own tone and none
// of the others; the monitor of the second sink records what that sink plays. The process is
// pointed at the server by ServerRecordingTest.cpp, linked into the same program.
#include "ACS_Audio.h"
#include "ACS_LAME.h"
#include "LinuxWaveBackends.h"
#include "Mp3Decoding.h"
#include "SinkTestSupport.h"
#include "SoundServerModules.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using TestSupport::TLoadedModule;

constexpr int32_t Rate = 44100;

// The number of the input whose identifier is Id, or -1.
int32_t InputOf(const std::vector<TWaveInput>& Inputs, const std::string& Id)
{
    for (std::size_t Device = 0; Device < Inputs.size(); ++Device)
        if (Inputs[Device].Id == Id)
            return static_cast<int32_t>(Device);
    return -1;
}

class PulseSourcesRecordingTest : public testing::Test {
protected:
    PulseSourcesRecordingTest() { Watch = std::make_unique<TRunWatch>(MP3Out); }

    void SetUp() override
    {
        ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr) << "the sound server fixture is needed";
        Backend = CreatePulseWaveBackend();
        UseWaveBackend(Backend);
        MP3Out.SetInput(&AudIn);
        MP3Out.SetBitRate(br160);
        AudIn.InBitsPerSample = 16;
        AudIn.InChannels = 2;
        AudIn.InSampleRate = Rate;
        AudIn.RecTime = 2;
    }

    // Two seconds from input Device, decoded.
    TDecodedMp3 RecordFrom(int32_t Device, const std::string& Name)
    {
        AudIn.SetBaseChannel(Device);
        MP3Out.SetFileName(Dir.File(Name));
        MP3Out.Run();
        EXPECT_TRUE(Watch->AwaitEnd(++Runs)) << Watch->Failure();
        return DecodeMp3(Dir.File(Name));
    }

    // The tone of Hz stands out of the sound (after its first tenth of a second, which may hold
    // the stream's start); the other tones are not in it.
    static void ExpectOnly(const TDecodedMp3& Sound, double Hz)
    {
        ASSERT_TRUE(Sound.Clean);
        const std::size_t From = Rate / 10 + DelayAndPaddingBound;
        const std::size_t Count = Sound.FramesPerChannel() - From - DelayAndPaddingBound;
        const double Heard = ToneAmplitude(Sound, 0, Hz, From, Count);
        EXPECT_GT(Heard, 1000) << Hz << " Hz";
        for (double Other : { 440.0, 660.0, 1000.0 }) {
            if (Other == Hz)
                continue;
            EXPECT_LT(ToneAmplitude(Sound, 0, Other, From, Count), Heard / 100)
                << Other << " Hz beside " << Hz << " Hz";
        }
    }

    TTempDir Dir;
    std::shared_ptr<TWaveBackend> Backend;
    TAudioIn AudIn{ nullptr };
    std::unique_ptr<TRunWatch> Watch;
    TMP3Out MP3Out{ nullptr };
    int Runs = 0;
};

TEST_F(PulseSourcesRecordingTest, EachChosenSourceRecordsItsOwnTone)
{
    TLoadedModule Second("module-null-sink sink_name=second rate=44100 "
                         "sink_properties=device.description=Second");
    TLoadedModule Player("module-sine sink=second frequency=660");
    TLoadedModule Sine("module-sine-source source_name=sine rate=44100 frequency=1000");
    // As the window lists them: afresh, with the unit's count of inputs taken again.
    const std::vector<TWaveInput> Inputs = ListWaveInputs();
    const int32_t Monitor = InputOf(Inputs, "second.monitor");
    const int32_t Source = InputOf(Inputs, "sine");
    ASSERT_GT(Monitor, 0);
    ASSERT_GT(Source, 0);
    EXPECT_EQ(Inputs[static_cast<std::size_t>(Monitor)].Name, "Playback of Second");

    ExpectOnly(RecordFrom(Monitor, "second.mp3"), 660);
    ExpectOnly(RecordFrom(Source, "sine.mp3"), 1000);
    ExpectOnly(RecordFrom(0, "default.mp3"), 440);
}

} // namespace
