// A pause of a recording in real time from a private sound server that plays the sweep
// (tools/sound-server --sweep), through each backend of Linux: the server's own sources and
// ALSA's "default" device, which the server serves too. The device stops while paused, so that
// nothing is counted as lost and the recording jumps at its seam by the length of the pause.
//
// CTest starts the server before this test and names its folder in CORVATONE_SOUND_SERVER_DIR;
// the process points itself at the server before its first call into ALSA or the server's client
// library.
#include "LinuxWaveBackends.h"
#include "PausedRecording.h"
#include "SoundServerModules.h"

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

namespace {

using namespace std::chrono_literals;

const bool ServerEnvironment = TestSupport::UsePrivateSoundServer();

struct TBackend {
    const char* Name;
    std::unique_ptr<TWaveBackend> (*Create)();
    // By its name in the cases' names, which would otherwise show its pointers.
    friend std::ostream& operator<<(std::ostream& Out, const TBackend& Backend)
    {
        return Out << Backend.Name;
    }
};

class ServerPauseTest : public testing::TestWithParam<TBackend> { };

INSTANTIATE_TEST_SUITE_P(Backends, ServerPauseTest,
    testing::Values(
        TBackend{ "Pulse", &CreatePulseWaveBackend }, TBackend{ "Alsa", &CreateAlsaWaveBackend }),
    [](const auto& Backend) { return std::string(Backend.param.Name); });

TEST_P(ServerPauseTest, TwoSecondPauseIsNeitherLostNorRecorded)
{
    ASSERT_TRUE(ServerEnvironment);
    ASSERT_NE(std::getenv("CORVATONE_SOUND_SERVER_DIR"), nullptr);
    UseWaveBackend(GetParam().Create());
    TAudioIn AudIn(nullptr);
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;
    AudIn.RecTime = 60;
    AudIn.Init();
    const PausedRecording::TRecording Recording
        = PausedRecording::RecordAcrossAPause(AudIn, 1000ms, 2000ms);
    AudIn.Flush();
    EXPECT_EQ(AudIn.Losses().Dropouts, 0);
    EXPECT_EQ(AudIn.Losses().LostFrames, 0);
    // The sound server's own buffers, behind its player's 250 ms of latency, hold back up to
    // about 0.1 s more on a busy machine, which the stop drops: one buffer more.
    PausedRecording::ExpectThePauseLeftOut(Recording, 44100, 2);
}

} // namespace
