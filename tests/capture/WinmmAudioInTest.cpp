// The sound-card source on the winmm backend on a machine without a sound card (Wine without a
// sound server): the device numbers are refused with the unit's messages, and a run from the
// wave mapper fails at Init with winmm's reason. WinmmRecordingTest records from a real device.
#include "ACS_Audio.h"
#include "AudioTestSupport.h"
#include "Win32Capture.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mmsystem.h>

namespace {

using AudioTestSupport::MessageOf;

// Every case takes the counts from winmm afresh, as the unit's start-up does.
class WinmmTest : public testing::Test {
protected:
    void SetUp() override
    {
        UseWaveBackend(CreatePlatformWaveBackend());
        // The wave-in devices, and what the computer plays where there is an output.
        ASSERT_EQ(WaveInDeviceCount(),
            static_cast<int32_t>(waveInGetNumDevs()) + (DefaultOutputName().empty() ? 0 : 1));
        ASSERT_EQ(WaveOutDeviceCount(), static_cast<int32_t>(waveOutGetNumDevs()));
    }
};

class WinmmWithoutInputDevice : public WinmmTest {
protected:
    void SetUp() override
    {
        WinmmTest::SetUp();
        if (WaveInDeviceCount() != 0)
            GTEST_SKIP() << "winmm reports " << WaveInDeviceCount()
                         << " wave-in devices; these cases need a machine without one";
    }
};

TEST_F(WinmmWithoutInputDevice, DeviceNumbersAreRefused)
{
    TAudioIn AudIn(nullptr);
    EXPECT_EQ(MessageOf([&] { AudIn.SetBaseChannel(0); }), "Channel 0 is not available");
    EXPECT_EQ(MessageOf([&] { AudIn.SetBaseChannel(1); }), "Channel 1 is not available");
    TWaveDeviceInfo Info;
    EXPECT_EQ(MessageOf([&] { GetWaveDeviceInfo(0, false, Info); }), "Device 0 is not available.");
    if (WaveOutDeviceCount() == 0) {
        EXPECT_EQ(
            MessageOf([&] { GetWaveDeviceInfo(0, true, Info); }), "Device 0 is not available.");
    }
}

TEST_F(WinmmWithoutInputDevice, RunFromTheWaveMapperFailsAtInitAndLeavesTheSourceIdle)
{
    TAudioIn AudIn(nullptr);
    AudIn.SetBaseChannel(WaveMapper); // no lower bound: accepted
    const std::string Failure = MessageOf([&] { AudIn.Init(); });
    EXPECT_THAT(Failure, testing::StartsWith("Cannot record from capture device -1"));
    EXPECT_THAT(Failure, testing::HasSubstr("waveInOpen failed: "));
    EXPECT_FALSE(AudIn.Busy);
    // Nothing of the failed run is left over: the next Init tries again rather than "buisy".
    EXPECT_EQ(MessageOf([&] { AudIn.Init(); }), Failure);
    char Buffer[16];
    EXPECT_EQ(MessageOf([&] { AudIn.GetData(Buffer, sizeof Buffer); }), "The Stream is not opened");
    AudIn.Flush(); // idle: changes nothing
    EXPECT_FALSE(AudIn.Busy);
}

} // namespace
