// TAudioIn over the simulated device: the run protocol, buffer accounting and the record limit.
#include "ACS_Audio.h"
#include "SimulatedWaveDevice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class AudioInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Card->SetPacing(TSimulatedPacing::FlatOut);
        UseWaveBackend(Card);
    }

    std::shared_ptr<TSimulatedWaveBackend> Card = std::make_shared<TSimulatedWaveBackend>();
    TAudioIn AudIn{nullptr};
};

TEST_F(AudioInTest, DeliversWholeBuffersOfTheSignal)
{
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;
    AudIn.RecTime = 1;
    Card->SetSignal(TSimulatedSignal::Constant(0x1234));
    AudIn.Init();
    std::vector<uint8_t> Block(16384);
    EXPECT_EQ(AudIn.GetData(Block.data(), 16384), 16384);
    EXPECT_EQ(Block[0], 0x34);
    EXPECT_EQ(Block[1], 0x12);
    AudIn.Flush();
    EXPECT_FALSE(AudIn.Busy);
    EXPECT_EQ(Card->OpenDevices(), 0);
}

}  // namespace
