#include "ScenarioTest.h"

#include <mutex>
#include <random>

namespace {

// The worker's pass lock, published for the tests: it is held for each pass.
struct TSinkWorkerAccess : TMP3Out {
    using TACSOutput::Thread;
};

} // namespace

void TScenarioTest::SetUp()
{
    Card = std::make_shared<TSimulatedWaveBackend>(std::vector<TSimulatedDeviceSpec>{ {} });
    Card->SetSignal(TSimulatedSignal::Sine(440.0, 0.5));
    Card->SetPacing(TSimulatedPacing::FlatOut);
    UseWaveBackend(Card);
    const testing::TestInfo* Test = testing::UnitTest::GetInstance()->current_test_info();
    // The process's own tag keeps test programs that run at the same time out of each other's
    // files.
    static const std::string ProcessTag = std::to_string(std::random_device{}());
    std::string Name = std::string(Test->test_suite_name()) + "-" + Test->name();
    for (char& Letter : Name)
        if (Letter == '/')
            Letter = '-';
    Folder = std::filesystem::temp_directory_path()
        / ("corvatone-scenario-" + ProcessTag + "-" + Name);
    std::filesystem::remove_all(Folder);
    ASSERT_TRUE(std::filesystem::create_directories(Folder));
    Window = GetParam().MakeDriver();
}

void TScenarioTest::TearDown()
{
    Window.reset();
    std::error_code Ignored;
    std::filesystem::remove_all(Folder, Ignored);
}

void TScenarioTest::OpenWithFile(const std::string& File)
{
    Open();
    ChooseFile(File);
}

void TScenarioTest::ChooseFile(const std::string& File)
{
    W().AnswerSaveDialog(File);
    W().Click(TControl::SaveAs);
    W().AnswerSaveDialog(std::nullopt);
}

void TScenarioTest::ClickImage(TControl Control)
{
    W().Press(Control, TMouseButton::mbLeft, 5, 5);
    W().Release(Control, TMouseButton::mbLeft, 5, 5);
}

void TScenarioTest::StartLongRecording(const std::string& File)
{
    OpenWithFile(File);
    W().Type(TControl::Secs, "10800");
    PressRecord();
    ASSERT_EQ(Sink().Status(), osBusy);
}

bool TScenarioTest::AwaitStatus(const std::string& Text)
{
    return W().PumpUntil([&] { return W().Text(TControl::State) == Text; });
}

bool TScenarioTest::AwaitCaptured(int64_t Bytes)
{
    // The source counts on the worker; the window's events run meanwhile, as they would.
    return W().PumpUntil([&] { return Source().Position >= Bytes; });
}

void TScenarioTest::AwaitPassInFlight()
{
    std::lock_guard Pass((Sink().*&TSinkWorkerAccess::Thread).BlockLock);
}

void TScenarioTest::ExpectIdleLook(const std::string& Status)
{
    EXPECT_EQ(W().Text(TControl::State), Status);
    EXPECT_EQ(W().Picture(TControl::RecB), "RecBut.bmp");
    EXPECT_EQ(W().Picture(TControl::PauseB), "PauseBut.bmp");
    EXPECT_EQ(W().Position(TControl::Progres), 0);
    for (TControl Control : { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit,
             TControl::SRate, TControl::SaveAs, TControl::LabDev })
        EXPECT_TRUE(W().Enabled(Control)) << ControlName(Control);
    EXPECT_EQ(W().Enabled(TControl::Secs), W().Checked(TControl::SecCustom));
}

void TScenarioTest::ExpectRunLook(
    const std::string& Status, const std::string& RecPicture, const std::string& PausePicture)
{
    EXPECT_EQ(W().Text(TControl::State), Status);
    EXPECT_EQ(W().Picture(TControl::RecB), RecPicture);
    EXPECT_EQ(W().Picture(TControl::PauseB), PausePicture);
    for (TControl Control : { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit,
             TControl::Secs, TControl::LabDev })
        EXPECT_FALSE(W().Enabled(Control)) << ControlName(Control);
    // Their values reach the next recording only.
    EXPECT_TRUE(W().Enabled(TControl::SRate));
    EXPECT_TRUE(W().Enabled(TControl::SaveAs));
}

void TScenarioTest::ExpectOneBox(
    TMessageKind Kind, const std::string& Title, const std::string& Text)
{
    const std::vector<TShownBox> Boxes = W().TakeBoxes();
    ASSERT_EQ(Boxes.size(), 1u) << (Boxes.empty() ? "no box" : Boxes[1].Text);
    EXPECT_EQ(Boxes[0].Kind, Kind) << Text;
    EXPECT_EQ(Boxes[0].Title, Title) << Text;
    EXPECT_EQ(Boxes[0].Text, Text);
}

void TScenarioTest::ExpectNoBox()
{
    const std::vector<TShownBox> Boxes = W().TakeBoxes();
    EXPECT_TRUE(Boxes.empty()) << Boxes.front().Text;
}

void TScenarioTest::ExpectRecording(const std::string& File, long Rate, int Kbps, int64_t Seconds)
{
    const TMp3Decoded Decoded = DecodeMp3File(File);
    ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
    EXPECT_EQ(Decoded.SampleRate, Rate);
    EXPECT_EQ(Decoded.Channels, 2);
    ASSERT_EQ(Decoded.FramesByBitRate.size(), 1u);
    EXPECT_EQ(Decoded.FramesByBitRate.begin()->first, Kbps);
    EXPECT_GE(Decoded.Frames, Rate * Seconds + EncoderDelay);
    EXPECT_LE(Decoded.Frames, Rate * Seconds + OneBufferFrames + DelayAndPaddingBound);
}

void TScenarioTest::ExpectCompleteFile(const std::string& File, long Rate, int Kbps)
{
    const int64_t Captured = Source().Position / 4;
    const TMp3Decoded Decoded = DecodeMp3File(File);
    ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
    EXPECT_EQ(Decoded.SampleRate, Rate);
    EXPECT_EQ(Decoded.Channels, 2);
    ASSERT_EQ(Decoded.FramesByBitRate.size(), 1u);
    EXPECT_EQ(Decoded.FramesByBitRate.begin()->first, Kbps);
    EXPECT_GE(Decoded.Frames, Captured + EncoderDelay) << "the run's end is missing";
    EXPECT_LE(Decoded.Frames, Captured + DelayAndPaddingBound);
}
