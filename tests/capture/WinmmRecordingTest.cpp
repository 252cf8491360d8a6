// The sound-card source on the winmm backend, recording from a real device: Wine's wave-in over
// a private PulseAudio server (tools/sound-server) whose default source hears a 440 Hz tone at
// half of full scale. CTest starts the server for this executable; without it the cases fail,
// since a machine that offers no device cannot show that recording works.
#include "ACS_Audio.h"
#include "ToneMeasure.h"

#include <windows.h>

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <mmsystem.h>
#include <thread>
#include <vector>

namespace {

constexpr double ToneHz = 440;
constexpr double ToneAmplitude = 16384;
constexpr int32_t BlockBytes = 16384;

class WinmmRecording : public testing::Test {
protected:
    void SetUp() override
    {
        UseWaveBackend(CreatePlatformWaveBackend());
        ASSERT_GT(WaveInDeviceCount(), 0) << "no wave-in device: is the sound server running?";
        AudIn.InBitsPerSample = 16;
        AudIn.InChannels = 2;
        AudIn.InSampleRate = 44100;
    }

    // Pulls the run in whole blocks until the source ends it.
    std::vector<int16_t> PullToEnd(std::vector<int16_t> Samples = {})
    {
        int16_t Block[BlockBytes / 2];
        for (;;) {
            const int32_t Count = AudIn.GetData(Block, BlockBytes);
            if (Count == 0)
                return Samples;
            Samples.insert(Samples.end(), Block, Block + Count / 2);
        }
    }

    TAudioIn AudIn{ nullptr };
};

// The tone, in both channels, over the sound from FirstFrame on.
void ExpectTone(const std::vector<int16_t>& Samples, std::size_t FirstFrame, int32_t Rate)
{
    ::ExpectTone(Samples, FirstFrame, Rate, ToneHz, ToneAmplitude);
}

TEST_F(WinmmRecording, DevicesAreTheServersSourcesWithTheirNames)
{
    // The wave-in devices, then what the computer plays (WasapiLoopbackTest).
    const int32_t WaveIns = static_cast<int32_t>(waveInGetNumDevs());
    EXPECT_EQ(WaveInDeviceCount(), WaveIns + 1);
    bool ServerSinkMonitorListed = false;
    for (int32_t Device = 0; Device < WaveIns; ++Device) {
        WAVEINCAPSA Caps = {};
        ASSERT_EQ(waveInGetDevCapsA(Device, &Caps, sizeof Caps), MMSYSERR_NOERROR);
        TWaveDeviceInfo Info;
        GetWaveDeviceInfo(Device, false, Info);
        EXPECT_EQ(Info.Name, std::string(Caps.szPname, strnlen(Caps.szPname, sizeof Caps.szPname)));
        EXPECT_FALSE(Info.Name.empty()) << "device " << Device;
        EXPECT_TRUE(Info.Stereo) << Info.Name;
        EXPECT_TRUE(HasFormat(Info.Formats, wf4S16)) << Info.Name;
        EXPECT_TRUE(HasFormat(Info.Formats, wf2S16)) << Info.Name;
        ServerSinkMonitorListed |= Info.Name.find("Corvatone") != std::string::npos;
    }
    EXPECT_TRUE(ServerSinkMonitorListed) << "the null sink's monitor is not among the devices";
    TWaveDeviceInfo Info;
    const std::string Beyond = std::to_string(WaveInDeviceCount());
    try {
        GetWaveDeviceInfo(WaveInDeviceCount(), false, Info);
        ADD_FAILURE() << "device " << Beyond << " was accepted";
    } catch (const EACSException& E) {
        EXPECT_EQ(std::string(E.what()), "Device " + Beyond + " is not available.");
    }
}

class WinmmRecordingAtRate : public WinmmRecording, public testing::WithParamInterface<int32_t> { };

TEST_P(WinmmRecordingAtRate, RecordsTheToneInSixteenBitStereo)
{
    const int32_t Rate = GetParam();
    AudIn.InSampleRate = Rate;
    AudIn.RecTime = 2;
    AudIn.Init();
    EXPECT_EQ(AudIn.GetSampleRate(), Rate);
    EXPECT_EQ(AudIn.GetBitsPerSample(), 16);
    EXPECT_EQ(AudIn.GetChannels(), 2);
    const std::vector<int16_t> Samples = PullToEnd();
    AudIn.Flush();
    EXPECT_FALSE(AudIn.Busy);

    // Whole buffers up to the limit of 2 seconds: at most one buffer beyond it.
    const std::size_t Limit = std::size_t(2) * Rate * 4;
    EXPECT_GE(Samples.size() * 2, Limit);
    EXPECT_LT(Samples.size() * 2, Limit + BlockBytes);
    // The server may start the stream with a little silence; the second second is the tone.
    ExpectTone(Samples, Rate, Rate);
}

INSTANTIATE_TEST_SUITE_P(Rates, WinmmRecordingAtRate, testing::Values(44100, 22050));

TEST_F(WinmmRecording, ARunPausedByItsReaderGoesOnWhenReadAgain)
{
    AudIn.RecTime = 3;
    AudIn.Init();
    int16_t Block[BlockBytes / 2];
    for (int N = 0; N < 4; ++N)
        ASSERT_EQ(AudIn.GetData(Block, BlockBytes), BlockBytes);
    // The pause itself: longer than the four queued buffers take to fill, so that the device
    // runs out of buffers while nobody reads.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    const std::vector<int16_t> Rest = PullToEnd();
    AudIn.Flush();

    // The run still delivers its whole byte count, and what follows the pause is the tone.
    const std::size_t Delivered = 4 * BlockBytes + Rest.size() * 2;
    EXPECT_GE(Delivered, std::size_t(3) * 44100 * 4);
    EXPECT_LT(Delivered, std::size_t(3) * 44100 * 4 + BlockBytes);
    ExpectTone(Rest, 0, 44100);
    // A second run on the same source and device works as the first.
    AudIn.RecTime = 1;
    AudIn.Init();
    ExpectTone(PullToEnd(), 44100 / 2, 44100);
    AudIn.Flush();
}

} // namespace
