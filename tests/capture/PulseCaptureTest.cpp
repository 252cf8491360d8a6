// The PulseAudio backend against the private sound server that CTest starts (tools/sound-server):
// a null sink "corvatone" playing a 440 Hz tone, whose monitor is the default source. The process
// points itself at the server before its first call into the client library. Tests that load
// modules into the server unload them again.
#include "ACS_Audio.h"
#include "LinuxWaveBackends.h"
#include "PulseWave.h"
#include "SoundServerModules.h"
#include "TestSupport.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using TestSupport::TLoadedModule;

const bool ServerEnvironment = TestSupport::UsePrivateSoundServer();

TPcmFormat CdFormat()
{
    return { 1, 2, 44100, 176400, 4, 16 };
}

// The number of the input whose identifier is Id, or -1.
int32_t InputOf(TWaveBackend& Backend, const std::string& Id)
{
    for (int32_t Device = 0; Device < Backend.InputDeviceCount(); ++Device)
        if (Backend.InputId(Device) == Id)
            return Device;
    return -1;
}

// Descriptors the process holds: a device that leaks a connection shows here.
std::size_t OpenDescriptors()
{
    std::size_t Count = 0;
    for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++Count;
    return Count;
}

std::string OpenFailure(TWaveBackend& Backend, int32_t Device)
{
    try {
        Backend.OpenInput(
            Device, CdFormat(), [](void*, TWaveInMessage, TWaveHeader*) {}, nullptr);
    } catch (const EWaveDeviceError& E) {
        return E.what();
    }
    return "(opened)";
}

struct TCollector {
    TestSupport::TSignal Returned;
    TestSupport::TSignal Failed;
    static void Callback(void* Instance, TWaveInMessage Message, TWaveHeader*)
    {
        auto& Self = *static_cast<TCollector*>(Instance);
        (Message == wimData ? Self.Returned : Self.Failed).Raise();
    }
};

class PulseCaptureTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(TestSupport::SoundServerDir().empty())
            << "CTest's sound server fixture sets up the server";
        Backend = CreatePulseWaveBackend();
    }

    std::unique_ptr<TWaveBackend> Backend;
    TCollector Collector;
};

TEST_F(PulseCaptureTest, TheDefaultComesFirstAndAnOutputsMonitorIsNamedByWhatItPlays)
{
    ASSERT_GE(Backend->InputDeviceCount(), 2);
    EXPECT_EQ(Backend->InputName(0), "Default (Playback of Corvatone)");
    EXPECT_EQ(Backend->InputId(0), "@DEFAULT_SOURCE@");
    const int32_t Monitor = InputOf(*Backend, "corvatone.monitor");
    ASSERT_GT(Monitor, 0);
    const TWaveCaps Caps = Backend->InputCaps(Monitor);
    EXPECT_EQ(Caps.Name, "Playback of Corvatone");
    EXPECT_EQ(Caps.Channels, 2);
    EXPECT_EQ(Caps.Formats, 0xFFFu); // the server converts every standard format
    EXPECT_EQ(Backend->InputName(WaveMapper), Backend->InputName(0));
    EXPECT_EQ(Backend->OutputCaps(0).Name, "Default (Corvatone)");
}

// A number is the input the list showed when it was read; the list is read again on request, and
// an input that has gone since is refused by name when it is opened.
TEST_F(PulseCaptureTest, TheListFollowsAnInputThatAppearsOrGoes)
{
    const int32_t Before = Backend->InputDeviceCount();
    TLoadedModule Extra(
        "module-null-sink sink_name=extra sink_properties=device.description=Extra");
    EXPECT_EQ(InputOf(*Backend, "extra.monitor"), -1) << "the list as read before";
    Backend->RefreshInputs();
    ASSERT_EQ(Backend->InputDeviceCount(), Before + 1);
    const int32_t Added = InputOf(*Backend, "extra.monitor");
    ASSERT_GT(Added, 0);
    EXPECT_EQ(Backend->InputName(Added), "Playback of Extra");
    EXPECT_EQ(OpenFailure(*Backend, Added), "(opened)");

    Extra.Unload();
    EXPECT_EQ(
        OpenFailure(*Backend, Added), "Cannot record from \"Playback of Extra\": No such entity");
    Backend->RefreshInputs();
    EXPECT_EQ(Backend->InputDeviceCount(), Before);
    EXPECT_EQ(InputOf(*Backend, "extra.monitor"), -1);
    EXPECT_EQ(OpenFailure(*Backend, Before),
        "The sound server has no input device " + std::to_string(Before) + " (it lists "
            + std::to_string(Before) + ")");
}

