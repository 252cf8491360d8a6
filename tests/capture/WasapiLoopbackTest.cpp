// What the computer plays, on Windows: the loopback input that follows the wave-in devices, under
// Wine over a private sound server (tools/sound-server) whose null sink plays a 440 Hz tone at
// half of full scale. The sink is Wine's default output.
//
// Wine 8 lists the output and opens its audio client in loopback mode, but refuses the capture
// client of an output (AUDCLNT_E_WRONG_ENDPOINT_TYPE): the run then fails at its start with that
// reason, which is what these cases check there. Where the capture client is given, the run must
// record the sink's tone. The conversion and the buffer filling are tested apart
// (LoopbackPartsTest).
#include "ACS_Audio.h"
#include "ToneMeasure.h"
#include "Win32Capture.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mmsystem.h>
#include <string>
#include <vector>

namespace {

constexpr int32_t BlockBytes = 16384;
const std::string WineRefusal = "Cannot record from capture device %d \"%s\": "
                                "Cannot record what the computer plays: "
                                "IAudioClient::GetService(IAudioCaptureClient) failed with "
                                "0x88890003 (the output does not offer loopback capture)";

class WasapiLoopback : public testing::Test {
protected:
    void SetUp() override
    {
        UseWaveBackend(CreatePlatformWaveBackend());
        ASSERT_FALSE(DefaultOutputName().empty()) << "no output: is the sound server running?";
        Loopback = static_cast<int32_t>(waveInGetNumDevs());
        ASSERT_EQ(WaveInDeviceCount(), Loopback + 1);
    }

    // The refusal of Wine 8, for the loopback input.
    std::string Refusal() const
    {
        std::string Text = WineRefusal;
        Text.replace(Text.find("%d"), 2, std::to_string(Loopback));
        Text.replace(Text.find("%s"), 2, LoopbackName());
        return Text;
    }

    static std::string LoopbackName()
    {
        return "What the computer plays (" + DefaultOutputName() + ")";
    }

    int32_t Loopback = 0;
};

TEST_F(WasapiLoopback, TheInputAfterTheWaveInDevicesIsWhatTheDefaultOutputPlays)
{
    TWaveDeviceInfo Info;
    GetWaveDeviceInfo(Loopback, false, Info);
    EXPECT_EQ(Info.Name, LoopbackName());
    EXPECT_TRUE(Info.Stereo);
    EXPECT_TRUE(HasFormat(Info.Formats, wf4S16));
    EXPECT_TRUE(HasFormat(Info.Formats, wf2S16));
    EXPECT_FALSE(HasFormat(Info.Formats, wf4M08));
    // The list of the chooser: the wave-in devices by their names, then this input, found again
    // by an identifier that does not change with the default output.
    const std::vector<TWaveInput> Inputs = ListWaveInputs();
    ASSERT_EQ(Inputs.size(), size_t(Loopback) + 1);
    for (int32_t Device = 0; Device < Loopback; ++Device) {
        GetWaveDeviceInfo(Device, false, Info);
        EXPECT_EQ(Inputs[Device].Name, Info.Name);
        EXPECT_EQ(Inputs[Device].Id, Info.Name);
    }
    EXPECT_EQ(Inputs.back().Name, LoopbackName());
    EXPECT_EQ(Inputs.back().Id, "loopback:default-output");
}

class WasapiLoopbackAtRate : public WasapiLoopback, public testing::WithParamInterface<int32_t> { };

TEST_P(WasapiLoopbackAtRate, RecordsTheOutputsToneOrFailsAtTheStartWithTheReason)
{
    const int32_t Rate = GetParam();
    TAudioIn AudIn{ nullptr };
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = Rate;
    AudIn.RecTime = 2;
    AudIn.SetBaseChannel(Loopback);
    try {
        AudIn.Init();
    } catch (const EACSException& E) {
        EXPECT_EQ(std::string(E.what()), Refusal());
        EXPECT_FALSE(AudIn.Busy);
        // Nothing of the failed open is left: the next start fails the same way.
        try {
            AudIn.Init();
            ADD_FAILURE() << "the second start succeeded where the first failed";
        } catch (const EACSException& Again) {
            EXPECT_EQ(std::string(Again.what()), Refusal());
        }
        GTEST_SKIP() << "the system offers no loopback capture: " << E.what();
    }
    std::vector<int16_t> Samples;
    int16_t Block[BlockBytes / 2];
    while (const int32_t Count = AudIn.GetData(Block, BlockBytes))
        Samples.insert(Samples.end(), Block, Block + Count / 2);
    AudIn.Flush();
    EXPECT_GE(Samples.size() * 2, std::size_t(2) * Rate * 4);
    ExpectTone(Samples, Rate, Rate, 440, 16384);
}

INSTANTIATE_TEST_SUITE_P(Rates, WasapiLoopbackAtRate, testing::Values(44100, 22050));

} // namespace
