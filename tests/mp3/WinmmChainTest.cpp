// The whole recording chain on Windows with the real encoder library: the sound-card source on
// Wine's wave-in over a private PulseAudio server (a 440 Hz tone at half of full scale), the
// level indicator, and the MP3 sink with the "lame_enc.dll" built from LAME's sources beside
// this executable. The MP3 files stay in CORVATONE_RECORDINGS; the Linux build's
// mp3_wine_recording_check decodes them afterwards, which CTest runs as the next step.
#include "ACS_Audio.h"
#include "ACS_Indicator.h"
#include "ACS_LAME.h"
#include "SinkTestSupport.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

std::filesystem::path Recordings()
{
    const char* Folder = std::getenv("CORVATONE_RECORDINGS");
    return Folder ? std::filesystem::path(Folder) : std::filesystem::path();
}

std::string Utf8(const std::filesystem::path& Path)
{
    const std::u8string Text = Path.u8string();
    return std::string(Text.begin(), Text.end());
}

class WinmmChain : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Recordings().empty()) << "CORVATONE_RECORDINGS names no folder";
        UseWaveBackend(CreatePlatformWaveBackend());
        ASSERT_GT(WaveInDeviceCount(), 0) << "no wave-in device: is the sound server running?";
        AudIn.InBitsPerSample = 16;
        AudIn.InChannels = 2;
        AudIn.InSampleRate = 44100;
        SndIndic.SetInput(&AudIn);
        MP3Out.SetInput(&SndIndic);
        MP3Out.SetBitRate(br128);
    }

    // Records into Name under the recordings folder, which may lie in sub-folders.
    void RecordInto(const std::filesystem::path& Name)
    {
        const std::filesystem::path File = Recordings() / Name;
        std::filesystem::create_directories(File.parent_path());
        std::filesystem::remove(File);
        MP3Out.SetFileName(Utf8(File));
        MP3Out.Run();
    }

    // Destroyed in reverse: the sink and its worker first.
    TAudioIn AudIn{ nullptr };
    TSoundIndicator SndIndic{ nullptr };
    TMP3Out MP3Out{ nullptr };
    TRunWatch Watch{ MP3Out };
};

TEST_F(WinmmChain, RecordsTheToneIntoAnMp3NamedInUnicode)
{
    AudIn.RecTime = 3;
    RecordInto(std::filesystem::path(u8"Записи") / u8"Ünïcödé ☃.mp3");
    ASSERT_TRUE(Watch.AwaitEnd()) << Watch.Failure();
    EXPECT_EQ(MP3Out.Status(), osIdle);
    EXPECT_FALSE(AudIn.Busy) << "the run's end closes the device";

    // The indicator heard the tone on its way: 440 Hz lies in the lowest bins (689 Hz wide).
    std::array<double, TSoundIndicator::LevelCount> Levels{};
    SndIndic.TakeLevels(Levels);
    EXPECT_GT(Levels[0] + Levels[1], Levels[20] + Levels[21]);
    EXPECT_GT(std::filesystem::file_size(Recordings() / u8"Записи" / u8"Ünïcödé ☃.mp3"), 40000u);
}

TEST_F(WinmmChain, PausedAndResumedRunStillRecordsItsLength)
{
    AudIn.RecTime = 3;
    TestSupport::TSignal PastAFifth;
    MP3Out.OnProgress = [&](TComponent*) {
        if (MP3Out.Progress() >= 20)
            PastAFifth.Raise();
    };
    RecordInto("paused.mp3");
    ASSERT_TRUE(PastAFifth.WaitFor());
    MP3Out.Pause();
    EXPECT_EQ(MP3Out.Status(), osPaused);
    // The pause itself: the device fills its queued buffers and then has none while paused.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    MP3Out.Resume();
    ASSERT_TRUE(Watch.AwaitEnd()) << Watch.Failure();
    EXPECT_EQ(MP3Out.Status(), osIdle);
}

} // namespace
