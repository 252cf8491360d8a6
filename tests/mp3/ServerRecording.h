// Recording in real time from a private PulseAudio server through each backend of Linux: the
// server's own sources (the PulseAudio backend) and ALSA's "default" device, which the server
// serves too. For the tests that share the server CTest starts (ServerRecordingTest.cpp) and those
// that kill a server of their own (ServerLossTest.cpp).
//
// CTest names the server's folder in CORVATONE_SOUND_SERVER_DIR; each program points itself at
// the server through PULSE_SERVER and XDG_CONFIG_HOME before its first call into ALSA or the
// server's client library (TestSupport::UsePrivateSoundServer from a namespace-scope
// initialiser). The server plays a 440 Hz tone at half of full scale into a null sink whose
// monitor is the default source.
#pragma once

#include "ACS_Audio.h"
#include "ACS_LAME.h"
#include "LinuxWaveBackends.h"
#include "Mp3Decoding.h"
#include "SinkTestSupport.h"
#include "SoundServerModules.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace ServerRecording {

using Clock = std::chrono::steady_clock;

constexpr double ToneHz = 440;
constexpr double ToneAmplitude16 = 16384; // the tone's amplitude in 16-bit samples
constexpr int32_t Rate = 44100;
constexpr int32_t BytesPerSecond = Rate * 4;
constexpr std::size_t Window = Rate / 10; // frames of one level measurement

inline void Use16BitStereo(TAudioIn& AudIn, int32_t Seconds)
{
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = Rate;
    AudIn.RecTime = Seconds;
}

// Windows of the left channel from From on whose tone lies within 1 dB of the played one.
inline int WindowsWithTheTone(const TDecodedMp3& Sound, std::size_t From)
{
    int Count = 0;
    for (std::size_t At = From; At + Window <= Sound.FramesPerChannel(); At += Window)
        Count += std::abs(Decibels(ToneAmplitude(Sound, 0, ToneHz, At, Window) / ToneAmplitude16))
            < 1.0;
    return Count;
}

// A backend of Linux and what it calls the server's default source.
struct TServerBackend {
    const char* Name;
    std::unique_ptr<TWaveBackend> (*Create)();
    const char* DefaultName;
    const char* LossReason; // what the failure says of the server's end
    // By its name in the cases' names, which would otherwise show its pointers.
    friend std::ostream& operator<<(std::ostream& Out, const TServerBackend& Backend)
    {
        return Out << Backend.Name;
    }
};

inline const TServerBackend Backends[] = {
    { "Pulse", &CreatePulseWaveBackend, "Default (Playback of Corvatone)",
        "Lost the connection to the sound server: Connection terminated" },
    { "Alsa", &CreateAlsaWaveBackend, "Default (PulseAudio)", "Capture failed" },
};

class ServerTest : public testing::TestWithParam<TServerBackend> {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(TestSupport::SoundServerDir().empty())
            << "CTest's sound server fixture sets up the server";
        UseWaveBackend(GetParam().Create());
        ASSERT_GE(WaveInDeviceCount(), 1);
    }
};

// The source, the MP3 sink at 160 kbit/s over it, and a folder for the files.
class ServerRecordingTest : public ServerTest {
protected:
    ServerRecordingTest()
    {
        Watch = std::make_unique<TRunWatch>(MP3Out);
        MP3Out.SetInput(&AudIn);
        MP3Out.SetBitRate(br160);
    }

    void Record(const std::string& Name, int32_t Seconds)
    {
        Use16BitStereo(AudIn, Seconds);
        MP3Out.SetFileName(Dir.File(Name));
        MP3Out.Run();
    }

    bool AwaitSeconds(int32_t Seconds)
    {
        return TestSupport::WaitUntil([&] { return AudIn.Position >= Seconds * BytesPerSecond; });
    }

    TTempDir Dir;
    TAudioIn AudIn{ nullptr };
    // The sink, and with it its worker, ends before the watch of its events.
    std::unique_ptr<TRunWatch> Watch;
    TMP3Out MP3Out{ nullptr };
};

} // namespace ServerRecording
