// A sound server that dies in the middle of a recording, through each backend of Linux
// (ServerRecording.h). The server is this program's own (CTest's fixture LossServer), since the
// test kills it and starts it again: the server the other tests share stays up.
#include "ServerRecording.h"

#include <cstdlib>
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

} // namespace
