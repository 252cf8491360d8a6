// A pause of a recording in real time through winmm: Wine's wave-in over a private PulseAudio
// server that plays the sweep (tools/sound-server --sweep). The device stops while paused, so
// that nothing is counted as lost and the recording jumps at its seam by the length of the pause.
// CTest starts the server for this executable.
#include "PausedRecording.h"

namespace {

using namespace std::chrono_literals;

class WinmmPauseTest : public testing::TestWithParam<int32_t> { };

TEST_P(WinmmPauseTest, TwoSecondPauseIsNeitherLostNorRecorded)
{
    UseWaveBackend(CreatePlatformWaveBackend());
    ASSERT_GT(WaveInDeviceCount(), 0) << "no wave-in device: is the sound server running?";
    TAudioIn AudIn(nullptr);
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = GetParam();
    AudIn.RecTime = 60;
    AudIn.Init();
    const PausedRecording::TRecording Recording
        = PausedRecording::RecordAcrossAPause(AudIn, 1000ms, 2000ms);
    AudIn.Flush();
    EXPECT_EQ(AudIn.Losses().Dropouts, 0);
    EXPECT_EQ(AudIn.Losses().LostFrames, 0);
    // Wine's wave-in starts again with about 0.1 s that its own stream took in before the start
    // (the jump comes out that much short of the pause at both rates): one buffer more.
    PausedRecording::ExpectThePauseLeftOut(Recording, GetParam(), 2);
}

INSTANTIATE_TEST_SUITE_P(Rates, WinmmPauseTest, testing::Values(44100, 22050));

} // namespace
