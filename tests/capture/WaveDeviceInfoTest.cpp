// Device numbers and capabilities: the BaseChannel setter, GetWaveDeviceInfo and the mapping of
// the platform's format bits to the Formats flags.
#include "AudioTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace AudioTestSupport;

TSimulatedDeviceSpec DeviceWith(uint32_t Formats, uint16_t Channels, std::string Name = "Card")
{
    TSimulatedDeviceSpec Spec;
    Spec.Name = std::move(Name);
    Spec.DriverVersion = 0x0502;
    Spec.Formats = Formats;
    Spec.Channels = Channels;
    return Spec;
}

TEST(BaseChannelTest, AcceptsOnlyNumbersBelowTheInputCount)
{
    UseWaveBackend(std::make_shared<TSimulatedWaveBackend>()); // one input device
    TAudioIn AudIn(nullptr);
    EXPECT_EQ(MessageOf([&] { AudIn.SetBaseChannel(1); }), "Channel 1 is not available");
    EXPECT_EQ(AudIn.GetBaseChannel(), 0);
    AudIn.SetBaseChannel(-1); // no lower bound
    EXPECT_EQ(AudIn.GetBaseChannel(), -1);
    AudIn.SetBaseChannel(0);

    UseWaveBackend(std::make_shared<TSimulatedWaveBackend>(
        std::vector<TSimulatedDeviceSpec>{}, std::vector<TSimulatedDeviceSpec>{}));
    EXPECT_EQ(WaveInDeviceCount(), 0);
    EXPECT_EQ(MessageOf([&] { AudIn.SetBaseChannel(0); }), "Channel 0 is not available");
}

TEST(BaseChannelTest, IsRefusedDuringARun)
{
    auto Card = std::make_shared<TSimulatedWaveBackend>(
        std::vector<TSimulatedDeviceSpec>{ {}, {} }, std::vector<TSimulatedDeviceSpec>{});
    Card->SetPacing(TSimulatedPacing::FlatOut);
    UseWaveBackend(Card);
    TAudioIn AudIn(nullptr);
    AudIn.Init();
    EXPECT_EQ(MessageOf([&] { AudIn.SetBaseChannel(1); }), "Component is buisy");
    EXPECT_EQ(AudIn.GetBaseChannel(), 0);
    AudIn.Flush();
    AudIn.SetBaseChannel(1);
    AudIn.Init();
    EXPECT_EQ(Card->LastOpenedDevice(), 1);
    AudIn.Flush();
}

// The chooser's list: names and stable identifiers read afresh, the count taken again with them.
TEST(WaveInputListTest, FollowsInputsThatAppearAndGo)
{
    auto Card = std::make_shared<TSimulatedWaveBackend>(
        std::vector<TSimulatedDeviceSpec>{ SimulatedInput("Microphone", "mic") });
    UseWaveBackend(Card);
    TAudioIn AudIn(nullptr);
    Card->SetInputs({ SimulatedInput("Microphone", "mic"), SimulatedInput("Line In") });
    // Until the list is read again the new input cannot be chosen.
    EXPECT_EQ(MessageOf([&] { AudIn.SetBaseChannel(1); }), "Channel 1 is not available");

    const std::vector<TWaveInput> Inputs = ListWaveInputs();
    ASSERT_EQ(Inputs.size(), 2u);
    EXPECT_EQ(Inputs[0].Name, "Microphone");
    EXPECT_EQ(Inputs[0].Id, "mic");
    EXPECT_EQ(Inputs[1].Name, "Line In");
    EXPECT_EQ(Inputs[1].Id, "Line In"); // no identifier of its own: its name
    EXPECT_EQ(Card->RefreshCount(), 1); // the backend was asked to list afresh
    AudIn.SetBaseChannel(1);

    Card->SetInputs({});
    EXPECT_TRUE(ListWaveInputs().empty());
    EXPECT_EQ(MessageOf([&] { AudIn.SetBaseChannel(0); }), "Channel 0 is not available");
}

// An input that goes between the list and the run: the open fails by its number and the source
// stays idle.
TEST(WaveInputListTest, AnInputGoneSinceTheListFailsTheRunByItsNumber)
{
    auto Card = std::make_shared<TSimulatedWaveBackend>(
        std::vector<TSimulatedDeviceSpec>{ {}, {} }, std::vector<TSimulatedDeviceSpec>{});
    UseWaveBackend(Card);
    TAudioIn AudIn(nullptr);
    AudIn.SetBaseChannel(1);
    Card->SetInputs({ {} });
    EXPECT_THAT(MessageOf([&] { AudIn.Init(); }), ::testing::HasSubstr("device 1"));
    EXPECT_FALSE(AudIn.Busy);
}