// A chosen source that goes during a recording fails it, instead of the server moving the
// recording to another source; the buffers still come back at the reset.
TEST_F(PulseCaptureTest, ARecordingFailsWhenItsSourceGoes)
{
    TLoadedModule Extra(
        "module-null-sink sink_name=extra sink_properties=device.description=Extra");
    Backend->RefreshInputs();
    const int32_t Monitor = InputOf(*Backend, "extra.monitor");
    ASSERT_GT(Monitor, 0);
    static uint8_t Data[WaveBufferLength];
    TWaveHeader Header;
    Header.Data = Data;
    Header.BufferLength = WaveBufferLength;
    auto Device = Backend->OpenInput(Monitor, CdFormat(), &TCollector::Callback, &Collector);
    Device->Prepare(Header);
    Device->AddBuffer(Header);
    Device->Start();
    Extra.Unload();
    ASSERT_TRUE(Collector.Failed.WaitFor(1));
    EXPECT_EQ(Device->LastError(),
        "The sound server ended the recording: its source has gone or the recording was stopped "
        "on the server");
    EXPECT_EQ(Collector.Returned.Count(), 0);
    Device->Reset();
    EXPECT_EQ(Collector.Returned.Count(), 1);
    EXPECT_EQ(Header.Flags & (wbDone | wbInQueue), wbDone);
}

TEST_F(PulseCaptureTest, FillsBuffersInQueueOrderAndResetReturnsTheRest)
{
    static uint8_t Data[3][WaveBufferLength];
    TWaveHeader Headers[3];
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
        for (TWaveHeader& Header : Headers) {
            EXPECT_EQ(Header.BytesRecorded, WaveBufferLength);
            EXPECT_EQ(Header.Flags & (wbDone | wbInQueue), wbDone);
            Device->Unprepare(Header);
        }
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
    }
    // Started again after the reset, the device records into a new buffer.
    Device->Prepare(Headers[2]);
    Device->AddBuffer(Headers[2]);
    Device->Start();
    ASSERT_TRUE(Collector.Returned.WaitFor(6));
    EXPECT_EQ(Headers[2].BytesRecorded, WaveBufferLength);
    Device->Close();
    EXPECT_THROW(Device->AddBuffer(Headers[0]), EWaveDeviceError);
}

// While no buffer is queued the device keeps the sound for half a second, then drops what comes
// (counted as one dropout, frames dropped and lost alike); the next buffer goes on after it.
TEST_F(PulseCaptureTest, DropsWhileNoBufferIsQueuedAndGoesOnAfterwards)
{
    static uint8_t Data[WaveBufferLength];
    TWaveHeader Header;
    Header.Data = Data;
    Header.BufferLength = WaveBufferLength;
    auto Device = Backend->OpenInput(0, CdFormat(), &TCollector::Callback, &Collector);
    Device->Start();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Device->Counters().DroppedFrames > 0; }));
    Device->Prepare(Header);
    Device->AddBuffer(Header);
    ASSERT_TRUE(Collector.Returned.WaitFor(1));
    EXPECT_EQ(Header.BytesRecorded, WaveBufferLength);
    TWaveInCounters Counters = Device->Counters();
    EXPECT_EQ(Counters.Dropouts, 1u);
    EXPECT_EQ(Counters.Overruns, 0u);
    EXPECT_EQ(Counters.LostFrames, Counters.DroppedFrames);
    // With the buffer back and none queued the device drops again: a second stretch.
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Device->Counters().Dropouts == 2; }));
    Counters = Device->Counters();
    EXPECT_EQ(Counters.LostFrames, Counters.DroppedFrames);
    EXPECT_EQ(Collector.Failed.Count(), 0);
}

