// The Qt window recording from a private sound server (CTest's fixture, tools/sound-server),
// driven through the scenario driver: besides the server's own sink, whose monitor is the
// default source with a 440 Hz tone, the test loads a source "Microphone" of a 440 Hz tone and
// a sink "Speakers" that plays 1000 Hz. The user opens the chooser on the device label, chooses the
// sink's monitor by the name the menu shows, records about two seconds and closes the window,
// which ends the run; the file is complete and holds the sink's tone and not the sources'.
#include "LinuxWaveBackends.h"
#include "QtWindowDriver.h"
#include "ScenarioTest.h"
#include "SoundServerModules.h"

#include <optional>

namespace {

using TestSupport::TLoadedModule;

const bool ServerEnvironment = TestSupport::UsePrivateSoundServer();

class ServerInputScenarios : public TScenarioTest {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(TestSupport::SoundServerDir().empty())
            << "CTest's sound server fixture sets up the server";
        TScenarioTest::SetUp();
        Speakers.emplace("module-null-sink sink_name=speakers rate=44100 channels=2 "
                         "sink_properties=device.description=Speakers");
        Player.emplace("module-sine sink=speakers frequency=1000");
        Microphone.emplace("module-sine-source source_name=microphone rate=44100 frequency=440 "
                           "source_properties=device.description=Microphone");
        // The server's inputs as they are now, the modules' among them.
        UseWaveBackend(CreatePulseWaveBackend());
    }

    void TearDown() override
    {
        TScenarioTest::TearDown(); // the window first, then what it recorded from
        Microphone.reset();
        Player.reset();
        Speakers.reset();
    }

    std::optional<TLoadedModule> Speakers;
    std::optional<TLoadedModule> Player;
    std::optional<TLoadedModule> Microphone;
};

TEST_P(ServerInputScenarios, ASinksMonitorChosenInTheMenuRecordsWhatTheSinkPlays)
{
    const std::string File = FilePath("speakers.mp3");
    OpenWithFile(File);
    EXPECT_EQ(W().Text(TControl::LabDev), "Default (Playback of Corvatone)");
    W().AnswerMenu("Playback of Speakers");
    ClickImage(TControl::LabDev);
    W().AnswerMenu(std::nullopt);
    const std::vector<TShownMenu> Menus = W().TakeMenus();
    ASSERT_EQ(Menus.size(), 1u);
    EXPECT_EQ(Menus[0].Entries,
        (std::vector<std::string>{ "Default (Playback of Corvatone)", "Playback of Corvatone",
            "Playback of Speakers", "Microphone" }));
    EXPECT_EQ(Menus[0].Checked, 0);
    EXPECT_EQ(W().Text(TControl::LabDev), "Playback of Speakers");

    // About two seconds, then the window is closed, which ends the run and keeps its file.
    W().Type(TControl::Secs, "10800");
    PressRecord();
    ExpectRecordingLook();
    ASSERT_TRUE(AwaitCaptured(2 * 44100 * 4));
    ClickClose();
    EXPECT_TRUE(W().Closed());
    EXPECT_EQ(Sink().Status(), osIdle) << "the window closed before the run ended";
    ExpectNoBox();
    ExpectCompleteFile(File, 44100, 128);
    W().Destroy();

    const TMp3Decoded Decoded = DecodeMp3File(File);
    ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
    // Past the encoder's delay and the stream's first tenth of a second, to the end.
    const std::size_t From = static_cast<std::size_t>(DelayAndPaddingBound + 44100 / 10);
    ASSERT_GT(Decoded.FirstChannel.size(), From + 44100);
    const std::vector<int16_t> Sound(
        Decoded.FirstChannel.begin() + From, Decoded.FirstChannel.end() - DelayAndPaddingBound);
    const double Heard = ToneAmplitude(Sound, 44100, 1000);
    EXPECT_GT(Heard, 1000) << "the sink's 1000 Hz tone";
    EXPECT_LT(ToneAmplitude(Sound, 44100, 440), Heard / 100) << "the sources' 440 Hz tone";
}

INSTANTIATE_TEST_SUITE_P(Qt, ServerInputScenarios,
    testing::Values(TWindowKind{ "Qt", MakeQtWindowDriver }),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