TEST(WaveDeviceInfoTest, RefusesNumbersAtOrAboveTheCountOfThatKind)
{
    UseWaveBackend(std::make_shared<TSimulatedWaveBackend>(
        std::vector<TSimulatedDeviceSpec>{ {} }, std::vector<TSimulatedDeviceSpec>{ {}, {} }));
    TWaveDeviceInfo Info;
    EXPECT_EQ(MessageOf([&] { GetWaveDeviceInfo(3, true, Info); }), "Device 3 is not available.");
    EXPECT_EQ(MessageOf([&] { GetWaveDeviceInfo(1, false, Info); }), "Device 1 is not available.");
    GetWaveDeviceInfo(1, true, Info); // the second output exists
    // Below the count but unknown to the platform: the failure is reported, not hidden.
    EXPECT_THAT(MessageOf([&] { GetWaveDeviceInfo(-7, false, Info); }),
        ::testing::HasSubstr("input device -7"));
}

TEST(WaveDeviceInfoTest, ReportsNameVersionAndChannels)
{
    UseWaveBackend(std::make_shared<TSimulatedWaveBackend>(
        std::vector<TSimulatedDeviceSpec>{ DeviceWith(0, 2, "Line In") },
        std::vector<TSimulatedDeviceSpec>{ DeviceWith(0, 1, std::string("Speaker\0junk", 12)) }));
    TWaveDeviceInfo Info;
    GetWaveDeviceInfo(0, false, Info);
    EXPECT_EQ(Info.Name, "Line In");
    EXPECT_EQ(Info.DriverVersion, 0x0502u);
    EXPECT_TRUE(Info.Stereo);
    GetWaveDeviceInfo(0, true, Info);
    EXPECT_EQ(Info.Name, "Speaker"); // up to the first NUL
    EXPECT_FALSE(Info.Stereo);
}

// Each platform bit sets exactly its flag; the middle two of every rate trade places.
TEST(WaveDeviceInfoTest, MapsEachPlatformFormatBitToItsFlag)
{
    const struct {
        uint32_t PlatformBit;
        TWaveFormatFlag Flag;
    } Table[] = {
        { 0x001, wf1M08 },
        { 0x004, wf1M16 },
        { 0x002, wf1S08 },
        { 0x008, wf1S16 },
        { 0x010, wf2M08 },
        { 0x040, wf2M16 },
        { 0x020, wf2S08 },
        { 0x080, wf2S16 },
        { 0x100, wf4M08 },
        { 0x400, wf4M16 },
        { 0x200, wf4S08 },
        { 0x800, wf4S16 },
    };
    for (const auto& Row : Table) {
        UseWaveBackend(std::make_shared<TSimulatedWaveBackend>(
            std::vector<TSimulatedDeviceSpec>{ DeviceWith(Row.PlatformBit, 2) }));
        TWaveDeviceInfo Info;
        GetWaveDeviceInfo(0, false, Info);
        EXPECT_EQ(Info.Formats, 1u << Row.Flag) << "platform bit " << Row.PlatformBit;
    }
    EXPECT_EQ(FormatsFromPlatform(0xFFFFF000u), 0); // bits beyond the twelve mean nothing
    EXPECT_EQ(FormatsFromPlatform(0xFFF), 0xFFF);
}

TEST(WaveDeviceInfoTest, PlatformBitOfAFormatFollowsThePlatformOrder)
{
    EXPECT_EQ(PlatformFormatBit(11025, 1, 8), WaveFormat1M08);
    EXPECT_EQ(PlatformFormatBit(11025, 2, 8), WaveFormat1S08);
    EXPECT_EQ(PlatformFormatBit(22050, 1, 16), WaveFormat2M16);
    EXPECT_EQ(PlatformFormatBit(44100, 2, 16), WaveFormat4S16);
    EXPECT_EQ(PlatformFormatBit(48000, 2, 16), 0u);
    EXPECT_EQ(PlatformFormatBit(44100, 6, 16), 0u);
}

} // namespace