TEST_F(PulseCaptureTest, AFormatTheDeviceCannotRecordIsRefusedByName)
{
    TPcmFormat Twelve = CdFormat();
    Twelve.BitsPerSample = 12;
    Twelve.BlockAlign = 3;
    EXPECT_EQ(OpenFailure(*Backend, 0), "(opened)");
    try {
        Backend->OpenInput(0, Twelve, &TCollector::Callback, &Collector);
        FAIL() << "12-bit samples were accepted";
    } catch (const EWaveDeviceError& E) {
        EXPECT_STREQ(E.what(), "Unsupported sample size of 12 bits");
    }
    TPcmFormat NoRate = CdFormat();
    NoRate.SamplesPerSec = 0;
    EXPECT_THROW(
        Backend->OpenInput(0, NoRate, &TCollector::Callback, &Collector), EWaveDeviceError);
}

// Every device has a connection of its own: one that was opened and closed, or refused, leaves
// no descriptor open (each leaked connection would keep a socket and a thread).
TEST_F(PulseCaptureTest, DevicesOpenedClosedOrRefusedLeaveNothingOpen)
{
    static uint8_t Data[WaveBufferLength];
    TWaveHeader Header;
    Header.Data = Data;
    Header.BufferLength = WaveBufferLength;
    const std::size_t Before = OpenDescriptors();
    for (int Attempt = 0; Attempt < 3; ++Attempt) {
        auto Device = Backend->OpenInput(0, CdFormat(), &TCollector::Callback, &Collector);
        Device->Prepare(Header);
        Device->AddBuffer(Header);
        Device->Start();
        ASSERT_TRUE(Collector.Returned.WaitFor(Attempt + 1));
        Device->Close();
    }
    EXPECT_EQ(OpenDescriptors(), Before);
    for (int Attempt = 0; Attempt < 3; ++Attempt) {
        auto Unopened = Backend->OpenInput(0, CdFormat(), &TCollector::Callback, &Collector);
        Unopened.reset(); // never started nor closed: the destructor lets go
        EXPECT_NE(OpenFailure(*Backend, Backend->InputDeviceCount()), "(opened)");
    }
    EXPECT_EQ(OpenDescriptors(), Before);
}

// Through the source as the window uses it: a format the device refuses fails Init with the
// device's number and the reason, and leaves the source idle.
TEST_F(PulseCaptureTest, UnsupportedSampleSizeFailsInitAndLeavesTheSourceIdle)
{
    UseWaveBackend(CreatePulseWaveBackend());
    TAudioIn AudIn(nullptr);
    AudIn.InBitsPerSample = 12;
    AudIn.InChannels = 2;
    try {
        AudIn.Init();
        FAIL() << "Init accepted 12-bit samples";
    } catch (const EACSException& E) {
        const std::string Message = E.what();
        EXPECT_NE(Message.find("capture device 0"), std::string::npos) << Message;
        EXPECT_NE(Message.find("Unsupported sample size of 12 bits"), std::string::npos) << Message;
    }
    EXPECT_FALSE(AudIn.Busy);
    EXPECT_THROW(AudIn.GetData(nullptr, 0), EACSException);
}

// A server whose socket takes the connection but never answers, as a stopped server's does: the
// attempt ends at its bound, saying so.
TEST(PulseConnectionTest, AServerThatDoesNotAnswerIsGivenUpAtTheBound)
{
    const std::string Path = testing::TempDir() + "corvatone-silent-" + std::to_string(getpid());
    const int Listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(Listener, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    ASSERT_LT(Path.size(), sizeof Address.sun_path);
    Path.copy(Address.sun_path, Path.size());
    unlink(Path.c_str());
    ASSERT_EQ(bind(Listener, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
    ASSERT_EQ(listen(Listener, 4), 0);
    const std::string Saved = std::getenv("PULSE_SERVER") ? std::getenv("PULSE_SERVER") : "";
    setenv("PULSE_SERVER", ("unix:" + Path).c_str(), 1);
    std::string Failure;
    try {
        Pulse::TConnection Connection(std::chrono::milliseconds(200));
    } catch (const EWaveDeviceError& E) {
        Failure = E.what();
    }
    unlink(Path.c_str());
    setenv("PULSE_SERVER", ("unix:" + Path).c_str(), 1); // no socket any more: refused at once
    EXPECT_THROW(CreatePulseWaveBackend(), EWaveDeviceError);
    setenv("PULSE_SERVER", Saved.c_str(), 1);
    close(Listener);
    EXPECT_EQ(Failure, "No sound server to record from: it did not answer within 200 ms");
}

} // namespace
