// The simulated device as a test tool: its signals come out as set, and its buffers follow the
// wave header life of the device interface.
#include "AudioTestSupport.h"
#include "TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

using AudioTestSupport::CdFormat;

struct TReturned {
    TestSupport::TSignal Signal;
    static void Callback(void* Instance, TWaveInMessage Message, TWaveHeader*)
    {
        if (Message == wimData)
            static_cast<TReturned*>(Instance)->Signal.Raise();
    }
};

class SimulatedWaveDeviceTest : public ::testing::Test {
protected:
    // Records one buffer of Signal in Format, flat out.
    void RecordOne(const TSimulatedSignal& Signal, const TPcmFormat& Format)
    {
        Card.SetSignal(Signal);
        Card.SetPacing(TSimulatedPacing::FlatOut);
        const int Before = Returned.Signal.Count();
        auto Device = Card.OpenInput(0, Format, &TReturned::Callback, &Returned);
        Header.Data = Data;
        Header.BufferLength = sizeof Data;
        Device->Prepare(Header);
        Device->AddBuffer(Header);
        Device->Start();
        ASSERT_TRUE(Returned.Signal.WaitFor(Before + 1));
        EXPECT_TRUE(Header.Flags & wbDone);
        EXPECT_FALSE(Header.Flags & wbInQueue);
        Device->Unprepare(Header);
    }

    int16_t Sample(size_t Index) const
    {
        int16_t Value;
        std::memcpy(&Value, Data + 2 * Index, 2);
        return Value;
    }

    TSimulatedWaveBackend Card;
    TReturned Returned;
    TWaveHeader Header;
    uint8_t Data[WaveBufferLength];
};

TEST_F(SimulatedWaveDeviceTest, SineHasItsAmplitudeOnBothChannels)
{
    RecordOne(TSimulatedSignal::Sine(441.0, 0.5), CdFormat()); // 100 frames per period
    EXPECT_EQ(Header.BytesRecorded, WaveBufferLength);
    EXPECT_EQ(Sample(0), 0);
    EXPECT_EQ(Sample(2 * 25), 16384); // a quarter period: the peak, left
    EXPECT_EQ(Sample(2 * 25 + 1), 16384); // and right
    EXPECT_EQ(Sample(2 * 75), -16384);
}

// Each input records its own signal where it has one, the card's otherwise.
TEST_F(SimulatedWaveDeviceTest, InputsWithASignalOfTheirOwnRecordIt)
{
    TPcmFormat Mono8 = CdFormat();
    Mono8.Channels = 1;
    Mono8.BitsPerSample = 8;
    Mono8.BlockAlign = 1;
    Mono8.AvgBytesPerSec = 44100;
    Card.SetInputs({ SimulatedInput("Line In", {}, TSimulatedSignal::Constant(50)), {} });
    Card.SetSignal(TSimulatedSignal::Constant(200));
    Card.SetPacing(TSimulatedPacing::FlatOut);
    for (int32_t Device : { 0, 1 }) {
        auto Opened = Card.OpenInput(Device, Mono8, &TReturned::Callback, &Returned);
        Header = {};
        Header.Data = Data;
        Header.BufferLength = sizeof Data;
        Opened->Prepare(Header);
        Opened->AddBuffer(Header);
        Opened->Start();
        ASSERT_TRUE(Returned.Signal.WaitFor(Device + 1));
        EXPECT_EQ(Data[0], Device == 0 ? 50 : 200) << "input " << Device;
        EXPECT_EQ(Data[WaveBufferLength - 1], Device == 0 ? 50 : 200) << "input " << Device;
        Opened->Unprepare(Header);
    }
    EXPECT_EQ(Card.InputCaps(0).Name, "Line In");
    EXPECT_THROW(Card.OpenInput(2, Mono8, &TReturned::Callback, &Returned), EWaveDeviceError);
}

TEST_F(SimulatedWaveDeviceTest, ConstantAndSilenceIn8Bit)
{
    TPcmFormat Mono8 = CdFormat();
    Mono8.Channels = 1;
    Mono8.BitsPerSample = 8;
    Mono8.BlockAlign = 1;
    RecordOne(TSimulatedSignal::Silence(), Mono8);
    EXPECT_EQ(Data[0], 128); // 8-bit silence is the middle value
    EXPECT_EQ(Data[WaveBufferLength - 1], 128);
    RecordOne(TSimulatedSignal::Constant(200), Mono8);
    EXPECT_EQ(Data[100], 200);
}

TEST_F(SimulatedWaveDeviceTest, RefusesAHeaderOutOfItsLife)
{
    auto Device = Card.OpenInput(0, CdFormat(), &TReturned::Callback, &Returned);
    Header.Data = Data;
    Header.BufferLength = sizeof Data;
    EXPECT_THROW(Device->AddBuffer(Header), EWaveDeviceError); // not prepared
    Device->Prepare(Header);
    Device->AddBuffer(Header);
    EXPECT_THROW(Device->AddBuffer(Header), EWaveDeviceError); // already queued
    EXPECT_THROW(Device->Unprepare(Header), EWaveDeviceError); // still held by the device
    Device->Reset(); // returns it, unfilled
    EXPECT_EQ(Returned.Signal.Count(), 1);
    EXPECT_EQ(Header.BytesRecorded, 0u);
    Device->Unprepare(Header);
    EXPECT_EQ(Card.OpenDevices(), 1);
    Device->Close();
    EXPECT_EQ(Card.OpenDevices(), 0);
}

} // namespace
