// TAudioIn when the device fails: at open, in the middle of a run, or by keeping its buffers.
// In every case the caller hears of it, nothing waits for ever, and the source ends idle.
#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using namespace AudioTestSupport;
using ::testing::HasSubstr;

class AudioInFaultsTest : public SimulatedCardTest {
protected:
    void ExpectIdleAndReleased()
    {
        EXPECT_FALSE(AudIn.Busy);
        EXPECT_EQ(Card->OpenDevices(), 0);
        uint8_t Block[16];
        EXPECT_EQ(MessageOf([&] { AudIn.GetData(Block, 16); }), "The Stream is not opened");
    }

    TAudioIn AudIn{nullptr};
    uint8_t Block[16384];
};

TEST_F(AudioInFaultsTest, OpenFailureRaisesWithDeviceAndReasonAndLeavesTheSourceIdle)
{
    TSimulatedFaults Faults;
    Faults.OpenError = "Device or resource busy";
    Card->SetFaults(Faults);
    const std::string Message = MessageOf([&] { AudIn.Init(); });
    EXPECT_THAT(Message, HasSubstr("capture device 0 \"Simulated Sound Card\""));
    EXPECT_THAT(Message, HasSubstr("Device or resource busy"));
    ExpectIdleAndReleased();
    AudIn.Flush();  // nothing to end

    Card->SetFaults({});
    AudIn.Init();  // nothing of the failed attempt is left in the way
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    AudIn.Flush();
    ExpectIdleAndReleased();
}

TEST_F(AudioInFaultsTest, DeviceFailureMidRunRaisesAfterTheBuffersItReturned)
{
    TSimulatedFaults Faults;
    Faults.FailAfter = 2;
    Faults.FailError = "the card was unplugged";
    Card->SetFaults(Faults);
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    const std::string Message = MessageOf([&] { AudIn.GetData(Block, 16384); });
    EXPECT_THAT(Message, HasSubstr("capture device 0"));
    EXPECT_THAT(Message, HasSubstr("has failed: the card was unplugged"));
    AudIn.Flush();  // does not wait for buffers that a failed device will never return
    ExpectIdleAndReleased();
}

TEST_F(AudioInFaultsTest, StalledDeviceRaisesInsteadOfWaitingForEver)
{
    TSimulatedFaults Faults;
    Faults.StallAfter = 1;
    Card->SetFaults(Faults);
    AudIn.StallTimeout = std::chrono::milliseconds(50);  // raised to two buffers' time
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;  // two buffers take 185 ms
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    EXPECT_THAT(MessageOf([&] { AudIn.GetData(Block, 16384); }),
                HasSubstr("returned no recorded buffer within 185 ms"));
    AudIn.Flush();  // the reset returns the kept buffers
    ExpectIdleAndReleased();
}

TEST_F(AudioInFaultsTest, FlushOnAnIdleSourceChangesNothing)
{
    AudIn.Flush();
    ExpectIdleAndReleased();
    EXPECT_EQ(Card->OpenedCount(), 0);
    EXPECT_EQ(AudIn.Size, -1);
}

TEST_F(AudioInFaultsTest, ResetEndsARunWhateverTheDeviceDoes)
{
    TSimulatedFaults Faults;
    Faults.FailAfter = 0;
    Card->SetFaults(Faults);
    AudIn.Init();
    EXPECT_THROW(AudIn.GetData(Block, 16384), EACSException);
    AudIn.Reset();
    ExpectIdleAndReleased();
}

}  // namespace
