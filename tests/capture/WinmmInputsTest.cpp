// The winmm backend's inputs other than the first, on a Russian system: Wine's wave-in over a
// private sound server (tools/sound-server, a 440 Hz tone on its default source) to which
// second-source has added a source named in Cyrillic that hears an 880 Hz tone. CTest runs this
// program with LANG=ru_RU.UTF-8, under which Wine's ANSI code page is 1251.
#include "ACS_Audio.h"
#include "ToneMeasure.h"

#include <windows.h>

#include <cstring>
#include <gtest/gtest.h>
#include <mmsystem.h>
#include <string>
#include <vector>

namespace {

const std::string CyrillicName = "Микрофон (Тестовый)";
constexpr double ToneAmplitude = 16384;
constexpr int32_t BlockBytes = 16384;

class WinmmInputs : public testing::Test {
protected:
    void SetUp() override
    {
        UseWaveBackend(CreatePlatformWaveBackend());
        ASSERT_EQ(GetACP(), 1251u) << "not run under a Russian locale (LANG=ru_RU.UTF-8)";
        ASSERT_GT(WaveInDeviceCount(), 0) << "no wave-in device: is the sound server running?";
    }

    // The number of the input named Name, or -1.
    static int32_t DeviceNamed(const std::string& Name)
    {
        for (int32_t Device = 0; Device < WaveInDeviceCount(); ++Device) {
            TWaveDeviceInfo Info;
            GetWaveDeviceInfo(Device, false, Info);
            if (Info.Name == Name)
                return Device;
        }
        return -1;
    }

    // Two seconds of 16-bit stereo at 44100 Hz from Device.
    static std::vector<int16_t> Record(int32_t Device)
    {
        TAudioIn AudIn{ nullptr };
        AudIn.InBitsPerSample = 16;
        AudIn.InChannels = 2;
        AudIn.InSampleRate = 44100;
        AudIn.RecTime = 2;
        AudIn.SetBaseChannel(Device);
        AudIn.Init();
        std::vector<int16_t> Samples;
        int16_t Block[BlockBytes / 2];
        while (const int32_t Count = AudIn.GetData(Block, BlockBytes))
            Samples.insert(Samples.end(), Block, Block + Count / 2);
        AudIn.Flush();
        return Samples;
    }
};

TEST_F(WinmmInputs, ACyrillicNameIsListedAsItsUtf8Text)
{
    const int32_t Device = DeviceNamed(CyrillicName);
    ASSERT_GE(Device, 0) << "no input named " << CyrillicName;
    // The narrow query gives the name in code page 1251, which is not that text: the names are
    // taken by the wide one.
    WAVEINCAPSA Narrow = {};
    ASSERT_EQ(waveInGetDevCapsA(Device, &Narrow, sizeof Narrow), MMSYSERR_NOERROR);
    EXPECT_NE(
        std::string(Narrow.szPname, strnlen(Narrow.szPname, sizeof Narrow.szPname)), CyrillicName);
}

TEST_F(WinmmInputs, RecordsFromTheChosenInputNotTheFirst)
{
    const int32_t Device = DeviceNamed(CyrillicName);
    ASSERT_GT(Device, 0) << "the input named " << CyrillicName << " is not among the later ones";
    // The server may start a stream with a little silence; the second second is the tone.
    ExpectTone(Record(Device), 44100, 44100, 880, ToneAmplitude);
    ExpectTone(Record(0), 44100, 44100, 440, ToneAmplitude);
}

} // namespace
