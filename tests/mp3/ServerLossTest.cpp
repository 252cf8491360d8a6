// A sound server that dies in the middle of a recording, through each backend of Linux
// (ServerRecording.h), and one that stops answering, through the server's own backend. The server
// is this program's own (CTest's fixture LossServer), since the tests kill it or stop its process:
// the server the other tests share stays up.
#include "ServerRecording.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace ServerRecording;

const bool ServerEnvironment = TestSupport::UsePrivateSoundServer();

void SoundServer(const std::string& Arguments)
{
    const std::string Command = std::string(SOUND_SERVER_SCRIPT) + " " + Arguments + " >/dev/null";
    ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
}

class ServerLossTest : public ServerRecordingTest { };

INSTANTIATE_TEST_SUITE_P(Backends, ServerLossTest, testing::ValuesIn(Backends),
    [](const auto& Backend) { return std::string(Backend.param.Name); });

// A server that dies mid-run ends the run with a failure that names the device, leaves a file
// that decodes, and once the server is back the inputs are listed and recorded from again.
TEST_P(ServerLossTest, AServerKilledMidRunFailsTheRunAndARestartedOneRecordsAgain)
{
    Record("killed.mp3", 20);
    ASSERT_TRUE(AwaitSeconds(1));
    SoundServer("stop " + TestSupport::SoundServerDir() + " --kill");
    const bool Ended = Watch->AwaitEnd();
    SoundServer("start " + TestSupport::SoundServerDir());
    ASSERT_FALSE(Ended);
    EXPECT_EQ(Watch->Done.Count(), 0);
    const std::string Device = std::string("capture device 0 \"") + GetParam().DefaultName + "\"";
    EXPECT_NE(Watch->Failure().find(Device), std::string::npos) << Watch->Failure();
    EXPECT_NE(Watch->Failure().find(GetParam().LossReason), std::string::npos) << Watch->Failure();
    EXPECT_FALSE(AudIn.Busy);

    const TDecodedMp3 Cut = DecodeMp3(Dir.File("killed.mp3"));
    EXPECT_TRUE(Cut.Clean);
    EXPECT_GE(Cut.FramesPerChannel(), static_cast<std::size_t>(Rate))
        << "the second recorded before the kill";
    EXPECT_LT(Cut.FramesPerChannel(), static_cast<std::size_t>(20 * Rate));
    // Complete: every frame the source delivered before the end is in it, and the encoder's end.
    ExpectLengthOf(Cut, static_cast<std::size_t>(AudIn.Position / 4), 0);
    EXPECT_GE(WindowsWithTheTone(Cut, Window + DelayAndPaddingBound), 10 - 3);

    // The inputs can be listed again from the new server (a new connection for the server's own
    // backend), and the same objects record again.
    const std::vector<TWaveInput> Inputs = ListWaveInputs();
    ASSERT_FALSE(Inputs.empty());
    EXPECT_EQ(Inputs[0].Name, GetParam().DefaultName);
    Record("again.mp3", 2);
    ASSERT_TRUE(Watch->Done.WaitFor(1)) << Watch->Failure();
    EXPECT_EQ(Watch->Failed.Count(), 1);
    const TDecodedMp3 Again = DecodeMp3(Dir.File("again.mp3"));
    ASSERT_TRUE(Again.Clean);
    ExpectLengthOf(Again, 2 * Rate, 16384 / 4);
    EXPECT_GE(WindowsWithTheTone(Again, Window + DelayAndPaddingBound), 2 * 10 - 3);
}

// The server's process, from its folder.
pid_t ServerProcess()
{
    pid_t Process = 0;
    std::ifstream(TestSupport::SoundServerDir() + "/server.pid") >> Process;
    return Process;
}

struct TReturns {
    TestSupport::TSignal Data;
    TestSupport::TSignal Errors;
    static void Callback(void* Instance, TWaveInMessage Message, TWaveHeader*)
    {
        auto& Self = *static_cast<TReturns*>(Instance);
        (Message == wimData ? Self.Data : Self.Errors).Raise();
    }
};

// A server whose process stops in the middle of a recording, as a hung server's does: the reset
// gives up on it at its bound and says so, every queued buffer still comes back, and the device
// closes. Once the server goes on, a new device records from it again.
TEST(PulseStalledServerTest, AResetGivesUpOnAServerThatDoesNotAnswerAndReturnsTheBuffers)
{
    ASSERT_FALSE(TestSupport::SoundServerDir().empty())
        << "CTest's fixture LossServer sets up the server";
    const pid_t Server = ServerProcess();
    ASSERT_GT(Server, 0);
    auto Backend = CreatePulseWaveBackend();
    const TPcmFormat Format{ 1, 2, Rate, BytesPerSecond, 4, 16 };
    static uint8_t Data[3][WaveBufferLength];
    TWaveHeader Headers[3];
    TReturns Returns;
    auto Device = Backend->OpenInput(0, Format, &TReturns::Callback, &Returns);
    for (int N = 0; N < 3; ++N) {
        Headers[N].Data = Data[N];
        Headers[N].BufferLength = WaveBufferLength;
        Device->Prepare(Headers[N]);
        Device->AddBuffer(Headers[N]);
    }
    Device->Start();
    ASSERT_TRUE(Returns.Data.WaitFor(1));
    ASSERT_EQ(kill(Server, SIGSTOP), 0);
    std::string Failure;
    try {
        Device->Reset();
    } catch (const EWaveDeviceError& E) {
        Failure = E.what();
    }
    const int Returned = Returns.Data.Count();
    Device->Close();
    Device.reset();
    ASSERT_EQ(kill(Server, SIGCONT), 0);
    EXPECT_EQ(Failure, "The sound server does not answer");
    EXPECT_EQ(Returned, 3) << "every queued buffer comes back at the reset";
    for (const TWaveHeader& Header : Headers)
        EXPECT_EQ(Header.Flags & (wbDone | wbInQueue), wbDone);
    EXPECT_EQ(Returns.Errors.Count(), 0);

    TReturns Again;
    auto Next = Backend->OpenInput(0, Format, &TReturns::Callback, &Again);
    Headers[0].Flags = 0;
    Next->Prepare(Headers[0]);
    Next->AddBuffer(Headers[0]);
    Next->Start();
    ASSERT_TRUE(Again.Data.WaitFor(1));
    EXPECT_EQ(Headers[0].BytesRecorded, WaveBufferLength);
    Next->Close();
}

} // namespace
