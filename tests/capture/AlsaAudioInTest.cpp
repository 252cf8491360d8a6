// TAudioIn through the real ALSA backend, on a file-plugin device.
//
// The test writes an ALSA configuration under a temporary XDG_CONFIG_HOME whose "default" PCM is
// ALSA's file plugin over the null device: every capture read delivers the next bytes of a raw
// file, at once. It sets XDG_CONFIG_HOME before the first ALSA call of the process (this
// executable holds no other test), then records and compares what it got with the file.
#include "ACS_Audio.h"
#include "AlsaPcm.h"
#include "AudioTestSupport.h"
#include "LinuxWaveBackends.h"
#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using AudioTestSupport::CdFormat;

namespace fs = std::filesystem;

constexpr char Description[] = "Corvatone raw file capture for tests"; // longer than 31
constexpr size_t FileBytes = 64 * 16384; // longer than any recording below

// Frame n of the file holds n as a 32-bit little-endian number (two 16-bit samples), so that a
// lost, doubled or reordered frame shows.
std::vector<uint8_t> CountingFrames(size_t Bytes)
{
    std::vector<uint8_t> Data(Bytes);
    for (size_t At = 0; At + 4 <= Bytes; At += 4)
        for (size_t B = 0; B < 4; ++B)
            Data[At + B] = static_cast<uint8_t>((At / 4) >> (8 * B));
    return Data;
}

class AlsaAudioInTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const fs::path Root
            = fs::temp_directory_path() / ("corvatone-alsa-" + std::to_string(::getpid()));
        fs::create_directories(Root / "alsa");
        FileData = CountingFrames(FileBytes);
        std::ofstream(Root / "raw.pcm", std::ios::binary)
            .write(reinterpret_cast<const char*>(FileData.data()),
                static_cast<std::streamsize>(FileData.size()));
        std::ofstream(Root / "alsa" / "asoundrc")
            << "pcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n  infile "
               "\""
            << (Root / "raw.pcm").string() << "\"\n  format \"raw\"\n"
            << "  hint { show on description \"" << Description << "\" }\n}\n";
        ::setenv("XDG_CONFIG_HOME", Root.c_str(), 1);
        // ALSA's devices even where a sound server runs, which would otherwise be chosen.
        UseWaveBackend(CreateAlsaWaveBackend());
        TempRoot = Root;
    }

    static void TearDownTestSuite() { fs::remove_all(TempRoot); }

    static inline fs::path TempRoot;
    static inline std::vector<uint8_t> FileData;
};

TEST_F(AlsaAudioInTest, DefaultDeviceIsTheConfiguredPcm)
{
    ASSERT_GE(WaveInDeviceCount(), 1);
    TWaveDeviceInfo Info;
    GetWaveDeviceInfo(0, false, Info);
    // The description is a sentence longer than a name may be, and it is never cut: with no
    // sound server and no card behind it, the device is "Default".
    EXPECT_EQ(Info.Name, "Default");
    EXPECT_TRUE(HasFormat(Info.Formats, wf4S16));
    EXPECT_TRUE(HasFormat(Info.Formats, wf2M08));
    EXPECT_TRUE(Info.Stereo);
}

// ALSA's error handler belongs to the program: listing the devices silences it for a while and
// then puts back the one that was there, not ALSA's default.
void OwnErrorHandler(const char*, int, const char*, int, const char*, ...) { }

TEST_F(AlsaAudioInTest, ListingTheDevicesPutsBackTheErrorHandlerThatWasInstalled)
{
    snd_lib_error_set_handler(&OwnErrorHandler);
    UseWaveBackend(CreateAlsaWaveBackend()); // lists the devices anew
    EXPECT_EQ(snd_lib_error, &OwnErrorHandler);
    snd_lib_error_set_handler(nullptr);
    UseWaveBackend(CreateAlsaWaveBackend());
    EXPECT_NE(snd_lib_error, &OwnErrorHandler);
}

TEST_F(AlsaAudioInTest, TheDefaultInputIsFoundAgainByItsPcmName)
{
    auto Backend = CreatePlatformWaveBackend();
    ASSERT_GE(Backend->InputDeviceCount(), 1);
    EXPECT_EQ(Backend->InputId(0), "default");
    EXPECT_EQ(Backend->InputId(WaveMapper), "default");
    Backend->RefreshInputs();
    EXPECT_EQ(Backend->InputId(0), "default"); // listed again, the same
    EXPECT_THROW(Backend->InputId(Backend->InputDeviceCount()), EWaveDeviceError);
}

TEST(AlsaDeviceNameTest, LongNamesAreCutAtAWordBoundaryWithoutTheSeparatorBefore)
{
    EXPECT_EQ(Alsa::ShortName("HDA Intel PCH: ALC3246 Analog"), "HDA Intel PCH: ALC3246 Analog");
    EXPECT_EQ(Alsa::ShortName("0123456789012345678901234567890"),
        "0123456789012345678901234567890"); // 31 characters fit
    EXPECT_EQ(Alsa::ShortName("USB Audio Device Family: USB Audio Analog Stereo"),
        "USB Audio Device Family: USB");
    EXPECT_EQ(
        Alsa::ShortName("Yamaha Steinberg UR22mkII Audio: In"), "Yamaha Steinberg UR22mkII Audio");
    EXPECT_EQ(Alsa::ShortName("Scarlett 2i2 USB (second gen) stereo input"),
        "Scarlett 2i2 USB (second gen)");
    // One word longer than a name: cut, but never inside a UTF-8 character.
    EXPECT_EQ(Alsa::ShortName(std::string(30, 'x') + "\xc3\xa9tage"), std::string(30, 'x'));
    EXPECT_EQ(Alsa::ShortName(std::string(40, 'x')), std::string(31, 'x'));
}

