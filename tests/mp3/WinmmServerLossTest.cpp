// The sound device going away in the middle of a recording on Windows: Wine's wave-in over a
// private PulseAudio server that the test kills while the chain records into an MP3 with the
// real encoder library. The run must end by itself with an error, the sink must be idle and the
// file complete (the Linux build's mp3_wine_recording_check decodes it afterwards).
//
// CORVATONE_SOUND_SERVER_SCRIPT and _DIR name tools/sound-server and the server's folder; Wine
// starts that Unix script by its path. The server is this executable's own, so no other test loses
// it.
#include "ACS_Audio.h"
#include "ACS_Indicator.h"
#include "ACS_LAME.h"
#include "SinkTestSupport.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// Ends the sound server at once, as a crash would.
void KillSoundServer()
{
    const char* Script = std::getenv("CORVATONE_SOUND_SERVER_SCRIPT");
    const char* Folder = std::getenv("CORVATONE_SOUND_SERVER_DIR");
    ASSERT_TRUE(Script && Folder) << "CORVATONE_SOUND_SERVER_SCRIPT and _DIR name no server";
    std::string Command
        = "/bin/bash \"" + std::string(Script) + "\" stop \"" + std::string(Folder) + "\" --kill";
    STARTUPINFOA Startup = {};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Process = {};
    ASSERT_TRUE(CreateProcessA(
        nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &Process))
        << "cannot start " << Command << ": error " << GetLastError();
    // Wine gives no waitable handle for a Unix process; the run's end is what the test awaits.
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
}

TEST(WinmmServerLoss, RunEndsWithAnErrorAndACompleteFile)
{
    const char* Folder = std::getenv("CORVATONE_RECORDINGS");
    ASSERT_NE(Folder, nullptr) << "CORVATONE_RECORDINGS names no folder";
    const std::filesystem::path File = std::filesystem::path(Folder) / "server-lost.mp3";
    std::filesystem::create_directories(File.parent_path());
    std::filesystem::remove(File);

    UseWaveBackend(CreatePlatformWaveBackend());
    ASSERT_GT(WaveInDeviceCount(), 0) << "no wave-in device: is the sound server running?";
    TAudioIn AudIn(nullptr);
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;
    AudIn.RecTime = 60;
    TSoundIndicator SndIndic(nullptr);
    SndIndic.SetInput(&AudIn);
    TMP3Out MP3Out(nullptr);
    TRunWatch Watch(MP3Out);
    MP3Out.SetInput(&SndIndic);
    MP3Out.SetFileName(File.string());
    TestSupport::TSignal Recording;
    MP3Out.OnProgress = [&](TComponent*) {
        if (MP3Out.Progress() >= 5)
            Recording.Raise();
    };
    MP3Out.Run();
    ASSERT_TRUE(Recording.WaitFor());
    KillSoundServer();

    EXPECT_FALSE(Watch.AwaitEnd()) << "the run ended without an error";
    EXPECT_THAT(Watch.Failure(), testing::HasSubstr("capture device 0"));
    EXPECT_EQ(MP3Out.Status(), osIdle);
    EXPECT_FALSE(AudIn.Busy);
    EXPECT_LT(MP3Out.Progress(), 100);
}

} // namespace
