// The simulated device as a test tool: its signals come out as set, and its buffers follow the
// wave header life of the device interface.
#include "AudioTestSupport.h"
#include "TestSupport.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

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

// The flat-out card's pacing, with its grace far longer than the test, so that every buffer it
// fills comes from the rule and not from a source that seems to have stopped releasing.
TEST_F(SimulatedWaveDeviceTest, FlatOutRefillsUpToFourBuffersOnceTheSourceHoldsOne)
{
    TSimulatedFaults Faults;
    Faults.FlatOutGrace = std::chrono::hours(1);
    Card.SetFaults(Faults);
    Card.SetPacing(TSimulatedPacing::FlatOut);
    auto Device = Card.OpenInput(0, CdFormat(), &TReturned::Callback, &Returned);
    std::vector<uint8_t> Blocks(8 * WaveBufferLength);
    TWaveHeader Headers[8];
    const auto Queue = [&](int N) {
        Headers[N].Data = Blocks.data() + N * WaveBufferLength;
        Headers[N].BufferLength = WaveBufferLength;
        Device->Prepare(Headers[N]);
        Device->AddBuffer(Headers[N]);
    };
    for (int N = 0; N < 4; ++N)
        Queue(N);
    Device->Start();
    // Holding none, the source gets every queued buffer in one refill, without releasing any.
    ASSERT_TRUE(Returned.Signal.WaitFor(4));
    // Holding four, then two, it gets nothing more though buffers are queued.
    Queue(4);
    Queue(5);
    Device->Unprepare(Headers[0]);
    Device->Unprepare(Headers[1]);
    EXPECT_EQ(Returned.Signal.Count(), 4);
    // Holding one, it gets the queued ones, and one queued later while it holds fewer than four.
    Device->Unprepare(Headers[2]);
    ASSERT_TRUE(Returned.Signal.WaitFor(6));
    Queue(6);
    ASSERT_TRUE(Returned.Signal.WaitFor(7));
    // Holding four again, a buffer queued now stays empty until the reset returns it.
    Queue(7);
    Device->Reset();
    EXPECT_EQ(Returned.Signal.Count(), 8);
    for (int N = 0; N < 7; ++N)
        EXPECT_EQ(Headers[N].BytesRecorded, WaveBufferLength) << "buffer " << N;
    EXPECT_EQ(Headers[7].BytesRecorded, 0u);
    EXPECT_EQ(Card.PeakHeldBySource(), 4);
    Device->Close();
}

} // namespace