TEST_F(AlsaAudioInTest, DeliversTheFileInOrderWithNothingLostOrDoubled)
{
    TAudioIn AudIn(nullptr);
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;
    AudIn.RecTime = 1;
    AudIn.Init();
    std::vector<uint8_t> Recorded;
    std::vector<uint8_t> Block(16384);
    while (int32_t Count = AudIn.GetData(Block.data(), 16384))
        Recorded.insert(Recorded.end(), Block.begin(), Block.begin() + Count);
    AudIn.Flush();

    // Whole buffers until the 176400 bytes of one second are reached or passed.
    ASSERT_EQ(Recorded.size(), 11u * 16384u);
    ASSERT_LE(Recorded.size(), FileData.size());
    EXPECT_TRUE(std::equal(Recorded.begin(), Recorded.end(), FileData.begin()));
    EXPECT_FALSE(AudIn.Busy);
}

TEST_F(AlsaAudioInTest, UnsupportedSampleSizeFailsInitAndLeavesTheSourceIdle)
{
    TAudioIn AudIn(nullptr);
    AudIn.InBitsPerSample = 12;
    AudIn.InChannels = 2;
    try {
        AudIn.Init();
        FAIL() << "Init accepted 12-bit samples";
    } catch (const EACSException& E) {
        EXPECT_NE(std::string(E.what()).find("capture device 0"), std::string::npos) << E.what();
        EXPECT_NE(std::string(E.what()).find("12 bits"), std::string::npos) << E.what();
    }
    EXPECT_FALSE(AudIn.Busy);
    EXPECT_THROW(AudIn.GetData(nullptr, 0), EACSException);
}

// The device itself: buffers are filled in the order they were queued, and a reset returns the
// ones still queued.
struct TCollector {
    TestSupport::TSignal Returned;
    static void Callback(void* Instance, TWaveInMessage Message, TWaveHeader*)
    {
        if (Message == wimData)
            static_cast<TCollector*>(Instance)->Returned.Raise();
    }
};

TEST_F(AlsaAudioInTest, DeviceFillsBuffersInQueueOrderAndResetReturnsTheRest)
{
    auto Backend = CreateAlsaWaveBackend();
    static uint8_t Data[3][WaveBufferLength];
    TWaveHeader Headers[3];
    TCollector Collector;
    {
        auto Device = Backend->OpenInput(0, CdFormat(), &TCollector::Callback, &Collector);
        for (int N = 0; N < 3; ++N) {
            Headers[N].Data = Data[N];
            Headers[N].BufferLength = WaveBufferLength;
            Device->Prepare(Headers[N]);
            Device->AddBuffer(Headers[N]);
        }
        Device->Start();
        ASSERT_TRUE(Collector.Returned.WaitFor(3));
        for (int N = 0; N < 3; ++N) {
            EXPECT_EQ(Headers[N].BytesRecorded, WaveBufferLength);
            EXPECT_TRUE(std::equal(
                Data[N], Data[N] + WaveBufferLength, FileData.begin() + N * WaveBufferLength))
                << "buffer " << N;
            Device->Unprepare(Headers[N]);
        }
        EXPECT_EQ(Device->Counters().DroppedFrames, 0u);
        EXPECT_EQ(Device->Counters().Overruns, 0u);
        EXPECT_EQ(Device->LastError(), "");
    }
    auto Device = Backend->OpenInput(0, CdFormat(), &TCollector::Callback, &Collector);
    for (int N = 0; N < 2; ++N) {
        Device->Prepare(Headers[N]);
        Device->AddBuffer(Headers[N]);
    }
    Device->Reset(); // never started: both come back empty before Reset returns
    EXPECT_EQ(Collector.Returned.Count(), 5);
    for (int N = 0; N < 2; ++N) {
        EXPECT_EQ(Headers[N].BytesRecorded, 0u);
        EXPECT_EQ(Headers[N].Flags & (wbDone | wbInQueue), wbDone);
        Device->Unprepare(Headers[N]);
    }
}

// While no buffer is queued the device drops what comes (and counts it) instead of letting the
// ring overrun; the next queued buffer goes on right after the dropped sound.
TEST_F(AlsaAudioInTest, DeviceDropsWhileNoBufferIsQueuedAndGoesOnAfterwards)
{
    auto Backend = CreateAlsaWaveBackend();
    static uint8_t Data[WaveBufferLength];
    TWaveHeader Header;
    Header.Data = Data;
    Header.BufferLength = WaveBufferLength;
    TCollector Collector;
    auto Device = Backend->OpenInput(0, CdFormat(), &TCollector::Callback, &Collector);
    Device->Start();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Device->Counters().DroppedFrames > 0; }));
    Device->Prepare(Header);
    Device->AddBuffer(Header);
    ASSERT_TRUE(Collector.Returned.WaitFor(1));
    const uint64_t Dropped = Device->Counters().DroppedFrames * 4;
    ASSERT_LE(Dropped + WaveBufferLength, FileData.size());
    EXPECT_TRUE(std::equal(Data, Data + WaveBufferLength, FileData.begin() + Dropped));
    EXPECT_EQ(Device->Counters().Dropouts, 1u);
    // With the buffer back and none queued the device drops again: a second stretch.
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Device->Counters().Dropouts == 2; }));
    const TWaveInCounters Counters = Device->Counters();
    EXPECT_GT(Counters.LostFrames, Dropped / 4);
    EXPECT_EQ(Counters.Overruns, 0u);
    Device->Unprepare(Header);
}

} // namespace
